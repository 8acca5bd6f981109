// The keyboard focus when a control goes away: a control that is disabled or hidden
// while it has the focus hands it on first, else the window's keys (Enter, Esc, Tab)
// would reach no control at all.
#pragma once

#include <windows.h>

// Enables or disables control; when it is disabled with the focus on it (or on a
// control inside it), the focus first moves as MoveFocusOff says.
void EnableControl(HWND control, bool enabled);

// When the focus is on control or inside it: moves it to the dialog's default button,
// or, when that is control itself or cannot take it, to the next control in tab order
// outside control.
void MoveFocusOff(HWND control);
