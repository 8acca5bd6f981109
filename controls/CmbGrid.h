// The typed-cell grid: a string grid whose columns each have a cell kind (text with an
// input mask and number picture, combo with a drop-down list, push button, check box),
// with colour and font hooks for drawing and the stored form of its texts and kinds.
//
// Input masks are those of controls/EditMask.h, number pictures those of
// FormatNumber in controls/CellDescription.h; the grid passes both through unchanged.
// Button, check and drop-down faces are themed where visual styles are on and
// classic otherwise (controls/ThemedParts.h), like the path edit's button.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "controls/CellDescription.h"
#include "controls/StringGrid.h"

class TComboGrid;
class TComboInplaceEdit;

// The font a drawing hook may change: its colour and its style (FontStyle flags).
struct TCellFont {
    COLORREF Color = 0;
    int Style = 0;
};

using TEditCellDraw = std::function<void(TComboGrid& sender, int ACol, int ARow, COLORREF& AColor, TCellFont& AFont)>;
using TGridBtnClick = std::function<void(TComboGrid& sender, int ACol, int ARow)>;

// The width of the combo editor's drop-down button: a horizontal scroll bar's arrow.
int DropDownButtonWidth();

// The drop-down list of a combo cell: a top-level tool window, so that it can reach
// beyond the grid. It never takes the activation; the editor keeps the keyboard and
// hands it the keys the list needs.
class TInplaceListBox : public Window {
public:
    explicit TInplaceListBox(TComboInplaceEdit& editor) : editor_(editor) {}
    void Open();
    // Shows the list at the screen rectangle with the mouse captured, as a system
    // combo box's list: a click anywhere else closes it.
    void Drop(const RECT& place);
    void Close();
    TComboInplaceEdit& Editor() const { return editor_; }
    bool Visible() const { return Handle() && ::IsWindowVisible(Handle()); }
    void Clear();
    void Add(const std::wstring& item);
    int Count() const;
    int ItemIndex() const;
    void SetItemIndex(int index);
    std::wstring Item(int index) const;

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CopySelectionToEditor();
    void Pick();
    // A press on the list's scroll bar: the list's own tracking, then the capture again.
    void ScrollBarPress(UINT hit, POINT screen);
    TComboInplaceEdit& editor_;
    bool pressedInside_ = false;  // the left button went down on an item
    bool recapturing_ = false;
};

class TComboInplaceEdit : public TInplaceEdit {
public:
    explicit TComboInplaceEdit(TComboGrid& grid);
    ~TComboInplaceEdit() override;

    // Takes a copy of the column's kind; none makes it a text kind.
    void SetKind(const TCellKind* kind);
    const TCellKind& Kind() const { return kind_; }
    int ButtonDownX() const { return buttonDownX_; }
    TInplaceListBox* ListBox() const { return list_.get(); }
    bool ListVisible() const { return list_ && list_->Visible(); }
    void ToggleList();
    void HideList();
    // Called by the list after it closed itself.
    void ListClosed();
    // Keeps the text out from under the drop-down button.
    void ResetTextArea();
    TComboGrid& ComboGrid() const { return grid_; }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void KeyDown(WORD& key, unsigned shift) override;
    void KeyUp(WORD& key, unsigned shift) override;
    void FocusLost(HWND newFocus) override;
    void BoundsChanged() override { ResetTextArea(); }

private:
    bool IsCombo() const { return kind_.Kind == ckCombo; }
    void DrawButton(bool pressed);

    TComboGrid& grid_;
    TCellKind kind_;
    int buttonDownX_ = -1;
    std::unique_ptr<TInplaceListBox> list_;
};

class TComboGrid : public TStringGrid, private CellKindOwner {
public:
    TComboGrid();
    ~TComboGrid() override;

    // The kind of column col, made with the defaults when first asked for.
    TCellKind& CellKinds(int col);
    int CellKindCount() const { return static_cast<int>(kinds_.size()); }

    int PressedCol() const { return pressedCol_; }
    int PressedRow() const { return pressedRow_; }
    int PressState() const { return pressState_; }

    bool FocusCellDraw() const { return focusCellDraw_; }
    void SetFocusCellDraw(bool on);

    TEditCellDraw EditCellDraw;
    TEditCellDraw FixedCellDraw;
    TGridBtnClick OnGridBtnClick;
    std::function<void(TComboGrid& sender)> OnEditEnd;

    // The stored properties (their form in controls/CellDescription.h). Loading the
    // texts sets each named cell; loading the kinds replaces every kind.
    std::wstring CellData() const;
    void LoadCellData(std::wstring_view text);
    std::wstring CellKind() const;
    void LoadCellKind(std::wstring_view text);

    TComboInplaceEdit* ComboEditor() const;
    void RaiseGridBtnClick(int col, int row);

protected:
    void DrawCell(HDC dc, int col, int row, const RECT& rect, unsigned state) override;
    void Paint(HDC dc) override;
    void MouseDown(MouseButton button, unsigned shift, int x, int y) override;
    void MouseUp(MouseButton button, unsigned shift, int x, int y) override;
    void KeyDown(WORD& key, unsigned shift) override;
    void KeyUp(WORD& key, unsigned shift) override;
    void KeyPress(wchar_t& ch) override;
    bool CanEditShow() override;
    std::wstring GetEditMask(int col, int row) override;
    int GetEditLimit() override;
    std::unique_ptr<TInplaceEdit> CreateEditor() override;
    void FocusLeft(HWND newFocus) override;
    UINT DialogCode() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void MouseMove(unsigned shift, int x, int y) override;

private:
    void CellKindChanged() override { InvalidateGrid(); }
    bool IsPressable(int col) const;
    void DrawText(HDC dc, int col, int row, const RECT& rect, unsigned state);
    void DrawButton(HDC dc, const RECT& rect, const std::wstring& caption, bool pressed, bool focused);
    void DrawCheck(HDC dc, const RECT& rect, const TCellKind& kind, const std::wstring& text, bool pressed);
    void RedrawNow(int col, int row);
    // Ends a press without a click: the mouse went to another window.
    void CancelPress();
    // F4, Alt+Down or Alt+Up on a combo cell: the editor opens with its list toggled.
    bool DropDownKey(WORD key, bool alt);

    std::vector<std::unique_ptr<TCellKind>> kinds_;
    int pressedCol_ = -1, pressedRow_ = -1, pressState_ = 0;
    bool pressedInside_ = false;  // the pointer is over the pressed cell: it looks pressed
    bool focusCellDraw_ = true;
};
