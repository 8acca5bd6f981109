// A one-line text prompt, and the character measure its layout rests on.
#include "core/InputDialog.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/Handles.h"
#include "core/Language.h"
#include "core/WinError.h"

namespace {

constexpr int kEditId = 100;
constexpr int kMaxLength = 255;

// Pixel places of the prompt's parts, in client coordinates.
struct PromptLayout {
    SIZE client;
    RECT label, edit, ok, cancel;  // left, top, width, height
};

RECT Place(int left, int top, int width, int height) { return RECT{left, top, width, height}; }

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

    layout.label = Place(::MulDiv(8, cx, 4), ::MulDiv(8, cy, 8), label.cx, label.cy);
    // A one-line edit as tall as its font plus the sunken frame and margins.
    int editHeight = metrics.tmHeight + 8 * ::GetSystemMetrics(SM_CYBORDER);
    layout.edit = Place(layout.label.left, layout.label.top + label.cy + 5, ::MulDiv(164, cx, 4), editHeight);
    int buttonTop = layout.edit.top + editHeight + 15;
    int buttonWidth = ::MulDiv(50, cx, 4), buttonHeight = ::MulDiv(14, cy, 8);
    layout.ok = Place(::MulDiv(38, cx, 4), buttonTop, buttonWidth, buttonHeight);
    layout.cancel = Place(::MulDiv(92, cx, 4), buttonTop, buttonWidth, buttonHeight);
    layout.client = SIZE{::MulDiv(180, cx, 4), buttonTop + buttonHeight + 13};
    return layout;
}

struct PromptState {
    const std::wstring& prompt;
    std::wstring& value;
    HFONT font;
    PromptLayout layout;
    std::wstring okCaption, cancelCaption;
    DWORD error = 0;  // a control that could not be made
};

HWND AddControl(HWND dialog, PromptState& state, const wchar_t* windowClass, const std::wstring& text, DWORD style,
                DWORD exStyle, int id, const RECT& place)
{
    HWND control = ::CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
                                     place.top, place.right, place.bottom, dialog,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    if (!control) {
        if (!state.error) state.error = ::GetLastError();
        return nullptr;
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
    return control;
}

bool InitPrompt(HWND dialog, PromptState& state)
{
    const PromptLayout& at = state.layout;
    ::SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
    AddControl(dialog, state, L"STATIC", state.prompt, SS_LEFT, 0, -1, at.label);
    HWND edit = AddControl(dialog, state, L"EDIT", state.value, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kEditId,
                           at.edit);
    AddControl(dialog, state, L"BUTTON", state.okCaption, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, at.ok);
    AddControl(dialog, state, L"BUTTON", state.cancelCaption, WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, at.cancel);
    if (state.error) return false;

    ::SendMessageW(edit, EM_LIMITTEXT, kMaxLength, 0);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);

    // Client size as laid out, the whole window centred on the screen.
    RECT frame{0, 0, at.client.cx, at.client.cy};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    ::SetWindowPos(dialog, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetFocus(edit);
    return true;
}

INT_PTR CALLBACK PromptProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<PromptState*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        state = reinterpret_cast<PromptState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        if (!InitPrompt(dialog, *state)) ::EndDialog(dialog, IDABORT);
        return FALSE;  // the focus is set
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            HWND edit = ::GetDlgItem(dialog, kEditId);
            std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
            text.resize(static_cast<size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
            state->value = std::move(text);
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {  // the Cancel button, Esc and the close box
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

// An empty dialog template: fixed dialog border, a caption with a close box, the title.
std::vector<WORD> PromptTemplate(const std::wstring& title)
{
    DLGTEMPLATE head{};
    head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    head.dwExtendedStyle = WS_EX_DLGMODALFRAME;
    std::vector<WORD> words(sizeof head / sizeof(WORD));
    std::memcpy(words.data(), &head, sizeof head);
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    words.insert(words.end(), title.begin(), title.end());
    words.push_back(0);
    return words;
}

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
    std::wstring edited = value;
    PromptState state{prompt,
                      edited,
                      font,
                      ComputeLayout(font, prompt),
                      ReadLanguageCaption(L"Form06", L"RS_008", L"OK"),
                      ReadLanguageCaption(L"Form06", L"RS_009", L"キャンセル")};

    std::vector<WORD> dialogTemplate = PromptTemplate(title);
    INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr),
                                               reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()),
                                               ::GetActiveWindow(), PromptProc, reinterpret_cast<LPARAM>(&state));
    if (result == -1) ThrowLastError(L"Cannot show the prompt " + title);
    if (result == IDABORT) ThrowSystemError(L"Cannot show the prompt " + title, state.error);
    if (result != IDOK) return false;
    value = std::move(edited);
    return true;
}
