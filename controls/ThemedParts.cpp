// Button, drop-down and check faces through the theme, or classic.
#include "controls/ThemedParts.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

namespace {

// A theme handle for one drawing, closed after it.
class Theme {
public:
    Theme(HWND window, const wchar_t* classes)
        : theme_(::IsThemeActive() && ::IsAppThemed() ? ::OpenThemeData(window, classes) : nullptr)
    {
    }
    ~Theme()
    {
        if (theme_) ::CloseThemeData(theme_);
    }
    Theme(const Theme&) = delete;
    Theme& operator=(const Theme&) = delete;
    HTHEME Get() const { return theme_; }

private:
    HTHEME theme_;
};

}  // namespace

bool ThemedLook(HWND window) { return Theme(window, L"BUTTON").Get() != nullptr; }

void DrawPushFace(HWND window, HDC dc, const RECT& r, bool pressed)
{
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    Theme theme(window, L"BUTTON");
    if (theme.Get()) {
        ::DrawThemeBackground(theme.Get(), dc, BP_PUSHBUTTON, pressed ? PBS_PRESSED : PBS_NORMAL, &r, nullptr);
        return;
    }
    RECT face = r;
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
}

void DrawDropDownFace(HWND window, HDC dc, const RECT& r, bool pressed)
{
    Theme theme(window, L"COMBOBOX");
    if (theme.Get()) {
        ::DrawThemeBackground(theme.Get(), dc, CP_DROPDOWNBUTTON, pressed ? CBXS_PRESSED : CBXS_NORMAL, &r, nullptr);
        return;
    }
    RECT face = r;
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    // The classic arrow: four lines of 7, 5, 3 and 1 pixels, scaled with the button.
    const int step = std::max(1, static_cast<int>(r.right - r.left) / 17);
    HBRUSH ink = ::GetSysColorBrush(COLOR_BTNTEXT);
    const int middle = (r.left + r.right) / 2, centre = (r.top + r.bottom + 1) / 2;
    for (int i = 0; i < 4; ++i) {
        const int x = middle - 4 * step + i * step, y = centre + (i - 2) * step;
        RECT line{x, y, x + (7 - 2 * i) * step, y + step};
        ::FillRect(dc, &line, ink);
    }
}

bool DrawThemedCheck(HWND window, HDC dc, const RECT& box, CheckState state, bool pressed)
{
    Theme theme(window, L"BUTTON");
    if (!theme.Get()) return false;
    int part = 0;
    switch (state) {
    case CheckState::Unchecked: part = pressed ? CBS_UNCHECKEDPRESSED : CBS_UNCHECKEDNORMAL; break;
    case CheckState::Checked: part = pressed ? CBS_CHECKEDPRESSED : CBS_CHECKEDNORMAL; break;
    case CheckState::Unmatched: part = pressed ? CBS_MIXEDPRESSED : CBS_MIXEDNORMAL; break;
    }
    ::DrawThemeBackground(theme.Get(), dc, BP_CHECKBOX, part, &box, nullptr);
    return true;
}

int ScrollArrowWidth()
{
    // The system answers at the system DPI, which every window of this system-aware
    // process is drawn at.
    return ::GetSystemMetrics(SM_CXHSCROLL);
}
