// The string grid's painting: every visible cell through the drawing hook, grid lines,
// fixed-cell edges and the focus rectangle, into one memory bitmap per paint.
#include "controls/CellDescription.h"
#include "controls/StringGrid.h"

void TStringGrid::DrawPlainText(HDC dc, const RECT& rect, const std::wstring& text)
{
    GdiObject brush(::CreateSolidBrush(canvas_.brush));
    ::FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
    std::wstring_view shown = ClipCellText(text);
    ::SetTextColor(dc, canvas_.font);
    ::SetBkMode(dc, TRANSPARENT);
    ::ExtTextOutW(dc, rect.left + 2, rect.top + 2, ETO_CLIPPED, &rect, shown.data(), static_cast<UINT>(shown.size()),
                  nullptr);
}

void TStringGrid::DrawCell(HDC dc, int col, int row, const RECT& rect, unsigned state)
{
    if (defaultDrawing_) DrawPlainText(dc, rect, Cells(col, row));
    if (OnDrawCell) OnDrawCell(*this, col, row, rect, state, dc);
}

void TStringGrid::Paint(HDC dc)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    {
        GdiObject back(::CreateSolidBrush(color_));
        ::FillRect(dc, &client, static_cast<HBRUSH>(back.Get()));
    }
    const GridRect selection = Selection();
    const bool focused = HasFocusWithin();
    const COLORREF fixedLine = ::GetSysColor(COLOR_WINDOWFRAME);
    const COLORREF dataLine = ::GetSysColor(COLOR_BTNFACE);
    for (int row = 0; row < rowCount_; ++row) {
        int top = RowTop(row);
        if (top < 0) continue;
        if (top >= client.bottom) break;
        for (int col = 0; col < colCount_; ++col) {
            int left = ColLeft(col);
            if (left < 0) continue;
            if (left >= client.right) break;
            RECT rect{left, top, left + ColWidth(col), top + defaultRowHeight_};
            const bool fixed = col < fixedCols_ || row < fixedRows_;
            unsigned state = 0;
            if (fixed) state |= gdFixed;
            if (!fixed && selection.Contains(col, row)) state |= gdSelected;
            if (!fixed && focused && col == col_ && row == row_) state |= gdFocused;
            canvas_ = Canvas{};
            canvas_.pen = fontColor_;
            if (fixed) {
                canvas_.brush = fixedColor_;
                canvas_.font = fontColor_;
            } else if ((state & gdSelected) && (!(col == col_ && row == row_) || (options_ & goDrawFocusSelected))) {
                canvas_.brush = ::GetSysColor(COLOR_HIGHLIGHT);
                canvas_.font = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
            } else {
                canvas_.brush = color_;
                canvas_.font = fontColor_;
            }
            int saved = ::SaveDC(dc);
            ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
            ::SelectObject(dc, font_);
            DrawCell(dc, col, row, rect, state);
            ::RestoreDC(dc, saved);
            if (fixed && (options_ & (goFixedVertLine | goFixedHorzLine)) == (goFixedVertLine | goFixedHorzLine)) {
                RECT edge = rect;
                ::DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
            }
            // The grid lines right of and below the cell.
            int vertical = LineWidth(fixed && col < fixedCols_, true);
            int horizontal = LineWidth(fixed && row < fixedRows_, false);
            GdiObject line(::CreateSolidBrush(fixed ? fixedLine : dataLine));
            RECT right{rect.right, rect.top, rect.right + vertical, rect.bottom + horizontal};
            RECT below{rect.left, rect.bottom, rect.right, rect.bottom + horizontal};
            ::FillRect(dc, &right, static_cast<HBRUSH>(line.Get()));
            ::FillRect(dc, &below, static_cast<HBRUSH>(line.Get()));
        }
    }
    if (focused && !(editor_ && editor_->Visible())) {
        RECT current = CellRect(col_, row_);
        if (!::IsRectEmpty(&current)) {
            ::SetTextColor(dc, RGB(0, 0, 0));
            ::SetBkColor(dc, RGB(255, 255, 255));
            ::DrawFocusRect(dc, &current);
        }
    }
}

void TStringGrid::PaintThroughBuffer(HDC target, const RECT& area)
{
    RECT client{};
    ::GetClientRect(Handle(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Declared in this order so that the bitmap is unselected before it and the context go.
    MemoryContext memory(::CreateCompatibleDC(target));
    GdiObject bitmap(::CreateCompatibleBitmap(target, client.right, client.bottom));
    SelectObjectScope selected(memory.Get(), bitmap.Get());
    Paint(memory.Get());
    ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, memory.Get(), area.left,
             area.top, SRCCOPY);
}
