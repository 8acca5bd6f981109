// Shows the about box by itself, with the program's icon and its language file
// (showabout.rsl beside it), for the screenshot that scripts/screenshot takes.
#include <windows.h>
#include <commctrl.h>

#include "core/Language.h"
#include "dialogs/about1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    InitLanguageFilePath();
    LoadStringTableFromLanguageFile();
    KitwrightA1Click(nullptr);
    return 0;
}
