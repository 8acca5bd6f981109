// The faces the program's own controls draw for their buttons and check boxes: themed
// where visual styles are on, the classic look otherwise, so that both controls and the
// system's own controls beside them look alike.
#pragma once

#include <windows.h>

// A push button's face over r; the caller draws the caption or symbol on top.
void DrawPushFace(HWND window, HDC dc, const RECT& r, bool pressed);

// A combo box's drop-down button over r, its arrow included.
void DrawDropDownFace(HWND window, HDC dc, const RECT& r, bool pressed);

enum class CheckState { Unchecked, Checked, Unmatched };
// A check box of the size given (the classic box is 13 x 13 at 96 DPI) centred in r.
// Returns false when visual styles are off: the caller draws the classic box itself.
bool DrawThemedCheck(HWND window, HDC dc, const RECT& box, CheckState state, bool pressed);

// Whether the themed faces are drawn for this window.
bool ThemedLook(HWND window);

// The width of a horizontal scroll bar's arrow, the width of the controls' small
// buttons, at the DPI of the program's windows.
int ScrollArrowWidth();
