// The string grid's in-place editor: a one-line edit over the current cell that types
// through the cell's input mask and hands the keys that move between cells to the grid.
#include <windowsx.h>

#include "controls/EditMask.h"
#include "controls/StringGrid.h"

namespace {

const WindowClass kEditClass{L"KitwrightInplaceEdit", L"EDIT"};
constexpr UINT_PTR kEditorId = 1;

}  // namespace

void TInplaceEdit::Open(HWND gridWindow)
{
    // Multi-line, so that the text area can be narrowed to leave room beside it;
    // line breaks are never typed.
    Create(kEditClass, 0, WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, L"", 0, 0, 0, 0, gridWindow, kEditorId);
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(grid_.Font()), FALSE);
}

std::wstring TInplaceEdit::Text() const
{
    int length = ::GetWindowTextLengthW(Handle());
    std::wstring text(length + 1, L'\0');
    text.resize(::GetWindowTextW(Handle(), text.data(), length + 1));
    return text;
}

void TInplaceEdit::SetText(const std::wstring& text)
{
    ::SetWindowTextW(Handle(), text.c_str());
    // A multi-line edit does not report text set this way: the cell learns it here.
    grid_.EditorTextChanged();
}

void TInplaceEdit::SetLimit(int limit) { ::SendMessageW(Handle(), EM_LIMITTEXT, limit > 0 ? limit : 0, 0); }

void TInplaceEdit::SelectAll() { ::SendMessageW(Handle(), EM_SETSEL, 0, -1); }

void TInplaceEdit::ShowAt(const RECT& cell)
{
    RECT old{};
    ::GetWindowRect(Handle(), &old);
    ::MapWindowPoints(nullptr, ::GetParent(Handle()), reinterpret_cast<POINT*>(&old), 2);
    ::SetWindowPos(Handle(), HWND_TOP, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
                   SWP_SHOWWINDOW | SWP_NOREDRAW);
    if (!::EqualRect(&old, &cell)) BoundsChanged();
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TInplaceEdit::Hide(bool focusGrid)
{
    if (!Visible()) return;
    bool hadFocus = ::GetFocus() == Handle();
    ::ShowWindow(Handle(), SW_HIDE);
    if (hadFocus && focusGrid) ::SetFocus(grid_.Handle());
}

void TInplaceEdit::KeyDown(WORD& key, unsigned shift)
{
    DWORD start = 0, end = 0;
    ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    size_t length = static_cast<size_t>(::GetWindowTextLengthW(Handle()));
    bool toGrid = false;
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
    case VK_RETURN:
    case VK_F2: toGrid = true; break;
    case VK_TAB: toGrid = (grid_.Options() & goTabs) != 0; break;
    case VK_LEFT: toGrid = start == 0 && end == 0 && !(shift & ssShift); break;
    case VK_RIGHT: toGrid = start == end && end == length && !(shift & ssShift); break;
    case VK_HOME:
    case VK_END: toGrid = (shift & ssCtrl) != 0; break;
    }
    if (!toGrid) return;
    grid_.KeyDown(key, shift);
    key = 0;
}

void TInplaceEdit::KeyUp(WORD&, unsigned) {}

void TInplaceEdit::FocusLost(HWND newFocus)
{
    if (newFocus != grid_.Handle() && !::IsChild(grid_.Handle(), newFocus)) grid_.LeaveFocus(newFocus);
}

void TInplaceEdit::TypeChar(wchar_t ch)
{
    DWORD start = 0, end = 0;
    ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    std::optional<MaskedText> typed = MaskTyped(mask_, Text(), start, end, ch);
    if (!typed) {
        ::MessageBeep(MB_OK);
        return;
    }
    int limit = static_cast<int>(::SendMessageW(Handle(), EM_GETLIMITTEXT, 0, 0));
    if (limit > 0 && typed->text.size() > static_cast<size_t>(limit)) {
        ::MessageBeep(MB_OK);
        return;
    }
    SetText(typed->text);
    ::SendMessageW(Handle(), EM_SETSEL, typed->caret, typed->caret);
}

void TInplaceEdit::Paste()
{
    if (!::OpenClipboard(Handle())) return;
    std::wstring pasted;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(::GlobalLock(data))) {
            pasted = text;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    for (wchar_t ch : pasted) {
        if (ch == L'\r' || ch == L'\n') break;  // one line only
        std::wstring before = Text();
        TypeChar(ch);
        if (Text() == before) break;
    }
}

LRESULT TInplaceEdit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return grid_.TabDialogCode(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS,
                                   reinterpret_cast<const MSG*>(lParam));
    case WM_KEYDOWN:
    case WM_KEYUP: {
        WORD key = static_cast<WORD>(wParam);
        if (message == WM_KEYDOWN) {
            KeyDown(key, TStringGrid::KeyShift());
        } else {
            KeyUp(key, TStringGrid::KeyShift());
        }
        if (key == 0) return 0;
        break;
    }
    case WM_CHAR: {
        wchar_t ch = static_cast<wchar_t>(wParam);
        if (ch == L'\r') grid_.KeyPress(ch);                                  // Enter ends the edit
        if (ch == L'\r' || ch == L'\n' || ch == L'\t' || ch == 27) return 0;  // the keys did their work
        grid_.KeyPress(ch);
        if (ch == 0) return 0;
        if (ch >= L' ' && !mask_.empty()) {
            TypeChar(ch);
            return 0;
        }
        return Default(message, ch, lParam);
    }
    case WM_PASTE:
        if (mask_.empty()) break;
        Paste();
        return 0;
    case WM_KILLFOCUS: {
        LRESULT result = Default(message, wParam, lParam);
        FocusLost(reinterpret_cast<HWND>(wParam));
        return result;
    }
    }
    return Default(message, wParam, lParam);
}
