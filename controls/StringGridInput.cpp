// The string grid's keyboard and mouse: moving the current cell, extending the
// selection, opening and ending the in-place edit, and the events the owner sees.
#include <algorithm>

#include "controls/StringGrid.h"

void TStringGrid::KeyDown(WORD& key, unsigned shift)
{
    if (OnKeyDown) OnKeyDown(*this, key, shift);
    if (key == 0) return;
    const bool extend = (shift & ssShift) != 0;
    int col = extend ? anchorCol_ : col_, row = extend ? anchorRow_ : row_;
    const int page = VisibleRowCount();
    switch (key) {
    case VK_UP: --row; break;
    case VK_DOWN: ++row; break;
    case VK_LEFT: --col; break;
    case VK_RIGHT: ++col; break;
    case VK_PRIOR: row -= page; break;
    case VK_NEXT: row += page; break;
    case VK_HOME:
        col = fixedCols_;
        if (shift & ssCtrl) row = fixedRows_;
        break;
    case VK_END:
        col = colCount_ - 1;
        if (shift & ssCtrl) row = rowCount_ - 1;
        break;
    case VK_TAB:
        if (!(options_ & goTabs)) return;
        col += extend ? -1 : 1;
        if (col >= colCount_) col = fixedCols_, ++row;
        if (col < fixedCols_) col = colCount_ - 1, --row;
        if (row < fixedRows_ || row >= rowCount_) return;
        FocusCell(col, row, false);
        return;
    case VK_F2: ShowEditor(); return;
    case VK_ESCAPE:
        if (editor_ && editor_->Visible()) {
            SetCells(editCol_, editRow_, editOriginal_);
            editor_->SelectAll();
            if (!(options_ & goAlwaysShowEditor)) HideEditor();
        }
        return;
    default: return;
    }
    FocusCell(col, row, extend);
}

void TStringGrid::KeyUp(WORD& key, unsigned shift)
{
    if (OnKeyUp) OnKeyUp(*this, key, shift);
}

void TStringGrid::KeyPress(wchar_t& ch)
{
    if (OnKeyPress) OnKeyPress(*this, ch);
    if (ch == 0 || !(options_ & goEditing)) return;
    bool editorShown = editor_ && editor_->Visible();
    if (ch == L'\r') {
        if (editorShown && !(options_ & goAlwaysShowEditor)) {
            HideEditor();
        } else if (!editorShown) {
            ShowEditor();
        } else {
            editor_->SelectAll();
        }
        ch = 0;
    } else if (ch >= L' ' && !editorShown && ::GetFocus() == Handle()) {
        ShowEditor();
        if (editor_ && editor_->Visible()) {
            editor_->SetText(L"");
            ::SendMessageW(editor_->Handle(), WM_CHAR, ch, 0);
        }
        ch = 0;
    }
}

void TStringGrid::MouseDown(MouseButton button, unsigned shift, int x, int y)
{
    if (::GetFocus() != Handle() && !HasFocusWithin()) ::SetFocus(Handle());
    if (button == MouseButton::Left) {
        int col, row;
        if (MouseToCell(x, y, col, row) && col >= fixedCols_ && row >= fixedRows_) {
            if ((shift & ssDouble) && (options_ & goEditing)) {
                ShowEditor();
            } else if (shift & ssShift) {
                FocusCell(col, row, true);
                selecting_ = true;
            } else if (col == col_ && row == row_ && (options_ & goEditing) && !(shift & ssCtrl)) {
                FocusCell(col, row, false);
                ShowEditor();
            } else {
                FocusCell(col, row, false);
                selecting_ = true;
            }
            if (selecting_) ::SetCapture(Handle());
        }
    }
    if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void TStringGrid::MouseMove(unsigned shift, int x, int y)
{
    if (selecting_ && (shift & ssLeft)) {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        int col, row;
        MouseToCell(std::clamp(x, 0, static_cast<int>(client.right) - 1),
                    std::clamp(y, 0, static_cast<int>(client.bottom) - 1), col, row);
        if (col >= 0) {
            col = std::clamp(col, fixedCols_, colCount_ - 1);
            row = std::clamp(row, fixedRows_, rowCount_ - 1);
            if (x >= client.right && col + 1 < colCount_) ++col;  // dragging beyond the edge scrolls on
            if (y >= client.bottom && row + 1 < rowCount_) ++row;
            if (col != anchorCol_ || row != anchorRow_) {
                if ((options_ & (goRangeSelect | goEditing)) == goRangeSelect) {
                    MoveAnchor(col, row);
                } else {
                    MoveCurrent(col, row);
                }
            }
        }
    }
    if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void TStringGrid::MouseUp(MouseButton button, unsigned shift, int x, int y)
{
    if (button == MouseButton::Left && selecting_) {
        selecting_ = false;
        if (::GetCapture() == Handle()) ::ReleaseCapture();
    }
    if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}
