// Handing the focus on from a control that is about to be disabled or hidden.
#include "ui/Focus.h"

namespace {

bool Inside(HWND container, HWND window) { return window && (window == container || ::IsChild(container, window)); }

bool CanTakeFocus(HWND window) { return window && ::IsWindowVisible(window) && ::IsWindowEnabled(window); }

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK FindById(HWND child, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    if (::GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

// The default button, also when it sits inside a panel of the dialog.
HWND DefaultButtonOf(HWND dialog)
{
    LRESULT answer = ::SendMessageW(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(answer) != DC_HASDEFID) return nullptr;
    Search search{LOWORD(answer), nullptr};
    ::EnumChildWindows(dialog, FindById, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

void MoveFocusOff(HWND control)
{
    if (!control || !Inside(control, ::GetFocus())) return;
    HWND dialog = ::GetAncestor(control, GA_ROOT);
    if (!dialog || dialog == control) return;
    HWND next = DefaultButtonOf(dialog);
    if (!CanTakeFocus(next) || Inside(control, next)) {
        // The next tab stop; one that lies inside control too is no way out.
        next = nullptr;
        HWND first = ::GetNextDlgTabItem(dialog, control, FALSE);
        HWND candidate = first;
        for (int step = 0; candidate && step < 256; ++step) {
            if (!Inside(control, candidate)) {
                next = candidate;
                break;
            }
            candidate = ::GetNextDlgTabItem(dialog, candidate, FALSE);
            if (candidate == first) break;
        }
    }
    if (next)
        ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
    else
        ::SetFocus(dialog);
}

void EnableControl(HWND control, bool enabled)
{
    if (!enabled) MoveFocusOff(control);
    ::EnableWindow(control, enabled);
}
