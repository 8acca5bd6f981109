// Display scaling: the DPI a window is drawn at, and design sizes in 96-DPI pixels
// scaled to it. Windows and controls lay out in design pixels and scale at this one place.
#pragma once

#include <windows.h>

// The DPI that `window` is drawn at. The program is system-DPI aware, so this is the
// screen's DPI, read once; `window` may be null.
int WindowDpi(HWND window);

// A length given in 96-DPI design pixels, at `dpi`, rounded to the nearest pixel.
inline int ScaleForDpi(int designPixels, int dpi) { return MulDiv(designPixels, dpi, 96); }

// The same length at the DPI of `window`.
inline int ScaleForWindow(int designPixels, HWND window) { return ScaleForDpi(designPixels, WindowDpi(window)); }
