// Starting other programs.
#include "core/Process.h"

#include <windows.h>

#include <vector>

#include "core/Handles.h"
#include "core/WinError.h"

uint32_t RunProgram(const std::wstring& commandLine, bool wait)
{
    // The child gets the show state and the like that this program was started with.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);

    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr,
                          &startup, &info))
        ThrowLastError(L"Cannot start the program " + commandLine);
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    if (!wait) return 0;

    // Blocks this thread, windows included, until the program ends.
    if (::WaitForSingleObject(process.Get(), INFINITE) == WAIT_FAILED)
        ThrowLastError(L"Cannot wait for the program " + commandLine);
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process.Get(), &exitCode))
        ThrowLastError(L"Cannot read the exit code of the program " + commandLine);
    return exitCode;
}
