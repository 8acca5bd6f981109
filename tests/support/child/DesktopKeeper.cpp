// Holds a test prefix's desktop open for as long as the prefix serves tests (bin/desktopkeeper.exe,
// started by tests/harness/wine-run, ended with the prefix's server by wine-stop).
//
// Wine closes a desktop a second after its last user process has ended, and the next
// process that makes a window starts the desktop process anew and gives it ten seconds to
// come up. On a loaded machine it can take longer; the desktop window is then made
// without its process, and until that desktop closes no process can make a window
// (CreateWindowExW answers NULL, "The explorer process failed to start"). So the keeper
// starts the desktop process itself, waits for it without a time limit, says "ready" on
// standard output and then stays, a user of the desktop that never leaves.
#include <windows.h>

#include <cstdio>

int wmain()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION desktopProcess{};
    wchar_t commandLine[] = L"C:\\windows\\system32\\explorer.exe /desktop";
    if (!::CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &desktopProcess)) {
        std::printf("the desktop process did not start: error %lu\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(desktopProcess.hThread);
    // The desktop process waits for messages once its window is made and its display
    // driver loaded: the moment that Wine's own start waits for, here as long as it takes.
    if (::WaitForInputIdle(desktopProcess.hProcess, INFINITE) != 0) {
        std::printf("the desktop process ended before it was ready: error %lu\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(desktopProcess.hProcess);
    // The desktop window now belongs to the desktop process; the driver's device, which
    // every process that makes a window reads, is named on it.
    HWND desktop = ::GetDesktopWindow();
    DWORD owner = 0;
    ::GetWindowThreadProcessId(desktop, &owner);
    if (!owner || !::GetPropW(desktop, L"__wine_display_device_guid")) {
        std::printf("the desktop window has no display driver\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    ::Sleep(INFINITE);
    return 0;
}
