// The string grid control: cells, geometry, selection, scrolling, keyboard and mouse,
// and the in-place editor's life.
#include "controls/StringGrid.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/Dpi.h"

namespace {

const WindowClass kGridClass{L"KitwrightStringGrid", nullptr, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW};

}  // namespace

// ---- The grid ---------------------------------------------------------------------

TStringGrid::TStringGrid()
    : color_(::GetSysColor(COLOR_WINDOW)),
      fixedColor_(::GetSysColor(COLOR_BTNFACE)),
      fontColor_(::GetSysColor(COLOR_WINDOWTEXT)),
      font_(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)))
{
    defaultColWidth_ = Scaled(defaultColWidth_);
    defaultRowHeight_ = Scaled(defaultRowHeight_);
    colWidths_.assign(colCount_, -1);
}

int TStringGrid::Scaled(int designPixels) const { return ScaleForWindow(designPixels, Handle()); }

TStringGrid::~TStringGrid()
{
    // The editor is a child window: it goes before the grid's own window.
    editor_.reset();
}

HWND TStringGrid::CreateGrid(HWND parent, int x, int y, int width, int height, UINT_PTR id, DWORD style, DWORD exStyle)
{
    // The editor is a child: the grid's painting leaves it alone.
    HWND window = Create(kGridClass, exStyle, style | WS_CLIPCHILDREN, L"", x, y, width, height, parent, id);
    UpdateScrollBars();
    return window;
}

unsigned TStringGrid::KeyShift()
{
    unsigned shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// ---- Dimensions and cells

void TStringGrid::SetColCount(int count)
{
    colCount_ = std::max(1, count);
    colWidths_.resize(colCount_, -1);
    fixedCols_ = std::min(fixedCols_, colCount_ - 1);
    FocusCell(std::clamp(col_, fixedCols_, colCount_ - 1), row_, false);
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetRowCount(int count)
{
    rowCount_ = std::max(1, count);
    fixedRows_ = std::min(fixedRows_, rowCount_ - 1);
    FocusCell(col_, std::clamp(row_, fixedRows_, rowCount_ - 1), false);
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetFixedCols(int count)
{
    fixedCols_ = std::clamp(count, 0, colCount_ - 1);
    leftCol_ = std::max(leftCol_, fixedCols_);
    FocusCell(std::max(col_, fixedCols_), row_, false);
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetFixedRows(int count)
{
    fixedRows_ = std::clamp(count, 0, rowCount_ - 1);
    topRow_ = std::max(topRow_, fixedRows_);
    FocusCell(col_, std::max(row_, fixedRows_), false);
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = Scaled(std::max(0, width));
    colWidths_.assign(colCount_, -1);
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = Scaled(std::max(0, height));
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
}

int TStringGrid::ColWidth(int col) const
{
    if (col < 0 || col >= colCount_ || colWidths_[col] < 0) return defaultColWidth_;
    return colWidths_[col];
}

void TStringGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= colCount_) return;
    colWidths_[col] = Scaled(std::max(0, width));
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
}

std::wstring TStringGrid::Cells(int col, int row) const
{
    auto found = cells_.find({row, col});
    return found == cells_.end() ? std::wstring() : found->second;
}

void TStringGrid::SetCells(int col, int row, const std::wstring& text)
{
    if (text.empty()) {
        cells_.erase({row, col});
    } else {
        cells_[{row, col}] = text;
    }
    InvalidateCell(col, row);
    if (col == editCol_ && row == editRow_ && editor_ && editor_->Visible() && editor_->Text() != text) {
        loadingEditor_ = true;
        editor_->SetText(text);
        loadingEditor_ = false;
    }
}

intptr_t TStringGrid::CellValue(int col, int row) const
{
    auto found = values_.find({row, col});
    return found == values_.end() ? 0 : found->second;
}

void TStringGrid::SetCellValue(int col, int row, intptr_t value)
{
    values_[{row, col}] = value;
    InvalidateCell(col, row);
}

std::vector<std::pair<std::pair<int, int>, std::wstring>> TStringGrid::NonEmptyCells() const
{
    std::vector<std::pair<std::pair<int, int>, std::wstring>> result;
    for (const auto& [key, text] : cells_) result.push_back({{key.second, key.first}, text});
    return result;
}

void TStringGrid::ClearCells()
{
    cells_.clear();
    values_.clear();
    InvalidateGrid();
}

// ---- Look

void TStringGrid::SetOptions(unsigned options)
{
    options_ = options;
    if (options_ & goAlwaysShowEditor) editorMode_ = (options_ & goEditing) != 0;
    if (!(options_ & goEditing)) editorMode_ = false;
    UpdateScrollBars();
    UpdateEditor();
    InvalidateGrid();
}

void TStringGrid::SetScrollBars(GridScrollBars bars)
{
    scrollBars_ = bars;
    UpdateScrollBars();
}

void TStringGrid::SetDefaultDrawing(bool on) { Restyle(defaultDrawing_, on); }
void TStringGrid::SetColor(COLORREF color) { Restyle(color_, color); }
void TStringGrid::SetFixedColor(COLORREF color) { Restyle(fixedColor_, color); }
void TStringGrid::SetFontColor(COLORREF color) { Restyle(fontColor_, color); }

void TStringGrid::SetFont(HFONT font)
{
    font_ = font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    styledFonts_.clear();
    if (editor_ && editor_->Handle()) ::SendMessageW(editor_->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), 0);
    InvalidateGrid();
}

HFONT TStringGrid::StyledFont(int style)
{
    if (style == 0) return font_;
    FontHandle& styled = styledFonts_[style];
    if (!styled) {
        LOGFONTW lf{};
        ::GetObjectW(font_, sizeof lf, &lf);
        if (style & fsBold) lf.lfWeight = FW_BOLD;
        lf.lfItalic = (style & fsItalic) != 0;
        lf.lfUnderline = (style & fsUnderline) != 0;
        lf.lfStrikeOut = (style & fsStrikeOut) != 0;
        styled.Reset(::CreateFontIndirectW(&lf));
        if (!styled) return font_;
    }
    return styled.Get();
}

void TStringGrid::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0) InvalidateGrid();
}

// ---- Geometry

int TStringGrid::LineWidth(bool fixed, bool vertical) const
{
    unsigned flag = fixed ? (vertical ? goFixedVertLine : goFixedHorzLine) : (vertical ? goVertLine : goHorzLine);
    return (options_ & flag) ? 1 : 0;
}

int TStringGrid::ColLeft(int col) const
{
    if (col < 0 || col >= colCount_ || (col >= fixedCols_ && col < leftCol_)) return -1;
    int x = 0;
    for (int c = 0; c < col; ++c) {
        if (c >= fixedCols_ && c < leftCol_) continue;
        x += ColWidth(c) + LineWidth(c < fixedCols_, true);
    }
    return x;
}

int TStringGrid::RowTop(int row) const
{
    if (row < 0 || row >= rowCount_ || (row >= fixedRows_ && row < topRow_)) return -1;
    int y = 0;
    for (int r = 0; r < row; ++r) {
        if (r >= fixedRows_ && r < topRow_) continue;
        y += defaultRowHeight_ + LineWidth(r < fixedRows_, false);
    }
    return y;
}

RECT TStringGrid::CellRect(int col, int row) const
{
    RECT client{};
    if (Handle()) ::GetClientRect(Handle(), &client);
    int x = ColLeft(col), y = RowTop(row);
    if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) return RECT{};
    return RECT{x, y, x + ColWidth(col), y + defaultRowHeight_};
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    col = row = -1;
    if (x < 0 || y < 0) return false;
    for (int c = 0, left = 0; c < colCount_; ++c) {
        if (c >= fixedCols_ && c < leftCol_) continue;
        int right = left + ColWidth(c) + LineWidth(c < fixedCols_, true);
        if (x < right) {
            col = c;
            break;
        }
        left = right;
    }
    for (int r = 0, top = 0; r < rowCount_; ++r) {
        if (r >= fixedRows_ && r < topRow_) continue;
        int bottom = top + defaultRowHeight_ + LineWidth(r < fixedRows_, false);
        if (y < bottom) {
            row = r;
            break;
        }
        top = bottom;
    }
    if (col < 0 || row < 0) col = row = -1;
    return col >= 0;
}

int TStringGrid::VisibleRowCount() const
{
    RECT client{};
    if (Handle()) ::GetClientRect(Handle(), &client);
    int y = 0;
    for (int r = 0; r < fixedRows_; ++r) y += defaultRowHeight_ + LineWidth(true, false);
    int count = 0;
    for (int r = topRow_; r < rowCount_; ++r) {
        y += defaultRowHeight_;
        if (y > client.bottom) break;
        y += LineWidth(false, false);
        ++count;
    }
    return std::max(count, 1);
}

int TStringGrid::VisibleColCount() const
{
    RECT client{};
    if (Handle()) ::GetClientRect(Handle(), &client);
    int x = 0;
    for (int c = 0; c < fixedCols_; ++c) x += ColWidth(c) + LineWidth(true, true);
    int count = 0;
    for (int c = leftCol_; c < colCount_; ++c) {
        x += ColWidth(c);
        if (x > client.right) break;
        x += LineWidth(false, true);
        ++count;
    }
    return std::max(count, 1);
}

// A grid that is not on the screen (its window or a parent hidden, as while a form is
// being built) is painted whole when it is shown: marking it now would only cost a
// round trip to the window manager for each setter.
bool TStringGrid::ShouldInvalidate() const { return Handle() && updateCount_ == 0 && ::IsWindowVisible(Handle()); }

void TStringGrid::InvalidateCell(int col, int row)
{
    if (!ShouldInvalidate()) return;
    RECT rect = CellRect(col, row);
    if (::IsRectEmpty(&rect)) return;
    ::InflateRect(&rect, 1, 1);
    ::InvalidateRect(Handle(), &rect, FALSE);
}

void TStringGrid::InvalidateGrid()
{
    if (ShouldInvalidate()) ::InvalidateRect(Handle(), nullptr, FALSE);
}

// ---- Scrolling

void TStringGrid::ClampTopLeft()
{
    // The last column and row may scroll up to the left and top edge of the data area,
    // never beyond: the largest start that still fills the client area.
    RECT client{};
    if (Handle()) ::GetClientRect(Handle(), &client);
    int fixedWidth = 0, fixedHeight = 0;
    for (int c = 0; c < fixedCols_; ++c) fixedWidth += ColWidth(c) + LineWidth(true, true);
    for (int r = 0; r < fixedRows_; ++r) fixedHeight += defaultRowHeight_ + LineWidth(true, false);
    int maxLeft = colCount_ - 1;
    for (int width = fixedWidth; maxLeft > fixedCols_; --maxLeft) {
        width += ColWidth(maxLeft) + LineWidth(false, true);
        if (width > client.right) break;
        if (width + ColWidth(maxLeft - 1) + LineWidth(false, true) > client.right) break;
    }
    int maxTop = rowCount_ - 1;
    for (int height = fixedHeight; maxTop > fixedRows_; --maxTop) {
        height += defaultRowHeight_ + LineWidth(false, false);
        if (height + defaultRowHeight_ + LineWidth(false, false) > client.bottom) break;
    }
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, maxLeft));
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, maxTop));
}

void TStringGrid::SetTopLeft(int leftCol, int topRow)
{
    int oldLeft = leftCol_, oldTop = topRow_;
    leftCol_ = leftCol;
    topRow_ = topRow;
    ClampTopLeft();
    if (leftCol_ == oldLeft && topRow_ == oldTop) return;
    UpdateScrollBars();
    InvalidateGrid();
    TopLeftChanged();
}

void TStringGrid::ScrollInView(int col, int row)
{
    if (!Handle()) return;
    RECT client{};
    ::GetClientRect(Handle(), &client);
    int fixedWidth = 0;
    for (int c = 0; c < fixedCols_; ++c) fixedWidth += ColWidth(c) + LineWidth(true, true);
    // The right edge of col when the scrolled columns start at left.
    auto rightEdge = [&](int left) {
        int x = fixedWidth;
        for (int c = left; c <= col; ++c) x += ColWidth(c) + LineWidth(false, true);
        return x - LineWidth(false, true);
    };
    int left = leftCol_, top = topRow_;
    if (col >= fixedCols_) {
        if (col < left) left = col;
        while (left < col && rightEdge(left) > client.right) ++left;
    }
    if (row >= fixedRows_) {
        if (row < top) top = row;
        if (row >= top + VisibleRowCount()) top = row - VisibleRowCount() + 1;
    }
    SetTopLeft(left, top);
}

void TStringGrid::UpdateScrollBars()
{
    if (!Handle()) return;
    bool horizontal = scrollBars_ == GridScrollBars::Horizontal || scrollBars_ == GridScrollBars::Both;
    bool vertical = scrollBars_ == GridScrollBars::Vertical || scrollBars_ == GridScrollBars::Both;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    if (vertical && rowCount_ > fixedRows_ + 1 && rowCount_ - fixedRows_ > VisibleRowCount()) {
        info.nMin = fixedRows_;
        info.nMax = rowCount_ - 1;
        info.nPage = VisibleRowCount();
        info.nPos = topRow_;
        info.fMask = SIF_ALL;
        ::ShowScrollBar(Handle(), SB_VERT, TRUE);
        ::SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    } else {
        ::ShowScrollBar(Handle(), SB_VERT, FALSE);
    }
    if (horizontal && colCount_ - fixedCols_ > VisibleColCount()) {
        info.nMin = fixedCols_;
        info.nMax = colCount_ - 1;
        info.nPage = VisibleColCount();
        info.nPos = leftCol_;
        info.fMask = SIF_ALL;
        ::ShowScrollBar(Handle(), SB_HORZ, TRUE);
        ::SetScrollInfo(Handle(), SB_HORZ, &info, TRUE);
    } else {
        ::ShowScrollBar(Handle(), SB_HORZ, FALSE);
    }
}

void TStringGrid::OnScroll(bool vertical, int code)
{
    int pos = vertical ? topRow_ : leftCol_;
    int page = vertical ? VisibleRowCount() : VisibleColCount();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    ::GetScrollInfo(Handle(), vertical ? SB_VERT : SB_HORZ, &info);
    switch (code) {
    case SB_LINEUP: --pos; break;
    case SB_LINEDOWN: ++pos; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = info.nTrackPos; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = vertical ? rowCount_ : colCount_; break;
    default: return;
    }
    if (vertical) {
        SetTopLeft(leftCol_, pos);
    } else {
        SetTopLeft(pos, topRow_);
    }
}

void TStringGrid::TopLeftChanged() { UpdateEditor(); }

// ---- Current cell and selection

GridRect TStringGrid::Selection() const
{
    return GridRect{std::min(col_, anchorCol_), std::min(row_, anchorRow_), std::max(col_, anchorCol_),
                    std::max(row_, anchorRow_)};
}

void TStringGrid::SetSelection(const GridRect& selection)
{
    int left = std::clamp(selection.Left, fixedCols_, colCount_ - 1);
    int top = std::clamp(selection.Top, fixedRows_, rowCount_ - 1);
    MoveCurrent(left, top);
    anchorCol_ = std::clamp(selection.Right, left, colCount_ - 1);
    anchorRow_ = std::clamp(selection.Bottom, top, rowCount_ - 1);
    InvalidateGrid();
}

void TStringGrid::FocusCell(int col, int row, bool extend)
{
    col = std::clamp(col, fixedCols_, colCount_ - 1);
    row = std::clamp(row, fixedRows_, rowCount_ - 1);
    if (extend && (options_ & (goRangeSelect | goEditing)) == goRangeSelect) {
        MoveAnchor(col, row);
    } else {
        MoveCurrent(col, row);
    }
}

void TStringGrid::MoveCurrent(int col, int row)
{
    bool moved = col != col_ || row != row_;
    col_ = anchorCol_ = col;
    row_ = anchorRow_ = row;
    ScrollInView(col, row);
    InvalidateGrid();
    if (moved || editorMode_) UpdateEditor();
}

void TStringGrid::MoveAnchor(int col, int row)
{
    anchorCol_ = col;
    anchorRow_ = row;
    ScrollInView(col, row);
    InvalidateGrid();
}

// ---- Editing

bool TStringGrid::CanEditShow()
{
    return (options_ & goEditing) && editorMode_ && Handle() && ((options_ & goAlwaysShowEditor) || HasFocusWithin());
}

std::wstring TStringGrid::GetEditMask(int, int) { return L""; }

int TStringGrid::GetEditLimit() { return 0; }

std::unique_ptr<TInplaceEdit> TStringGrid::CreateEditor() { return std::make_unique<TInplaceEdit>(*this); }

bool TStringGrid::HasFocusWithin() const
{
    HWND focus = ::GetFocus();
    return focus && (focus == Handle() || ::IsChild(Handle(), focus));
}

void TStringGrid::SetEditorMode(bool on)
{
    if (on) {
        ShowEditor();
    } else {
        HideEditor();
    }
}

void TStringGrid::ShowEditor()
{
    if (!(options_ & goEditing)) return;
    editorMode_ = true;
    UpdateEditor();
}

void TStringGrid::HideEditor()
{
    editorMode_ = false;
    HideEditorWindow();
}

void TStringGrid::HideEditorWindow()
{
    if (!editor_ || !editor_->Visible()) return;
    editCol_ = editRow_ = -1;
    editor_->Hide(!focusLeaving_);
    InvalidateGrid();
}

void TStringGrid::UpdateEditor()
{
    if (!Handle() || !CanEditShow()) {
        HideEditorWindow();
        return;
    }
    bool created = false;
    if (!editor_) {
        editor_ = CreateEditor();
        editor_->Open(Handle());
        created = true;
    }
    if (!CanEditShow()) {  // asked again: a new editor has learnt the column now
        HideEditorWindow();
        return;
    }
    RECT rect = CellRect(col_, row_);
    if (::IsRectEmpty(&rect)) {
        HideEditorWindow();
        return;
    }
    if (created || editCol_ != col_ || editRow_ != row_ || !editor_->Visible()) {
        editCol_ = col_;
        editRow_ = row_;
        editOriginal_ = Cells(col_, row_);
        loadingEditor_ = true;
        editor_->SetMask(GetEditMask(col_, row_));
        editor_->SetLimit(GetEditLimit());
        editor_->SetText(editOriginal_);
        loadingEditor_ = false;
        editor_->ShowAt(rect);
        editor_->SelectAll();
    } else {
        editor_->ShowAt(rect);
    }
    if (::GetFocus() == Handle()) ::SetFocus(editor_->Handle());
}

void TStringGrid::EditorTextChanged()
{
    if (loadingEditor_ || editCol_ < 0) return;
    std::wstring text = editor_->Text();
    if (text.empty()) {
        cells_.erase({editRow_, editCol_});
    } else {
        cells_[{editRow_, editCol_}] = text;
    }
}

void TStringGrid::FocusLeft(HWND) {}

void TStringGrid::LeaveFocus(HWND newFocus)
{
    focusLeaving_ = true;
    FocusLeft(newFocus);
    focusLeaving_ = false;
}

UINT TStringGrid::DialogCode()
{
    UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (options_ & goEditing) code |= DLGC_WANTALLKEYS;
    return code;
}

bool TStringGrid::TabMovesWithin(bool backward) const
{
    if (!(options_ & goTabs)) return false;
    if (backward) return col_ > fixedCols_ || row_ > fixedRows_;
    return col_ < colCount_ - 1 || row_ < rowCount_ - 1;
}

UINT TStringGrid::TabDialogCode(UINT code, const MSG* message) const
{
    const bool tab = message && (message->message == WM_KEYDOWN || message->message == WM_CHAR) &&
                     message->wParam == (message->message == WM_KEYDOWN ? VK_TAB : L'\t');
    if (!tab) return (options_ & goTabs) ? code | DLGC_WANTTAB : code;
    // DLGC_WANTALLKEYS would claim the Tab too.
    if (TabMovesWithin(::GetKeyState(VK_SHIFT) < 0)) return code | DLGC_WANTTAB;
    return code & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS);
}

// ---- Messages

LRESULT TStringGrid::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    auto mouseShift = [wParam] {
        unsigned shift = 0;
        if (wParam & MK_SHIFT) shift |= ssShift;
        if (wParam & MK_CONTROL) shift |= ssCtrl;
        if (wParam & MK_LBUTTON) shift |= ssLeft;
        if (wParam & MK_RBUTTON) shift |= ssRight;
        if (wParam & MK_MBUTTON) shift |= ssMiddle;
        if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
        return shift;
    };
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(Handle(), &ps);
        PaintThroughBuffer(dc, ps.rcPaint);
        ::EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        ::GetClientRect(Handle(), &client);
        PaintThroughBuffer(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
        ClampTopLeft();
        UpdateScrollBars();
        UpdateEditor();
        InvalidateGrid();
        return 0;
    case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE: return TabDialogCode(DialogCode(), reinterpret_cast<const MSG*>(lParam));
    case WM_SETFOCUS:
        if ((options_ & (goEditing | goAlwaysShowEditor)) == (goEditing | goAlwaysShowEditor)) editorMode_ = true;
        if (editorMode_) UpdateEditor();
        InvalidateGrid();
        return 0;
    case WM_KILLFOCUS: {
        HWND next = reinterpret_cast<HWND>(wParam);
        InvalidateGrid();
        if (next != Handle() && !::IsChild(Handle(), next)) LeaveFocus(next);
        return 0;
    }
    case WM_COMMAND:
        if (editor_ && reinterpret_cast<HWND>(lParam) == editor_->Handle() && HIWORD(wParam) == EN_CHANGE)
            EditorTextChanged();
        return 0;
    case WM_VSCROLL: OnScroll(true, LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnScroll(false, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: SetTopLeft(leftCol_, topRow_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3); return 0;
    case WM_LBUTTONDOWN: MouseDown(MouseButton::Left, mouseShift(), x, y); return 0;
    case WM_LBUTTONDBLCLK: MouseDown(MouseButton::Left, mouseShift() | ssDouble, x, y); return 0;
    case WM_RBUTTONDOWN: MouseDown(MouseButton::Right, mouseShift(), x, y); return 0;
    case WM_MOUSEMOVE: MouseMove(mouseShift(), x, y); return 0;
    case WM_LBUTTONUP: MouseUp(MouseButton::Left, mouseShift(), x, y); return 0;
    case WM_RBUTTONUP: MouseUp(MouseButton::Right, mouseShift(), x, y); return 0;
    case WM_CAPTURECHANGED: selecting_ = false; return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        WORD key = static_cast<WORD>(wParam);
        if (message == WM_KEYDOWN) {
            KeyDown(key, KeyShift());
        } else {
            KeyUp(key, KeyShift());
        }
        return 0;
    }
    case WM_CHAR: {
        wchar_t ch = static_cast<wchar_t>(wParam);
        KeyPress(ch);
        return 0;
    }
    }
    return Default(message, wParam, lParam);
}
