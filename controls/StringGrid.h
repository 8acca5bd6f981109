// A string grid control of the program's own (Windows has none): cells of text in
// rows and columns, fixed rows and columns, a current cell with a range selection,
// scrolling, and an in-place editor. The typed-cell grid builds on it through the
// virtual hooks below.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Handles.h"
#include "ui/Window.h"

enum GridOption : unsigned {
    goFixedVertLine = 1,
    goFixedHorzLine = 2,
    goVertLine = 4,
    goHorzLine = 8,
    goRangeSelect = 16,        // Shift+arrows, Shift+click and dragging extend the selection (not while goEditing)
    goDrawFocusSelected = 32,  // the current cell is drawn in the selection colours too
    goEditing = 64,
    goAlwaysShowEditor = 128,
    goTabs = 256,  // Tab and Shift+Tab move between cells
};
inline constexpr unsigned kDefaultGridOptions =
    goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

enum GridDrawState : unsigned { gdSelected = 1, gdFocused = 2, gdFixed = 4 };

enum class GridScrollBars { None, Horizontal, Vertical, Both };

// Shift state of a key or mouse event.
enum ShiftFlag : unsigned {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};

enum class MouseButton { Left, Right, Middle };

// Columns Left..Right and rows Top..Bottom, inclusive.
struct GridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
    bool operator==(const GridRect&) const = default;
};

class TStringGrid;

// The one-line editor that opens over the current cell. Characters that the current
// cell's input mask refuses are not typed (controls/EditMask.h).
class TInplaceEdit : public Window {
public:
    explicit TInplaceEdit(TStringGrid& grid) : grid_(grid) {}

    void Open(HWND gridWindow);
    TStringGrid& Grid() const { return grid_; }
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    void SetMask(std::wstring mask) { mask_ = std::move(mask); }
    const std::wstring& Mask() const { return mask_; }
    void SetLimit(int limit);
    void SelectAll();
    bool Visible() const { return Handle() && ::IsWindowVisible(Handle()); }
    // Places the editor over the cell rectangle and shows it.
    void ShowAt(const RECT& cell);
    // Hides the editor; with focusGrid the grid takes the focus if the editor had it.
    void Hide(bool focusGrid = true);

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Keys that move between cells or end the edit go to the grid.
    virtual void KeyDown(WORD& key, unsigned shift);
    virtual void KeyUp(WORD& key, unsigned shift);
    virtual void FocusLost(HWND newFocus);
    // Called after the editor moved or changed its size.
    virtual void BoundsChanged() {}

private:
    void TypeChar(wchar_t ch);
    void Paste();

    TStringGrid& grid_;
    std::wstring mask_;
};

class TStringGrid : public Window {
public:
    TStringGrid();
    ~TStringGrid() override;

    // Creates the control as a child of parent; a client edge is its usual border.
    HWND CreateGrid(HWND parent, int x, int y, int width, int height, UINT_PTR id,
                    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP, DWORD exStyle = WS_EX_CLIENTEDGE);

    // ---- Dimensions. Widths and heights are set in 96-DPI design pixels and kept, and
    // answered, in pixels at the DPI of the window.
    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    int FixedCols() const { return fixedCols_; }
    int FixedRows() const { return fixedRows_; }
    void SetColCount(int count);
    void SetRowCount(int count);
    void SetFixedCols(int count);
    void SetFixedRows(int count);
    int DefaultColWidth() const { return defaultColWidth_; }
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultColWidth(int width);  // also resets every column's own width
    void SetDefaultRowHeight(int height);
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);

    // ---- Cells: a text and an integer value each; cells outside the counts keep theirs
    std::wstring Cells(int col, int row) const;
    void SetCells(int col, int row, const std::wstring& text);
    intptr_t CellValue(int col, int row) const;
    void SetCellValue(int col, int row, intptr_t value);
    // Every non-empty cell, row by row, each row from column 0.
    std::vector<std::pair<std::pair<int, int>, std::wstring>> NonEmptyCells() const;
    void ClearCells();

    // ---- Current cell and selection
    int Col() const { return col_; }
    int Row() const { return row_; }
    void SetCol(int col) { FocusCell(col, row_, false); }
    void SetRow(int row) { FocusCell(col_, row, false); }
    // Makes (col, row) current; with extend (and range selection on) the selection
    // grows from the current cell to it and the current cell stays.
    void FocusCell(int col, int row, bool extend);
    GridRect Selection() const;
    void SetSelection(const GridRect& selection);
    int TopRow() const { return topRow_; }
    int LeftCol() const { return leftCol_; }
    void SetTopLeft(int leftCol, int topRow);
    int VisibleRowCount() const;  // data rows that fit wholly
    int VisibleColCount() const;

    // ---- Look and behaviour
    unsigned Options() const { return options_; }
    void SetOptions(unsigned options);
    GridScrollBars ScrollBars() const { return scrollBars_; }
    void SetScrollBars(GridScrollBars bars);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    COLORREF Color() const { return color_; }
    COLORREF FixedColor() const { return fixedColor_; }
    COLORREF FontColor() const { return fontColor_; }
    void SetColor(COLORREF color);
    void SetFixedColor(COLORREF color);
    void SetFontColor(COLORREF color);
    HFONT Font() const { return font_; }
    void SetFont(HFONT font);
    int Tag = 0;

    // Changes between the two calls repaint once, at the last EndUpdate.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    // ---- Geometry
    // The cell under the client point, or false when there is none (col, row = -1).
    bool MouseToCell(int x, int y, int& col, int& row) const;
    // The cell's client rectangle without its grid lines; empty when not visible.
    RECT CellRect(int col, int row) const;
    void InvalidateCell(int col, int row);
    void InvalidateGrid();
    bool ShouldInvalidate() const;

    // ---- In-place editing
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool on);
    void ShowEditor();
    void HideEditor();
    TInplaceEdit* InplaceEditor() const { return editor_.get(); }

    // ---- Events: the mouse events after the grid's own handling (the current cell
    // has moved), the key events before it (a key set to 0 or char to 0 is consumed).
    std::function<void(TStringGrid& sender, int col, int row, const RECT& rect, unsigned state, HDC dc)> OnDrawCell;
    std::function<void(TStringGrid& sender, MouseButton button, unsigned shift, int x, int y)> OnMouseDown;
    std::function<void(TStringGrid& sender, unsigned shift, int x, int y)> OnMouseMove;
    std::function<void(TStringGrid& sender, MouseButton button, unsigned shift, int x, int y)> OnMouseUp;
    std::function<void(TStringGrid& sender, WORD& key, unsigned shift)> OnKeyDown;
    std::function<void(TStringGrid& sender, WORD& key, unsigned shift)> OnKeyUp;
    std::function<void(TStringGrid& sender, wchar_t& ch)> OnKeyPress;

    static unsigned KeyShift();  // the shift state of the keyboard now

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Hooks for derived grids; each default is the plain string grid's behaviour.
    virtual void DrawCell(HDC dc, int col, int row, const RECT& rect, unsigned state);
    virtual void Paint(HDC dc);
    virtual void MouseDown(MouseButton button, unsigned shift, int x, int y);
    virtual void MouseMove(unsigned shift, int x, int y);
    virtual void MouseUp(MouseButton button, unsigned shift, int x, int y);
    virtual void KeyDown(WORD& key, unsigned shift);
    virtual void KeyUp(WORD& key, unsigned shift);
    virtual void KeyPress(wchar_t& ch);
    virtual bool CanEditShow();
    virtual std::wstring GetEditMask(int col, int row);
    virtual int GetEditLimit();
    virtual std::unique_ptr<TInplaceEdit> CreateEditor();
    virtual void TopLeftChanged();
    // The keyboard focus went to a window outside the grid and its editor.
    virtual void FocusLeft(HWND newFocus);
    // The keys the grid claims from a dialog's navigation; Tab is decided apart (TabDialogCode).
    virtual UINT DialogCode();

    // The drawing state of the cell being drawn, as the grid prepared it.
    struct Canvas {
        COLORREF brush = 0;
        COLORREF pen = 0;
        COLORREF font = 0;
        int fontStyle = 0;  // fsBold | fsItalic | fsUnderline | fsStrikeOut
    } canvas_;
    // The grid's font with the given style, owned by the grid.
    HFONT StyledFont(int style);
    // Fills with the canvas brush and draws text the plain way, at 2,2 in the cell.
    void DrawPlainText(HDC dc, const RECT& rect, const std::wstring& text);
    bool Designing() const { return false; }
    // The editor keeps up with the current cell: created, moved, filled, or hidden.
    void UpdateEditor();
    bool HasFocusWithin() const;
    void HideEditorWindow();
    // A left-button drag over the cells ends here (a press that is not a selection).
    void StopSelecting() { selecting_ = false; }
    // A design length (96 DPI) in the window's pixels.
    int Scaled(int designPixels) const;

private:
    friend class TInplaceEdit;
    struct Axis;
    int ColLeft(int col) const;  // client x of the column's left edge; -1 when scrolled away
    int RowTop(int row) const;
    int LineWidth(bool fixed, bool vertical) const;
    void ClampTopLeft();
    void ScrollInView(int col, int row);
    void UpdateScrollBars();
    void OnScroll(bool vertical, int code);
    void EditorTextChanged();
    // Tab and Shift+Tab are the grid's only while they move to another cell inside it:
    // at the last cell (the first, going back), or without cell tabbing, they leave it.
    bool TabMovesWithin(bool backward) const;
    UINT TabDialogCode(UINT code, const MSG* message) const;
    void LeaveFocus(HWND newFocus);
    void MoveCurrent(int col, int row);
    void MoveAnchor(int col, int row);
    void PaintThroughBuffer(HDC target, const RECT& area);
    template <typename T>
    void Restyle(T& field, T value)
    {
        field = value;
        InvalidateGrid();
    }

    int colCount_ = 5, rowCount_ = 5, fixedCols_ = 1, fixedRows_ = 1;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24;
    std::vector<int> colWidths_;                         // one per column; -1 uses the default
    std::map<std::pair<int, int>, std::wstring> cells_;  // keyed (row, col): row order
    std::map<std::pair<int, int>, intptr_t> values_;
    int col_ = 1, row_ = 1, anchorCol_ = 1, anchorRow_ = 1;
    int topRow_ = 1, leftCol_ = 1;
    unsigned options_ = kDefaultGridOptions;
    GridScrollBars scrollBars_ = GridScrollBars::Both;
    bool defaultDrawing_ = true;
    COLORREF color_, fixedColor_, fontColor_;
    HFONT font_ = nullptr;
    std::map<int, FontHandle> styledFonts_;
    int updateCount_ = 0;
    bool selecting_ = false;  // a left-button drag over the cells
    bool editorMode_ = false;
    bool loadingEditor_ = false;
    bool focusLeaving_ = false;  // the focus is going elsewhere: hiding the editor must not take it back
    int editCol_ = -1, editRow_ = -1;
    std::wstring editOriginal_;
    std::unique_ptr<TInplaceEdit> editor_;
};

enum FontStyle : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
