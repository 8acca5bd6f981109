// The two pages of the control gallery: each creates its controls as children of
// parent inside area, in the given font, and keeps them for the program's life.
#pragma once

#include <windows.h>

void CreateGridPage(HWND parent, const RECT& area, HFONT font);
void CreateEditPage(HWND parent, const RECT& area, HFONT font);
