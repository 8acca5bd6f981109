// The typed-cell grid's in-place editor and its drop-down list: the button drawn at
// the editor's right end, the list that opens below it, and the keys the list takes.
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "controls/CmbGrid.h"
#include "controls/ThemedParts.h"

namespace {

const WindowClass kListClass{L"KitwrightInplaceList", L"LISTBOX"};
constexpr int kListRows = 8;

}  // namespace

// ---- The list ---------------------------------------------------------------------

void TInplaceListBox::Open()
{
    Create(kListClass, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
           WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, L"", 0, 0, 0, 0, nullptr, 0);
    ::SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(editor_.ComboGrid().Font()), FALSE);
}

void TInplaceListBox::Drop(const RECT& place)
{
    pressedInside_ = false;
    ::SetWindowPos(Handle(), HWND_TOPMOST, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::SetCapture(Handle());
}

void TInplaceListBox::Close()
{
    if (!Visible()) return;
    ::ShowWindow(Handle(), SW_HIDE);
    if (::GetCapture() == Handle()) ::ReleaseCapture();
    editor_.ListClosed();
}

void TInplaceListBox::Clear() { ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

void TInplaceListBox::Add(const std::wstring& item)
{
    ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int TInplaceListBox::Count() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

int TInplaceListBox::ItemIndex() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void TInplaceListBox::SetItemIndex(int index) { ::SendMessageW(Handle(), LB_SETCURSEL, index, 0); }

std::wstring TInplaceListBox::Item(int index) const
{
    LRESULT length = ::SendMessageW(Handle(), LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return L"";
    std::wstring text(length + 1, L'\0');
    text.resize(::SendMessageW(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())));
    return text;
}

void TInplaceListBox::CopySelectionToEditor()
{
    int index = ItemIndex();
    if (index < 0) return;
    editor_.SetText(Item(index));
    editor_.SelectAll();
}

void TInplaceListBox::Pick()
{
    CopySelectionToEditor();
    Close();
    TComboGrid& grid = editor_.ComboGrid();
    grid.RaiseGridBtnClick(grid.Col(), grid.Row());
}

void TInplaceListBox::ScrollBarPress(UINT hit, POINT screen)
{
    recapturing_ = true;
    ::ReleaseCapture();
    Default(WM_NCLBUTTONDOWN, hit, MAKELPARAM(screen.x, screen.y));  // tracks until the release
    if (Visible()) ::SetCapture(Handle());
    recapturing_ = false;
}

LRESULT TInplaceListBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // the editor keeps the keyboard
    case WM_SETFOCUS: ::SetFocus(editor_.Handle()); return 0;
    // The open list holds the mouse, as a system combo box's list does: the selection
    // follows the pointer over the items, a click on one picks it, a click anywhere
    // else closes the list (and does nothing more), and its scroll bar still works.
    // The list's own mouse handling would take the focus, so it is not used.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client{};
        ::GetClientRect(Handle(), &client);
        if (::PtInRect(&client, at)) {
            LRESULT hit = ::SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, lParam);
            if (HIWORD(hit) == 0) SetItemIndex(LOWORD(hit));
            if (message != WM_MOUSEMOVE) pressedInside_ = true;
            return 0;
        }
        if (message == WM_MOUSEMOVE) return 0;
        POINT screen = at;
        ::ClientToScreen(Handle(), &screen);
        const UINT part = static_cast<UINT>(Default(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
        if (part == HTVSCROLL || part == HTHSCROLL) {
            ScrollBarPress(part, screen);
        } else {
            Close();
        }
        return 0;
    }
    case WM_LBUTTONUP: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client{};
        ::GetClientRect(Handle(), &client);
        const bool pressed = std::exchange(pressedInside_, false);
        if (pressed && ::PtInRect(&client, at) && ItemIndex() >= 0) Pick();
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a switch to another program, a menu): closed.
        if (!recapturing_ && reinterpret_cast<HWND>(lParam) != Handle()) Close();
        return 0;
    case WM_KEYUP: {
        LRESULT result = Default(message, wParam, lParam);
        CopySelectionToEditor();
        if (wParam == VK_RETURN) Close();
        return result;
    }
    }
    return Default(message, wParam, lParam);
}

// ---- The editor -------------------------------------------------------------------

TComboInplaceEdit::TComboInplaceEdit(TComboGrid& grid) : TInplaceEdit(grid), grid_(grid) {}

TComboInplaceEdit::~TComboInplaceEdit() = default;

void TComboInplaceEdit::SetKind(const TCellKind* kind)
{
    // The editor is taking up a cell (another one, or the same one anew): a list that is
    // open belongs to the cell it opened for, and closes.
    HideList();
    bool wasCombo = IsCombo();
    kind_ = kind ? *kind : TCellKind();
    if (IsCombo()) {
        if (!list_) {
            list_ = std::make_unique<TInplaceListBox>(*this);
            list_->Open();
        }
        list_->Clear();
        for (const CellItem& item : kind_.Items) list_->Add(item.Text);
    } else {
        HideList();
    }
    if (wasCombo != IsCombo()) ResetTextArea();
}

void TComboInplaceEdit::HideList()
{
    if (ListVisible()) list_->Close();
}

void TComboInplaceEdit::ListClosed() { ::InvalidateRect(Handle(), nullptr, TRUE); }

void TComboInplaceEdit::ToggleList()
{
    if (!IsCombo() || !list_) return;
    if (!list_->Visible()) {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        if (list_->Count() > 0) {
            int found = static_cast<int>(::SendMessageW(list_->Handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                        reinterpret_cast<LPARAM>(Text().c_str())));
            list_->SetItemIndex(found == LB_ERR ? -1 : found);
        }
        const int width = std::max<int>(kind_.DropDownWidth, client.right);
        const int itemHeight = static_cast<int>(::SendMessageW(list_->Handle(), LB_GETITEMHEIGHT, 0, 0));
        const int rows = std::clamp(list_->Count(), 1, kListRows);
        const int height = rows * itemHeight + 2 * ::GetSystemMetrics(SM_CYBORDER);
        RECT anchor = client;
        ::MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&anchor), 2);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        CellBox place = DropDownPlace(CellBox{anchor.left, anchor.top, anchor.right, anchor.bottom}, width, height,
                                      CellBox{work.left, work.top, work.right, work.bottom});
        SelectAll();
        list_->Drop(RECT{place.left, place.top, place.right, place.bottom});
    } else {
        list_->Close();
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TComboInplaceEdit::ResetTextArea()
{
    if (!Handle()) return;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (!IsCombo()) {
        // The whole client area again, given as such: Wine ignores EM_SETRECT with no
        // rectangle, and the narrowed area of a combo cell would stay.
        ::SendMessageW(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
        return;
    }
    RECT area{2, 2, client.right - DropDownButtonWidth() - 2, client.bottom};
    ::SendMessageW(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&area));
    if (::GetFocus() == Handle()) ::ShowCaret(Handle());
}

void TComboInplaceEdit::DrawButton(bool pressed)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int w = DropDownButtonWidth();
    HDC dc = ::GetDC(Handle());
    DrawDropDownFace(Handle(), dc, RECT{client.right - w, 0, client.right, client.bottom - 1}, pressed);
    if (pressed && !ThemedLook(Handle())) {
        RECT area{client.right - w, 0, client.right, client.bottom};
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &area);
    }
    ::ReleaseDC(Handle(), dc);
}

void TComboInplaceEdit::KeyDown(WORD& key, unsigned shift)
{
    if (ListVisible()) {
        if (key == VK_RETURN || key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT) {
            ::SendMessageW(list_->Handle(), WM_KEYDOWN, key, 0);
            key = 0;
            return;
        }
        if (key == VK_ESCAPE) {
            HideList();
            key = 0;
            return;
        }
    }
    if (IsCombo() && key == VK_F4 && !(shift & ssAlt)) {  // Alt+Down and Alt+Up: WM_SYSKEYDOWN
        ToggleList();
        key = 0;
        return;
    }
    TInplaceEdit::KeyDown(key, shift);
}

void TComboInplaceEdit::KeyUp(WORD& key, unsigned shift)
{
    if (ListVisible() && (key == VK_RETURN || key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT)) {
        ::SendMessageW(list_->Handle(), WM_KEYUP, key, 0);
        key = 0;
        return;
    }
    TInplaceEdit::KeyUp(key, shift);
}

void TComboInplaceEdit::FocusLost(HWND newFocus)
{
    if (IsCombo()) HideList();
    if (grid_.OnEditEnd) grid_.OnEditEnd(grid_);
    TInplaceEdit::FocusLost(newFocus);
}

LRESULT TComboInplaceEdit::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsCombo()) return TInplaceEdit::OnMessage(message, wParam, lParam);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int buttonLeft = client.right - DropDownButtonWidth();
    switch (message) {
    case WM_PAINT: {
        LRESULT result = TInplaceEdit::OnMessage(message, wParam, lParam);
        DrawButton(buttonDownX_ >= 0);
        return result;
    }
    case WM_SETFOCUS: {
        LRESULT result = TInplaceEdit::OnMessage(message, wParam, lParam);
        ResetTextArea();
        return result;
    }
    case WM_CHAR:
        if (ListVisible() && wParam == L'\r') return 0;  // Enter went to the list
        break;
    case WM_SYSKEYDOWN:  // Alt+Down or Alt+Up opens or closes the list, as in a combo box
        if (wParam == VK_DOWN || wParam == VK_UP) {
            ToggleList();
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT at{};
            ::GetCursorPos(&at);
            ::ScreenToClient(Handle(), &at);
            if (at.x >= buttonLeft) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (GET_X_LPARAM(lParam) > buttonLeft) {
            buttonDownX_ = GET_X_LPARAM(lParam);
            if (::GetFocus() != Handle()) ::SetFocus(Handle());
            ::SetCapture(Handle());
            DrawButton(true);
            return 0;
        }
        buttonDownX_ = -1;
        break;
    case WM_LBUTTONUP: {
        const bool fromButton = buttonDownX_ >= 0;
        buttonDownX_ = -1;
        if (!fromButton) break;
        if (::GetCapture() == Handle()) ::ReleaseCapture();
        DrawButton(false);
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (::PtInRect(&client, at)) ToggleList();
        return 0;
    }
    }
    return TInplaceEdit::OnMessage(message, wParam, lParam);
}
