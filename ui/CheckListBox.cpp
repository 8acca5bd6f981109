// The check list: ticks kept beside the list box's items, drawn by the list itself.
#include "ui/CheckListBox.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/Dpi.h"

namespace {

const WindowClass kCheckListClass{TCheckListBox::kClassName, L"LISTBOX"};

// The check box is as high as the item, never smaller than the classic 13 pixels (at
// 96 DPI; scaled to the window's).
constexpr int kMinItemHeight = 13;
constexpr int kCheckSize = 13;
constexpr int kCheckMargin = 2;

}  // namespace

void TCheckListBox::BindNext() { BindNextWindow(kCheckListClass); }

void TCheckListBox::SetItems(const std::vector<std::wstring>& texts)
{
    BeginUpdate();
    ::SendMessageW(Handle(), LB_RESETCONTENT, 0, 0);
    size_t bytes = 0;
    for (const std::wstring& text : texts) bytes += (text.size() + 1) * sizeof(wchar_t);
    ::SendMessageW(Handle(), LB_INITSTORAGE, texts.size(), bytes);
    for (const std::wstring& text : texts)
        ::SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    checked_.assign(texts.size(), 0);
    EndUpdate();
}

void TCheckListBox::SetChecked(size_t index, bool checked)
{
    if (index >= checked_.size() || static_cast<bool>(checked_[index]) == checked) return;
    checked_[index] = checked;
    InvalidateItem(index);
}

int TCheckListBox::Selected() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETCURSEL, 0, 0)); }

void TCheckListBox::Select(int index) { ::SendMessageW(Handle(), LB_SETCURSEL, index, 0); }

void TCheckListBox::BeginUpdate()
{
    if (updates_++ == 0) ::SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TCheckListBox::EndUpdate()
{
    if (updates_ == 0 || --updates_ > 0) return;
    ::SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TCheckListBox::MeasureItem(MEASUREITEMSTRUCT& item) const
{
    item.itemHeight = ScaleForWindow(kMinItemHeight, Handle());
}

void TCheckListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    if (item.itemID == static_cast<UINT>(-1)) {  // an empty list with the focus
        if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &row);
        return;
    }
    const bool selected = item.itemState & ODS_SELECTED;
    ::FillRect(dc, &row, ::GetSysColorBrush(COLOR_WINDOW));

    int size = std::min<int>(ScaleForWindow(kCheckSize, Handle()), row.bottom - row.top);
    RECT box{row.left + kCheckMargin, row.top + (row.bottom - row.top - size) / 2, 0, 0};
    box.right = box.left + size;
    box.bottom = box.top + size;
    ::DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (Checked(item.itemID) ? DFCS_CHECKED : 0));

    RECT text = row;
    text.left = box.right + kCheckMargin;
    ::FillRect(dc, &text, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    LRESULT length = ::SendMessageW(Handle(), LB_GETTEXTLEN, item.itemID, 0);
    std::wstring caption(length > 0 ? length : 0, L'\0');
    if (length > 0) ::SendMessageW(Handle(), LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(caption.data()));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT inner = text;
    inner.left += kCheckMargin;
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &inner,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &text);
}

int TCheckListBox::ItemHeight() const { return static_cast<int>(::SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0)); }

int TCheckListBox::CheckBoxAt(POINT point) const
{
    LRESULT hit = ::SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
    if (HIWORD(hit)) return -1;  // below the last item
    int index = LOWORD(hit);
    RECT row{};
    if (::SendMessageW(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)) == LB_ERR) return -1;
    if (point.x < row.left || point.x >= row.left + kCheckMargin * 2 + kCheckSize) return -1;
    return index;
}

void TCheckListBox::Flip(size_t index)
{
    if (index >= checked_.size()) return;
    SetChecked(index, !checked_[index]);
    if (OnClickCheck) OnClickCheck(index);
}

void TCheckListBox::InvalidateItem(size_t index)
{
    RECT row{};
    if (::SendMessageW(Handle(), LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)) != LB_ERR)
        ::InvalidateRect(Handle(), &row, FALSE);
}

LRESULT TCheckListBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETFONT: {
        // A larger font gets taller items, so that the text is not cut.
        LRESULT result = Default(message, wParam, lParam);
        HDC dc = ::GetDC(Handle());
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(wParam));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        ::ReleaseDC(Handle(), dc);
        int height = std::max<int>(ScaleForWindow(kMinItemHeight, Handle()), metrics.tmHeight);
        if (height != ItemHeight()) ::SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, height);
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The list selects the item and takes the focus first, as for any click.
        LRESULT result = Default(message, wParam, lParam);
        int index = CheckBoxAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (index >= 0) Flip(static_cast<size_t>(index));
        return result;
    }
    case WM_CHAR:
        if (wParam == L' ') {
            // Not passed on: the list would search for an item beginning with a blank.
            int index = Selected();
            if (index >= 0) Flip(static_cast<size_t>(index));
            return 0;
        }
        return Default(message, wParam, lParam);
    default: return Default(message, wParam, lParam);
    }
}
