// A child process for the tests of RunProgram: ends with the exit code it is given.
//   exitwith CODE                  ends at once with CODE
//   exitwith CODE STARTED RELEASE  sets the named event STARTED, waits for the named
//                                  event RELEASE, then ends with CODE
//   exitwith startup               ends with the show state it was started with
//                                  (wShowWindow, plus 0x10000 when STARTF_USESHOWWINDOW
//                                  is set)
//   exitwith folder                writes its current folder to standard output and
//                                  "error" to standard error, ends with 6
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 255;
    if (std::wcscmp(argv[1], L"startup") == 0) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ::GetStartupInfoW(&startup);
        return startup.wShowWindow | ((startup.dwFlags & STARTF_USESHOWWINDOW) ? 0x10000 : 0);
    }
    if (std::wcscmp(argv[1], L"folder") == 0) {
        wchar_t folder[MAX_PATH + 1] = L"";
        ::GetCurrentDirectoryW(MAX_PATH + 1, folder);
        std::printf("%ls\n", folder);
        std::fprintf(stderr, "error\n");
        return 6;
    }
    int code = static_cast<int>(std::wcstol(argv[1], nullptr, 10));
    if (argc >= 4) {
        HANDLE started = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[2]);
        HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, argv[3]);
        if (!started || !release) return 254;
        ::SetEvent(started);
        ::WaitForSingleObject(release, INFINITE);
        ::CloseHandle(started);
        ::CloseHandle(release);
    }
    return code;
}
