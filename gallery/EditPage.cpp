// The path edit's page of the control gallery: its three styles side by side, one
// that capitalises the first letter, and one whose button counts its clicks.
#include <deque>
#include <string>

#include "controls/EllipsEd.h"
#include "gallery/GalleryPages.h"

namespace {

// The page's controls live as long as the gallery.
std::deque<TEllipsesEdit> edits;

HWND Label(HWND parent, const std::wstring& text, int x, int y, int width, HFONT font)
{
    HWND label = ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, x, y, width, 14, parent, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return label;
}

TEllipsesEdit& Edit(HWND parent, TEditStyle style, const std::wstring& text, int x, int y, int width, HFONT font)
{
    TEllipsesEdit& edit = edits.emplace_back();
    edit.SetEditStyle(style);
    edit.CreateEdit(parent, 100 + static_cast<int>(edits.size()), x, y, width, 21);
    ::SendMessageW(edit.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    edit.SetText(text);
    return edit;
}

}  // namespace

void CreateEditPage(HWND parent, const RECT& area, HFONT font)
{
    const int gap = 12;
    const int column = (area.right - area.left - 2 * gap) / 3;
    const int labelHeight = 16;
    struct Column {
        const wchar_t* name;
        TEditStyle style;
        const wchar_t* text;
    };
    const Column columns[] = {{L"esNormal: never a button", esNormal, L"C:\\PEBuilder"},
                              {L"esEllipses: a button while focused", esEllipses, L"C:\\PEBuilder\\plugin"},
                              {L"esAlwaysEllipses: always a button", esAlwaysEllipses, L"C:\\PEOutput\\pebuilder.exe"}};
    int x = area.left;
    for (const Column& c : columns) {
        Label(parent, c.name, x, area.top, column, font);
        Edit(parent, c.style, c.text, x, area.top + labelHeight, column, font);
        x += column + gap;
    }

    const int row = area.top + labelHeight + 21 + gap;
    Label(parent, L"FirstCharUpper: type a small letter first", area.left, row, column, font);
    Edit(parent, esAlwaysEllipses, L"", area.left, row + labelHeight, column, font).SetFirstCharUpper(true);

    HWND counter = Label(parent, L"Button clicks: 0", area.left + column + gap, row, column, font);
    TEllipsesEdit& counting =
        Edit(parent, esAlwaysEllipses, L"D:\\Output", area.left + column + gap, row + labelHeight, column, font);
    counting.OnButtonClick = [counter, clicks = 0](TEllipsesEdit&) mutable {
        ::SetWindowTextW(counter, (L"Button clicks: " + std::to_wstring(++clicks)).c_str());
    };
}
