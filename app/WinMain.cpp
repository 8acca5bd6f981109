// Entry point of Kitwright.exe.
#include <windows.h>

#include "app/Startup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return RunStartup(); }
