// The DPI a window of the program is drawn at.
#include "ui/Dpi.h"

int WindowDpi(HWND) {
    // System-DPI aware: every window of the process shares the DPI the session had when
    // the process started. Asked once; a screen DC is cheap but not free.
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int value = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
        if (screen) ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}
