// The typed-cell grid: kinds per column, cell drawing by kind, pressed button and check
// cells, the keys that press them, and the rules for its in-place editor.
#include "controls/CmbGrid.h"

#include <algorithm>

#include "controls/ThemedParts.h"

namespace {

// Colours that the drawing of one cell changes and gives back.
class CanvasColours {
public:
    explicit CanvasColours(HDC dc) : dc_(dc), text_(::GetTextColor(dc)), back_(::GetBkColor(dc)) {}
    ~CanvasColours()
    {
        ::SetTextColor(dc_, text_);
        ::SetBkColor(dc_, back_);
    }
    CanvasColours(const CanvasColours&) = delete;
    CanvasColours& operator=(const CanvasColours&) = delete;

private:
    HDC dc_;
    COLORREF text_, back_;
};

void Fill(HDC dc, const RECT& rect, COLORREF colour)
{
    GdiObject brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, static_cast<HBRUSH>(brush.Get()));
}

// A one-pixel frame: topLeft on the top and left edges, bottomRight on the others.
void Frame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void Line(HDC dc, int width, COLORREF colour, POINT from, POINT to)
{
    GdiObject pen(::CreatePen(PS_SOLID, width, colour));
    SelectObjectScope selected(dc, pen.Get());
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
}

UINT DrawFlags(unsigned alignment)
{
    UINT flags = DT_NOPREFIX;
    if (alignment & caCenter) flags |= DT_CENTER;
    if (alignment & caRight) flags |= DT_RIGHT;
    if (alignment & caVCenter) flags |= DT_VCENTER;
    if (alignment & caBottom) flags |= DT_BOTTOM;
    if (alignment & caWordWrap) flags |= DT_WORDBREAK;
    return flags;
}

}  // namespace

int DropDownButtonWidth()
{
    static const int width = ScrollArrowWidth();
    return width;
}

TComboGrid::TComboGrid() = default;

TComboGrid::~TComboGrid()
{
    // The editor's copy of a kind and its list go with the editor, before the kinds.
    HideEditor();
}

TCellKind& TComboGrid::CellKinds(int col)
{
    col = std::max(col, 0);
    while (static_cast<int>(kinds_.size()) <= col)
        kinds_.push_back(std::make_unique<TCellKind>(static_cast<CellKindOwner*>(this)));
    return *kinds_[col];
}

void TComboGrid::SetFocusCellDraw(bool on)
{
    focusCellDraw_ = on;
    InvalidateGrid();
    if (Handle()) ::UpdateWindow(Handle());
}

TComboInplaceEdit* TComboGrid::ComboEditor() const { return static_cast<TComboInplaceEdit*>(InplaceEditor()); }

void TComboGrid::RaiseGridBtnClick(int col, int row)
{
    if (OnGridBtnClick) OnGridBtnClick(*this, col, row);
}

// ---- Stored form

std::wstring TComboGrid::CellData() const
{
    std::vector<CellText> cells;
    for (const auto& [at, text] : NonEmptyCells()) cells.push_back({at.first, at.second, text});
    return WriteCellData(cells);
}

void TComboGrid::LoadCellData(std::wstring_view text)
{
    std::vector<CellText> cells = ReadCellData(text);
    // One repaint for the lot: placing each cell's repaint costs a walk over the rows.
    BeginUpdate();
    for (const CellText& cell : cells) SetCells(cell.Col, cell.Row, cell.Text);
    EndUpdate();
}

std::wstring TComboGrid::CellKind() const
{
    std::vector<TCellKind> kinds;
    for (int col = 0; col < ColCount(); ++col)
        kinds.push_back(col < static_cast<int>(kinds_.size()) ? *kinds_[col] : TCellKind());
    return WriteCellKinds(kinds);
}

void TComboGrid::LoadCellKind(std::wstring_view text)
{
    std::vector<TCellKind> read = ReadCellKinds(text);  // a malformed text changes nothing
    HideEditor();
    kinds_.clear();
    for (const TCellKind& kind : read) {
        kinds_.push_back(std::make_unique<TCellKind>(static_cast<CellKindOwner*>(this)));
        *kinds_.back() = kind;
    }
    InvalidateGrid();
}

// ---- Drawing

void TComboGrid::DrawCell(HDC dc, int col, int row, const RECT& rect, unsigned state)
{
    if (::IsRectEmpty(&rect)) return;
    const Canvas saved = canvas_;
    CanvasColours colours(dc);
    if (DefaultDrawing()) {
        const TCellKind& kind = CellKinds(col);
        const bool textLike = kind.Kind == ckText || kind.Kind == ckCombo;
        if ((state & gdFixed) ? (row < FixedRows() || textLike) : textLike) {
            DrawText(dc, col, row, rect, state);
        } else {
            std::wstring caption = Cells(col, row);
            if (kind.Kind == ckButton && !kind.Items.empty() && kind.Items[0].Text != kUseCellData)
                caption = kind.Items[0].Text;
            const bool fixed = (state & gdFixed) != 0;
            const bool pressed = !fixed && col == pressedCol_ && row == pressedRow_ && pressedInside_;
            const bool focused = !fixed && (state & gdFocused);
            if (kind.Kind == ckButton) {
                DrawButton(dc, rect, caption, pressed, focused);
            } else {
                DrawCheck(dc, rect, kind, caption, pressed);
            }
        }
    }
    if (OnDrawCell) OnDrawCell(*this, col, row, rect, state, dc);
    canvas_ = saved;
}

void TComboGrid::DrawText(HDC dc, int col, int row, const RECT& rect, unsigned state)
{
    const TCellKind& kind = CellKinds(col);
    const bool fixed = (state & gdFixed) != 0;
    canvas_.pen = FontColor();
    COLORREF back = canvas_.brush;
    TCellFont font{canvas_.font, canvas_.fontStyle};
    if (fixed) {
        back = FixedColor();
        if (FixedCellDraw) FixedCellDraw(*this, col, row, back, font);
    } else if (EditCellDraw && !((state & gdSelected) && focusCellDraw_)) {
        font.Color = FontColor();
        canvas_.brush = Color();
        back = Color();
        EditCellDraw(*this, col, row, back, font);
    }
    canvas_.brush = back;
    canvas_.font = font.Color;
    canvas_.fontStyle = font.Style;
    Fill(dc, rect, back);
    ::SelectObject(dc, StyledFont(font.Style));
    ::SetTextColor(dc, font.Color);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextAlign(dc, TA_LEFT | TA_TOP);

    const std::wstring raw = Cells(col, row);
    std::wstring text = fixed ? raw : DisplayText(kind, raw);
    const unsigned alignment = fixed ? kind.FixedAlignment() : kind.Alignment();
    const UINT flags = DrawFlags(alignment);
    const int margin = Scaled(std::clamp(kind.Margin, 0, kMaxCellMargin));
    auto measure = [&](std::wstring_view shown) {
        RECT measured = rect;
        ::DrawTextW(dc, shown.data(), static_cast<int>(shown.size()), &measured, flags | DT_CALCRECT);
        return measured;
    };
    RECT measured = measure(ClipCellText(text));
    if (!fixed && ParseNumber(raw)) {
        const int room = TextRoom(rect.right - rect.left, alignment, margin);
        text = FitCellText(ClipCellText(text), true, measured.right - measured.left, room,
                           measure(L"#").right - measure(L"#").left);
        measured = measure(text);
    }
    std::wstring_view shown = ClipCellText(text);
    CellBox box = PlaceText(CellBox{rect.left, rect.top, rect.right, rect.bottom}, measured.right - measured.left,
                            measured.bottom - measured.top, alignment, margin);
    RECT target{box.left, box.top, box.right, box.bottom};
    ::DrawTextW(dc, shown.data(), static_cast<int>(shown.size()), &target, flags);
    ::SetTextAlign(dc, TA_LEFT | TA_TOP);
}

void TComboGrid::DrawButton(HDC dc, const RECT& rect, const std::wstring& caption, bool pressed, bool focused)
{
    ::SetBkMode(dc, TRANSPARENT);
    RECT face = rect;
    const bool themed = ThemedLook(Handle());
    if (focused && !themed) {
        Frame(dc, face, ::GetSysColor(COLOR_WINDOWFRAME), ::GetSysColor(COLOR_WINDOWFRAME));
        ::InflateRect(&face, -1, -1);
    }
    DrawPushFace(Handle(), dc, face, pressed);
    RECT inner = face;
    ::InflateRect(&inner, -Scaled(2), -Scaled(2));
    if (pressed && !themed) ::OffsetRect(&inner, 1, 1);

    std::wstring_view shown = ClipCellText(caption);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, shown.data(), static_cast<int>(shown.size()), &size);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const int x = (inner.left + inner.right) / 2 - size.cx / 2;
    const int y = inner.top + (inner.bottom - inner.top - metrics.tmHeight) / 2;
    // The caption is on a button face, selected or not: never the selection's text colour.
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &inner, shown.data(), static_cast<UINT>(shown.size()), nullptr);

    if (themed) return;
    const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    Line(dc, 1, highlight, POINT{rect.left, rect.bottom - 1}, POINT{rect.left, rect.top});
    Line(dc, 1, highlight, POINT{rect.left, rect.top}, POINT{rect.right, rect.top});
}

void TComboGrid::DrawCheck(HDC dc, const RECT& rect, const TCellKind& kind, const std::wstring& text, bool pressed)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT),
                   shadow = ::GetSysColor(COLOR_BTNSHADOW);
    Fill(dc, rect, face);
    RECT area = rect;
    Frame(dc, area, highlight, shadow);
    ::InflateRect(&area, -1, -1);
    Frame(dc, area, shadow, highlight);
    ::InflateRect(&area, -1, -1);

    // 13 x 13 at 96 DPI, from the centre - 6 to the centre + 7.
    const int size = Scaled(13);
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    RECT box{cx - (size - 1) / 2, cy - (size - 1) / 2, cx - (size - 1) / 2 + size, cy - (size - 1) / 2 + size};
    const CheckLook look = CheckLookOf(kind.Items, text);
    const CheckState state = look == CheckLook::Cross   ? CheckState::Checked
                             : look == CheckLook::Empty ? CheckState::Unchecked
                                                        : CheckState::Unmatched;
    if (DrawThemedCheck(Handle(), dc, box, state, pressed)) return;
    Fill(dc, box,
         pressed                        ? face
         : look == CheckLook::Unmatched ? ::GetSysColor(COLOR_GRAYTEXT)
                                        : ::GetSysColor(COLOR_WINDOW));
    Frame(dc, box, shadow, highlight);
    RECT inner = box;
    ::InflateRect(&inner, -1, -1);
    Frame(dc, inner, ::GetSysColor(COLOR_WINDOWFRAME), face);
    if (look != CheckLook::Cross) return;
    RECT cross = box;
    ::InflateRect(&cross, -1, -1);
    const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
    const int pen = Scaled(2);
    Line(dc, pen, ink, POINT{cross.left, cross.top}, POINT{cross.right - 1, cross.bottom - 1});
    Line(dc, pen, ink, POINT{cross.right - 1, cross.top}, POINT{cross.left, cross.bottom - 1});
}

void TComboGrid::Paint(HDC dc)
{
    TStringGrid::Paint(dc);
    const int kind = CellKinds(Col()).Kind;
    if (kind != ckButton && kind != ckCheck) return;
    // The current button or check cell never shows the selection look.
    RECT rect = CellRect(Col(), Row());
    if (::IsRectEmpty(&rect)) return;
    canvas_ = Canvas{Color(), FontColor(), FontColor(), 0};
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    ::SelectObject(dc, Font());
    DrawCell(dc, Col(), Row(), rect, 0);
    ::RestoreDC(dc, saved);
    // A pressed cell, and the current one while the grid has the focus, carry a focus rectangle.
    RECT focus = pressedCol_ >= 0 ? CellRect(pressedCol_, pressedRow_) : RECT{};
    if (::IsRectEmpty(&focus) && HasFocusWithin()) focus = rect;
    if (!::IsRectEmpty(&focus)) {
        ::InflateRect(&focus, -Scaled(3), -Scaled(3));
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
    }
}

void TComboGrid::RedrawNow(int col, int row)
{
    InvalidateCell(col, row);
    if (Handle()) ::UpdateWindow(Handle());
}

// ---- Mouse and keys

bool TComboGrid::IsPressable(int col) const
{
    if (col < 0 || col >= static_cast<int>(kinds_.size())) return false;  // default kinds are text
    const TCellKind& kind = *kinds_[col];
    return kind.Kind == ckButton || (kind.Kind == ckCheck && kind.Editable && (Options() & goEditing));
}

void TComboGrid::MouseDown(MouseButton button, unsigned shift, int x, int y)
{
    TStringGrid::MouseDown(button, shift, x, y);
    if (button != MouseButton::Left) return;
    int col, row;
    MouseToCell(x, y, col, row);
    pressedCol_ = pressedRow_ = -1;
    if (col < 0) return;
    RECT rect = CellRect(col, row);
    if (!::PtInRect(&rect, POINT{x, y}) || row < FixedRows() || !IsPressable(col)) return;
    pressedCol_ = col;
    pressedRow_ = row;
    pressedInside_ = true;
    pressState_ = col == Col() && row == Row() ? 2 : 0;
    // Like a push button: the grid keeps the mouse until the release, wherever it goes,
    // and a press is never the start of a drag selection.
    StopSelecting();
    ::SetCapture(Handle());
    RedrawNow(col, row);
}

void TComboGrid::MouseMove(unsigned shift, int x, int y)
{
    if (pressedCol_ >= 0 && (shift & ssLeft)) {
        RECT rect = CellRect(pressedCol_, pressedRow_);
        const bool inside = ::PtInRect(&rect, POINT{x, y}) != 0;
        if (inside != pressedInside_) {
            pressedInside_ = inside;  // dragged off the cell it looks released, back on pressed again
            RedrawNow(pressedCol_, pressedRow_);
        }
    }
    TStringGrid::MouseMove(shift, x, y);
}

void TComboGrid::CancelPress()
{
    if (pressedCol_ < 0) return;
    const int col = pressedCol_, row = pressedRow_;
    pressedCol_ = pressedRow_ = -1;
    RedrawNow(col, row);
}

void TComboGrid::MouseUp(MouseButton button, unsigned shift, int x, int y)
{
    // The press ends before the capture goes, so that losing it cancels nothing.
    const int pressedCol = button == MouseButton::Left ? pressedCol_ : -1, pressedRow = pressedRow_;
    if (button == MouseButton::Left) pressedCol_ = pressedRow_ = -1;
    TStringGrid::MouseUp(button, shift, x, y);
    if (button != MouseButton::Left) return;
    if (pressedCol >= 0 && ::GetCapture() == Handle()) ::ReleaseCapture();
    int col, row;
    MouseToCell(x, y, col, row);
    if (col >= 0 && CellKinds(col).Kind == ckCombo && ComboEditor()) ComboEditor()->ResetTextArea();
    if (pressedCol < 0) return;
    RedrawNow(pressedCol, pressedRow);
    RECT rect = CellRect(pressedCol, pressedRow);
    if (!::PtInRect(&rect, POINT{x, y})) return;
    const TCellKind& kind = CellKinds(pressedCol);
    if (kind.Kind == ckCheck) {
        SetCells(pressedCol, pressedRow, NextCheckValue(kind.Items, Cells(pressedCol, pressedRow)));
        RedrawNow(pressedCol, pressedRow);
    }
    RaiseGridBtnClick(pressedCol, pressedRow);
}

bool TComboGrid::DropDownKey(WORD key, bool alt)
{
    if (CellKinds(Col()).Kind != ckCombo) return false;
    if (!(key == VK_F4 && !alt) && !((key == VK_DOWN || key == VK_UP) && alt)) return false;
    ShowEditor();
    TComboInplaceEdit* editor = ComboEditor();
    if (!editor || !editor->Visible()) return false;
    ::SetFocus(editor->Handle());
    editor->ToggleList();
    return true;
}

void TComboGrid::KeyDown(WORD& key, unsigned shift)
{
    if (DropDownKey(key, (shift & ssAlt) != 0)) {
        key = 0;
        return;
    }
    const int kind = CellKinds(Col()).Kind;
    if (key == VK_SPACE && (kind == ckButton || kind == ckCheck)) {
        if (::GetKeyState(VK_LBUTTON) >= 0) {
            RECT rect = CellRect(Col(), Row());
            MouseDown(MouseButton::Left, shift, rect.left, rect.top);
        }
        key = 0;
        return;
    }
    TStringGrid::KeyDown(key, shift);
}

void TComboGrid::KeyUp(WORD& key, unsigned shift)
{
    const int kind = CellKinds(Col()).Kind;
    if (key == VK_SPACE && (kind == ckButton || kind == ckCheck)) {
        RECT rect = CellRect(Col(), Row());
        MouseUp(MouseButton::Left, shift, rect.left, rect.top);
        key = 0;
        return;
    }
    TStringGrid::KeyUp(key, shift);
}

void TComboGrid::KeyPress(wchar_t& ch)
{
    const int kind = CellKinds(Col()).Kind;
    if (ch == L'\r' && kind == ckButton) {
        RaiseGridBtnClick(Col(), Row());
        ch = 0;
        return;
    }
    if (ch == L' ' && (kind == ckButton || kind == ckCheck)) {
        ch = 0;  // pressed by the key itself
        return;
    }
    TStringGrid::KeyPress(ch);
}

UINT TComboGrid::DialogCode()
{
    UINT code = TStringGrid::DialogCode();
    if (CellKinds(Col()).Kind == ckButton) code |= DLGC_WANTALLKEYS;
    return code;
}

// ---- Editing

bool TComboGrid::CanEditShow()
{
    bool normal = TStringGrid::CanEditShow();
    TCellKind& kind = CellKinds(Col());
    if (ComboEditor()) ComboEditor()->SetKind(&kind);
    if (kind.Editable && (kind.Kind == ckText || kind.Kind == ckCombo))
        return normal ||
               (!EditorMode() && (Options() & (goEditing | goAlwaysShowEditor)) == (goEditing | goAlwaysShowEditor));
    HideEditorWindow();
    InvalidateCell(Col(), Row());
    return false;
}

std::wstring TComboGrid::GetEditMask(int col, int row)
{
    const TCellKind& kind = CellKinds(col);
    if (kind.Kind == ckText && !kind.Items.empty() && !kind.Items[0].Text.empty()) return kind.Items[0].Text;
    return TStringGrid::GetEditMask(col, row);
}

int TComboGrid::GetEditLimit()
{
    const TCellKind& kind = CellKinds(Col());
    return kind.Kind == ckText ? kind.MaxLength : TStringGrid::GetEditLimit();
}

std::unique_ptr<TInplaceEdit> TComboGrid::CreateEditor() { return std::make_unique<TComboInplaceEdit>(*this); }

void TComboGrid::FocusLeft(HWND newFocus)
{
    if (ComboEditor() && ComboEditor()->ListBox() && newFocus == ComboEditor()->ListBox()->Handle()) return;
    HideEditor();
}

LRESULT TComboGrid::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CANCELMODE:  // another window took the mouse: an open drop-down list closes
        if (ComboEditor()) ComboEditor()->HideList();
        CancelPress();
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != Handle()) CancelPress();
        break;
    case WM_SYSKEYDOWN:  // Alt+Down and Alt+Up come as system keys
        if (DropDownKey(static_cast<WORD>(wParam), true)) return 0;
        break;
    }
    return TStringGrid::OnMessage(message, wParam, lParam);
}
