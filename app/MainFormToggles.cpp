// The main window's build styles and the custom-build toggle grid: drawing the cells
// on or off, and turning them on and off with the keyboard and the mouse.
#include "app/MainForm.h"

#include "app/ToggleCells.h"
#include "ui/Focus.h"

namespace {

// A colour as stored: 0xFF000000 | n is the system colour n, anything else RGB.
COLORREF Resolve(uint32_t colour)
{
    if ((colour & 0xFF000000u) == 0xFF000000u) return ::GetSysColor(static_cast<int>(colour & 0xFF));
    return static_cast<COLORREF>(colour & 0xFFFFFFu);
}

}  // namespace

// ---- Build styles ---------------------------------------------------------------------

bool TMain_Form::CustomStyle() const { return PanelShown(Pnl_Custom); }

void TMain_Form::N6Click()
{
    if (!MenuChecked(N6)) ShowBuildStyle(false);
}

void TMain_Form::C2Click()
{
    if (!MenuChecked(C2)) ShowBuildStyle(true);
}

void TMain_Form::ShowBuildStyle(bool custom)
{
    ::CheckMenuItem(B2, static_cast<UINT>(N6), MF_BYCOMMAND | (custom ? MF_UNCHECKED : MF_CHECKED));
    ::CheckMenuItem(B2, static_cast<UINT>(C2), MF_BYCOMMAND | (custom ? MF_CHECKED : MF_UNCHECKED));
    const Panel hidden = custom ? Pnl_Default : Pnl_Custom;
    // The keyboard focus must not stay behind in a panel that disappears.
    bool refocus = PanelHolds(hidden, ::GetFocus());
    ShowPanel(hidden, false);
    ShowPanel(custom ? Pnl_Custom : Pnl_Default, true);
    ISO_PEBuilder.SetEnabled(!custom);
    // The action does not know that PE Builder is missing; its button stays off then.
    if (!pebuilderPresent_) EnableControl(Button3, false);
    if (refocus) ::SetFocus(LB1);
    if (custom) FitCustomPanel();
}

// The build button follows the last toggle cell. Four cells and the button do not fit
// beside the exit button in the default client width, so the custom style widens a
// normal window until the button shows whole; the user may make it narrower again.
void TMain_Form::FitCustomPanel()
{
    if (!CustomStyle() || ::IsZoomed(Handle()) || ::IsIconic(Handle())) return;
    RECT client, button;
    ::GetClientRect(Handle(), &client);
    ::GetWindowRect(Button4, &button);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&button), 2);
    const int needed = button.right + Scaled(4) + PanelBox(Panel3).cx;
    if (client.right < needed) SetClientPixels(needed, client.bottom);
}

RunInputs TMain_Form::Inputs() const
{
    RunInputs inputs;
    inputs.SelectedIndex = SelectedIndex();
    inputs.SelectedText = SelectedText();
    inputs.CustomStyle = CustomStyle();
    for (int col = 0; col < CG01.ColCount(); ++col) inputs.Toggles.push_back(static_cast<int>(CG01.CellValue(col, 0)));
    return inputs;
}

// ---- Toggle drawing and input -------------------------------------------------------

void TMain_Form::CG_EditCellDraw(TComboGrid& sender, int ACol, int ARow, COLORREF& AColor, TCellFont& AFont)
{
    if (sender.Tag == 0) return;
    AFont.Style = ACol == sender.Col() && ::GetFocus() == sender.Handle() ? fsBold : 0;
    const bool on = sender.CellValue(ACol, ARow) == 1;
    AColor = Resolve(on ? SelectedBackColor : UnselectedBackColor);
    AFont.Color = Resolve(on ? SelectedForeColor : UnselectedForeColor);
}

void TMain_Form::FlipCurrentToggle()
{
    const int col = CG01.Col();
    CG01.SetCellValue(col, 0, FlipToggle(static_cast<int>(CG01.CellValue(col, 0))));
}

void TMain_Form::SetAllToggles(int value)
{
    CG01.BeginUpdate();
    for (int col = 0; col < CG01.ColCount(); ++col) CG01.SetCellValue(col, 0, value);
    CG01.EndUpdate();
}

void TMain_Form::ApplySelection()
{
    const GridRect selection = CG01.Selection();
    const std::vector<int> values = TogglesForRange(CG01.ColCount(), selection.Left, selection.Right);
    CG01.BeginUpdate();
    for (int col = 0; col < CG01.ColCount(); ++col) CG01.SetCellValue(col, 0, values[col]);
    CG01.EndUpdate();
}

void TMain_Form::CG01KeyDown(WORD& key, unsigned shift)
{
    if (key == VK_SPACE) {
        ToggleDragging = false;
        FlipCurrentToggle();
        key = 0;
    } else if (key == 'A') {
        if (shift & ssCtrl) SetAllToggles(1);
        key = 0;
    }
}

void TMain_Form::CG01KeyUp(WORD& key, unsigned shift)
{
    if ((key == VK_LEFT || key == VK_RIGHT) && (shift & ssShift)) ApplySelection();
}

void TMain_Form::CG01MouseDown(MouseButton button, unsigned shift)
{
    if (button != MouseButton::Left) return;
    if (shift & ssCtrl) {
        FlipCurrentToggle();
    } else {
        ToggleDragging = true;
    }
}

void TMain_Form::CG01MouseMove()
{
    if (ToggleDragging) ApplySelection();
}

void TMain_Form::CG01MouseUp(MouseButton button)
{
    if (button == MouseButton::Left) ToggleDragging = false;
}
