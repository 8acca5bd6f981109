// A one-line text prompt, and the character measure its layout rests on.
#include "ui/InputDialog.h"

#include <algorithm>

#include "core/Handles.h"
#include "core/Language.h"
#include "core/WinError.h"
#include "ui/Dpi.h"
#include "ui/Form.h"

namespace {

constexpr int kMaxLength = 255;

// Pixel places of the prompt's parts, in client coordinates.
struct PromptLayout {
    Extent client;
    Box label, edit, ok, cancel;
};

// The label wraps within its widest allowed width, and is no wider than its text on
// one line; an empty prompt still takes one line.
SIZE LabelSize(HDC dc, const std::wstring& prompt, int maxWidth)
{
    std::wstring text = prompt.empty() ? L" " : prompt;
    RECT line{0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), -1, &line, DT_CALCRECT | DT_EXPANDTABS);
    RECT wrapped{0, 0, std::min<LONG>(line.right, maxWidth), 0};
    ::DrawTextW(dc, text.c_str(), -1, &wrapped, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return SIZE{std::min<LONG>(wrapped.right, maxWidth), wrapped.bottom};
}

PromptLayout ComputeLayout(HFONT font, const std::wstring& prompt)
{
    ScreenContext screen;
    SelectObjectScope select(screen.Get(), font);
    SIZE unit = AverageCharSize(screen.Get());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(screen.Get(), &metrics);
    const int cx = unit.cx, cy = unit.cy;

    PromptLayout layout{};
    SIZE label = LabelSize(screen.Get(), prompt, ::MulDiv(164, cx, 4));
    layout.label = {::MulDiv(8, cx, 4), ::MulDiv(8, cy, 8), label.cx, label.cy};
    // A one-line edit as tall as its font plus the sunken frame and margins.
    int editHeight = metrics.tmHeight + 8 * ::GetSystemMetrics(SM_CYBORDER);
    layout.edit = {layout.label.x, layout.label.y + label.cy + 5, ::MulDiv(164, cx, 4), editHeight};
    int buttonTop = layout.edit.y + editHeight + 15;
    int buttonWidth = ::MulDiv(50, cx, 4), buttonHeight = ::MulDiv(14, cy, 8);
    layout.ok = {::MulDiv(38, cx, 4), buttonTop, buttonWidth, buttonHeight};
    layout.cancel = {::MulDiv(92, cx, 4), buttonTop, buttonWidth, buttonHeight};
    layout.client = {::MulDiv(180, cx, 4), buttonTop + buttonHeight + 13};
    return layout;
}

// The layout is measured from the font, which is made at the screen's DPI: it is in
// the window's pixels already.
int ScreenDpi() { return WindowDpi(nullptr); }

class InputTextForm : public ModalForm {
public:
    InputTextForm(const std::wstring& title, const std::wstring& prompt, HFONT font, const PromptLayout& layout)
        : ModalForm(Design{L"KitwrightInputText", title, layout.client,
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME,
                           FormPosition::ScreenCentre, font, ScreenDpi()}),
          prompt_(prompt),
          layout_(layout)
    {
    }

    std::wstring value;

protected:
    void FormCreate() override
    {
        Add({L"STATIC", prompt_, layout_.label, SS_LEFT});
        edit_ = Add({L"EDIT", value, layout_.edit, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE});
        HWND ok = Add({L"BUTTON", ReadLanguageCaption(L"Form06", L"RS_008", L"OK"), layout_.ok, WS_TABSTOP, 0,
                       akTopLeft, nullptr, nullptr, IDOK});
        HWND cancel = Add({L"BUTTON", ReadLanguageCaption(L"Form06", L"RS_009", L"キャンセル"), layout_.cancel,
                           WS_TABSTOP, 0, akTopLeft, nullptr, nullptr, IDCANCEL});
        ::SendMessageW(edit_, EM_LIMITTEXT, kMaxLength, 0);
        ::SendMessageW(edit_, EM_SETSEL, 0, -1);
        SetDefaultButton(ok);
        SetCancelButton(cancel);
        SetModalResult(ok, mrOk);
        SetModalResult(cancel, mrCancel);
        OnClick(ok, [this] { value = WindowTextOf(edit_); });
    }

private:
    static std::wstring WindowTextOf(HWND window)
    {
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    std::wstring prompt_;
    PromptLayout layout_;
    HWND edit_ = nullptr;
};

}  // namespace

SIZE AverageCharSize(HDC dc)
{
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc, kLetters, 52, &size)) ThrowLastError(L"Cannot measure the font");
    return SIZE{size.cx / 52, size.cy};
}

bool InputTextDialog(const std::wstring& title, const std::wstring& prompt, std::wstring& value)
{
    // Font and buttons follow the language file even when it is missing (the defaults).
    HFONT font = SharedFont(ReadFontSpec(L"Font01", kWindowFontName, kWindowFontSize));
    InputTextForm form(title, prompt, font, ComputeLayout(font, prompt));
    form.value = value;
    if (form.ShowModal(::GetActiveWindow()) != mrOk) return false;
    value = form.value;
    return true;
}
