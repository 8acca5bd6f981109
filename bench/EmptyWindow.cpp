// The start-up benchmark's yardstick: loads the DLLs named on its command line (those
// the program has loaded once it is idle, or none), opens one empty window the size of
// the program's main window and waits for input until the window is closed.
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK EmptyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    for (int i = 1; i < __argc; ++i)
        if (!::LoadLibraryW(__wargv[i])) return 2;
    WNDCLASSW wc{};
    wc.lpfnWndProc = EmptyProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"KitwrightEmptyWindow";
    if (!::RegisterClassW(&wc)) return 3;
    HWND window = ::CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L"Empty", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 562, 387, nullptr, nullptr, instance, nullptr);
    if (!window) return 4;
    ::ShowWindow(window, show);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
