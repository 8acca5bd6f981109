// The control gallery: the program's own controls in every kind and style, side by
// side in one window. The tests drive it, and the screenshots of the controls come
// from it.
#include <windows.h>
#include <commctrl.h>

#include "core/Language.h"
#include "gallery/GalleryPages.h"
#include "ui/Window.h"

namespace {

class GalleryWindow : public Window {
public:
    void Open()
    {
        static const WindowClass kClass{L"KitwrightGallery", nullptr, CS_DBLCLKS, IDC_ARROW,
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
        Create(kClass, WS_EX_CONTROLPARENT, WS_OVERLAPPEDWINDOW, L"Kitwright control gallery", CW_USEDEFAULT,
               CW_USEDEFAULT, 720, 560, nullptr, 0);
        HFONT font = SharedFont(ReadFontSpec(L"Font01", kWindowFontName, kWindowFontSize));
        RECT client{};
        ::GetClientRect(Handle(), &client);
        const int split = 150;
        CreateEditPage(Handle(), RECT{8, 8, client.right - 8, split}, font);
        CreateGridPage(Handle(), RECT{8, split + 8, client.right - 8, client.bottom - 8}, font);
        ::ShowWindow(Handle(), SW_SHOW);
    }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DESTROY) ::PostQuitMessage(0);
        return Default(message, wParam, lParam);
    }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    GalleryWindow gallery;
    gallery.Open();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageW(gallery.Handle(), &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
