// The path edit and its button: window style, height, button layout and painting,
// Enter, first-letter capitals and focus.
#include "controls/EllipsEd.h"

#include <algorithm>
#include <utility>

#include "controls/ThemedParts.h"

namespace {

// The system edit class paints through its parent's DC (CS_PARENTDC), whose clipping
// ignores the edit's own children: typing would paint over the button in a parent
// without WS_CLIPCHILDREN.
const WindowClass kEditClass{L"TEllipsesEdit", L"EDIT", CS_DBLCLKS, IDC_ARROW, nullptr, CS_PARENTDC};
const WindowClass kButtonClass{L"TEllipsesButton", nullptr, 0, IDC_ARROW, nullptr};

// Only ASCII letters: a path's first character in any other script stays as typed.
wchar_t UpperAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

TEXTMETRICW MetricsOf(HDC dc, HGDIOBJ font)
{
    SelectObjectScope selected(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    return metrics;
}

void DrawLine(HDC dc, COLORREF color, const POINT (&points)[3])
{
    GdiObject pen(::CreatePen(PS_SOLID, 1, color));
    SelectObjectScope selected(dc, pen.Get());
    ::Polyline(dc, points, 3);  // like LineTo, each end point is left out
}

}  // namespace

// ---- TEllipsesButton ----------------------------------------------------------------

void TEllipsesButton::CreateIn(HWND edit)
{
    Pressed = false;
    captured_ = false;
    Create(kButtonClass, 0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"", 0, 0, 0, 0, edit, 0);
}

void TEllipsesButton::Refresh()
{
    if (!Handle()) return;
    ::InvalidateRect(Handle(), nullptr, FALSE);
    ::UpdateWindow(Handle());
}

void TEllipsesButton::Paint(HDC dc)
{
    RECT r{};
    ::GetClientRect(Handle(), &r);
    const int width = r.right, height = r.bottom;
    if (width <= 0 || height <= 0) return;

    DrawPushFace(Handle(), dc, r, Pressed);
    if (!Pressed) {
        DrawLine(dc, ::GetSysColor(COLOR_BTNFACE), {{0, height - 2}, {0, 0}, {width - 1, 0}});
        DrawLine(dc, RGB(255, 255, 255), {{1, height - 3}, {1, 1}, {width - 2, 1}});
    } else {
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
        GdiObject pen(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
        SelectObjectScope outline(dc, pen.Get());
        SelectObjectScope fill(dc, ::GetSysColorBrush(COLOR_BTNFACE));
        ::Rectangle(dc, 0, 0, width, height);
    }

    const int q = width / 4;
    const int radius = std::max(1, q / 4);
    const int y = std::max(1, height / 2);
    SelectObjectScope outline(dc, ::GetStockObject(BLACK_PEN));
    SelectObjectScope fill(dc, ::GetStockObject(BLACK_BRUSH));
    for (int x : {q + 1, 2 * q + 1, 3 * q + 1}) ::Ellipse(dc, x - radius, y - radius, x + radius, y + radius);
}

LRESULT TEllipsesButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        Paint(dc);
        ::EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN:
        ::SetCapture(Handle());
        captured_ = true;
        Pressed = true;
        Refresh();
        return 0;
    case WM_LBUTTONUP: {
        if (!captured_) return 0;
        captured_ = false;
        ::ReleaseCapture();
        Pressed = false;
        Refresh();
        RECT r{};
        ::GetClientRect(Handle(), &r);
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (::PtInRect(&r, at) && OnClick) OnClick();
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a menu, a message box): the press is over.
        if (captured_) {
            captured_ = false;
            Pressed = false;
            Refresh();
        }
        return 0;
    }
    return Default(message, wParam, lParam);
}

// ---- TEllipsesEdit ------------------------------------------------------------------

TEllipsesEdit::TEllipsesEdit()
{
    button_.OnClick = [this] { ButtonClick(); };
}

HWND TEllipsesEdit::CreateEdit(HWND parent, int id, int x, int y, int width, int height, DWORD style)
{
    CreateWindowNow(parent, id, x, y, width, height, style, L"");
    AdjustHeight();
    return Handle();
}

void TEllipsesEdit::CreateWindowNow(HWND parent, int id, int x, int y, int width, int height, DWORD style,
                                    const std::wstring& text)
{
    style &= ~(ES_MULTILINE | ES_PASSWORD | ES_AUTOVSCROLL | ES_WANTRETURN | WS_BORDER | WS_HSCROLL | WS_VSCROLL);
    // The platform honours a formatting rectangle only in multi-line edits; without
    // ES_AUTOHSCROLL those would wrap the text rather than scroll it.
    style |= WS_CHILD | WS_CLIPCHILDREN | ES_AUTOHSCROLL;
    if (editStyle_ != esNormal) style |= ES_MULTILINE;
    if (passwordChar_) style |= ES_PASSWORD;
    DWORD exStyle = 0;
    if (borderStyle_ == bsSingle) {
        if (ctl3D_)
            exStyle |= WS_EX_CLIENTEDGE;
        else
            style |= WS_BORDER;
    }
    Create(kEditClass, exStyle, style, text, x, y, width, height, parent, static_cast<UINT_PTR>(id));
    if (passwordChar_) ::SendMessageW(Handle(), EM_SETPASSWORDCHAR, passwordChar_, 0);
    button_.CreateIn(Handle());
}

// The window style follows the edit style, the border and the password character, and
// a window's style cannot change after creation for all of them: a new window takes
// the old one's place, text, font, limit and focus.
void TEllipsesEdit::Recreate()
{
    HWND old = Handle();
    if (!old) return;
    HWND parent = ::GetParent(old);
    RECT r{};
    ::GetWindowRect(old, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const int id = ::GetDlgCtrlID(old);
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(old, GWL_STYLE)) & ~WS_CLIPCHILDREN;
    const std::wstring text = Text();
    const LRESULT font = ::SendMessageW(old, WM_GETFONT, 0, 0);
    const LRESULT limit = ::SendMessageW(old, EM_GETLIMITTEXT, 0, 0);
    DWORD selStart = 0, selEnd = 0;
    ::SendMessageW(old, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    const bool hadFocus = ::GetFocus() == old;
    HWND previous = ::GetWindow(old, GW_HWNDPREV);

    recreating_ = true;
    ::DestroyWindow(old);
    recreating_ = false;
    focused_ = false;

    CreateWindowNow(parent, id, r.left, r.top, r.right - r.left, r.bottom - r.top, style, text);
    ::SetWindowPos(Handle(), previous ? previous : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SendMessageW(Handle(), EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
    if (font) ::SendMessageW(Handle(), WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    AdjustHeight();
    if (hadFocus) ::SetFocus(Handle());
    ::SendMessageW(Handle(), EM_SETSEL, selStart, selEnd);
}

void TEllipsesEdit::SetEditStyle(TEditStyle style) { Reshape(editStyle_, style); }
void TEllipsesEdit::SetBorderStyle(TBorderStyle style) { Reshape(borderStyle_, style); }
void TEllipsesEdit::SetCtl3D(bool on) { Reshape(ctl3D_, on); }
void TEllipsesEdit::SetPasswordChar(wchar_t c) { Reshape(passwordChar_, c); }

void TEllipsesEdit::SetFirstCharUpper(bool on)
{
    if (on == firstCharUpper_) return;
    firstCharUpper_ = on;
    if (on) ApplyFirstCharUpper();
}

void TEllipsesEdit::SetColor(COLORREF color)
{
    color_ = color;
    brush_.Reset();
    if (Handle()) ::InvalidateRect(Handle(), nullptr, TRUE);
}

std::wstring TEllipsesEdit::Text() const
{
    if (!Handle()) return {};
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(Handle())) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void TEllipsesEdit::SetText(const std::wstring& text)
{
    if (Handle()) ::SetWindowTextW(Handle(), text.c_str());
}

void TEllipsesEdit::ApplyFirstCharUpper()
{
    std::wstring text = Text();
    if (text.empty() || UpperAscii(text[0]) == text[0]) return;
    text[0] = UpperAscii(text[0]);
    DWORD selStart = 0, selEnd = 0;
    ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
    SetText(text);
    ::SendMessageW(Handle(), EM_SETSEL, selStart, selEnd);
}

bool TEllipsesEdit::ButtonVisible() const
{
    return editStyle_ == esAlwaysEllipses || (editStyle_ == esEllipses && focused_);
}

int TEllipsesEdit::PreferredHeight() const
{
    HGDIOBJ font = Handle() ? reinterpret_cast<HGDIOBJ>(::SendMessageW(Handle(), WM_GETFONT, 0, 0)) : nullptr;
    if (!font) font = ::GetStockObject(SYSTEM_FONT);  // what an edit without a font of its own draws with
    ScreenContext screen;
    const int systemHeight = MetricsOf(screen.Get(), ::GetStockObject(SYSTEM_FONT)).tmHeight;
    const int fontHeight = MetricsOf(screen.Get(), font).tmHeight;
    if (borderStyle_ == bsNone) return fontHeight;
    const int i = std::min(systemHeight, fontHeight);
    return fontHeight + i / 4 + 4 * ::GetSystemMetrics(SM_CYBORDER) - 1 + (ctl3D_ ? 2 : 0);
}

void TEllipsesEdit::AdjustHeight()
{
    if (!Handle()) return;
    RECT r{};
    ::GetWindowRect(Handle(), &r);
    const int wanted = PreferredHeight();
    if (r.bottom - r.top == wanted || adjusting_) {
        UpdateButtonLayout();
        return;
    }
    // The resize comes back here through WM_SIZE with the height now equal; the flag
    // keeps a parent that refuses the height from sending it round forever.
    adjusting_ = true;
    ::SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, wanted, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    adjusting_ = false;
}

void TEllipsesEdit::UpdateButtonLayout()
{
    if (!Handle() || !button_.Handle()) return;
    RECT outer{}, client{};
    ::GetWindowRect(Handle(), &outer);
    ::GetClientRect(Handle(), &client);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    const int b = ScrollArrowWidth();

    RECT area{0, 0, client.right - 2, client.bottom + 1};
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (ButtonVisible()) {
        RECT box{};  // left, top, width, height
        if (borderStyle_ == bsNone)
            box = {w - b, 0, b, h};
        else if (ctl3D_)
            box = {w - b - 5, 0, b + 1, h - 4};
        else
            box = {w - b - 3, 1, b + 3, h - 1};
        ::SetWindowPos(button_.Handle(), nullptr, box.left, box.top, box.right, box.bottom, flags);
        // The text ends two pixels short of the button, however wide its border is.
        area.right = std::min(area.right, box.left - 2);
    } else {
        RECT now{};
        ::GetClientRect(button_.Handle(), &now);
        ::SetWindowPos(button_.Handle(), nullptr, 0, 0, 0, now.bottom, flags | SWP_NOMOVE);
    }
    SetFormattingRect(area);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

// The edit shrinks the rectangle it is given by its border and margins; the text area
// is to be exactly the one asked for, so the margins go and the horizontal shrink is
// measured once and given back.
void TEllipsesEdit::SetFormattingRect(RECT wanted)
{
    if (!(::GetWindowLongW(Handle(), GWL_STYLE) & ES_MULTILINE)) return;
    ::SendMessageW(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    RECT asked = wanted, got{};
    ::SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&asked));
    ::SendMessageW(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    if (got.left == wanted.left && got.right == wanted.right) return;
    asked.left += wanted.left - got.left;
    asked.right += wanted.right - got.right;
    ::SendMessageW(Handle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&asked));
}

void TEllipsesEdit::ButtonClick()
{
    button_.Pressed = false;
    button_.Refresh();
    if (OnButtonClick) OnButtonClick(*this);
}

LRESULT TEllipsesEdit::OnChar(WPARAM wParam, LPARAM lParam)
{
    wchar_t c = static_cast<wchar_t>(wParam);
    // A path is one line: Enter, Ctrl+Enter and Tab never become part of it (and the
    // edit does not beep at them).
    if (c == L'\r' || c == L'\n' || c == L'\t') return 0;
    if (c == 1) {  // Ctrl+A
        ::SendMessageW(Handle(), EM_SETSEL, 0, -1);
        return 0;
    }
    if (firstCharUpper_) {
        const DWORD length = static_cast<DWORD>(::GetWindowTextLengthW(Handle()));
        DWORD selStart = 0, selEnd = 0;
        ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        if (length == 0 || (selStart == 0 && selEnd == length)) c = UpperAscii(c);
    }
    return Default(WM_CHAR, c, lParam);
}

// A multi-line window would take every line of the clipboard; a path box takes the
// first line, as a one-line edit does, and of a line copied from a table (fields
// separated by tabs) its first field: no control character belongs in a path.
void TEllipsesEdit::PasteFirstLine()
{
    if (!::OpenClipboard(Handle())) return;
    std::wstring text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    const auto control = std::find_if(text.begin(), text.end(), [](wchar_t c) { return c < L' ' || c == 0x7F; });
    text.erase(control, text.end());
    ::SendMessageW(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT TEllipsesEdit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE: {
        LRESULT result = Default(message, wParam, lParam);
        AdjustHeight();
        return result;
    }
    case WM_SETFONT: {
        LRESULT result = Default(message, wParam, lParam);
        AdjustHeight();
        return result;
    }
    case WM_PAINT:
        if (!pendingText_.empty()) {
            // What Enter left: the text as it was before the key, all of it selected.
            SetText(std::exchange(pendingText_, std::wstring()));
            ::SendMessageW(Handle(), EM_SETSEL, 0, -1);
        }
        return Default(message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            pendingText_ = Text();
            ::InvalidateRect(Handle(), nullptr, FALSE);
            return 0;
        }
        break;
    case WM_CHAR: return OnChar(wParam, lParam);
    case WM_PASTE:
        if (::GetWindowLongW(Handle(), GWL_STYLE) & ES_READONLY) return 0;
        PasteFirstLine();
        return 0;
    case WM_SETFOCUS: {
        LRESULT result = Default(message, wParam, lParam);
        focused_ = true;
        UpdateButtonLayout();
        if (AutoSelect) ::SendMessageW(Handle(), EM_SETSEL, 0, -1);
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = Default(message, wParam, lParam);
        focused_ = false;
        if (recreating_) return result;
        if (firstCharUpper_) ApplyFirstCharUpper();
        UpdateButtonLayout();
        return result;
    }
    }
    return Default(message, wParam, lParam);
}

bool TEllipsesEdit::OnControlColor(UINT message, HDC dc, LRESULT& brush)
{
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC) return false;
    if (!brush_) brush_.Reset(::CreateSolidBrush(color_));
    ::SetBkColor(dc, color_);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    brush = reinterpret_cast<LRESULT>(brush_.Get());
    return true;
}
