// The console of the command-line switches.
#include "core/Console.h"

#include <windows.h>

#include <string>

#include "core/Handles.h"

namespace {

struct ConsoleTarget {
    HANDLE handle = nullptr;  // where lines go; null: nowhere
    bool console = false;     // a console (WriteConsoleW), else a file or pipe (UTF-8)
    KernelHandle owned;       // the console's output opened after attaching, or the inheritable copy
};

bool IsUsable(HANDLE handle)
{
    if (!handle || handle == INVALID_HANDLE_VALUE) return false;
    // A GUI program may be handed stale values where it has no standard handles.
    ::SetLastError(NO_ERROR);
    return ::GetFileType(handle) != FILE_TYPE_UNKNOWN || ::GetLastError() == NO_ERROR;
}

ConsoleTarget Decide()
{
    ConsoleTarget target;
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (IsUsable(output)) {
        target.console = ::GetConsoleMode(output, &mode) != 0;
        // An inheritable copy: the ISO program writes through it after these lines.
        HANDLE copy = nullptr;
        if (!target.console && ::DuplicateHandle(::GetCurrentProcess(), output, ::GetCurrentProcess(), &copy, 0, TRUE,
                                                 DUPLICATE_SAME_ACCESS)) {
            target.owned.Reset(copy);
            target.handle = copy;
        } else {
            target.handle = output;
        }
        return target;
    }
    // Started from a console without redirection: a GUI program has none of its own.
    if (!::AttachConsole(ATTACH_PARENT_PROCESS) && ::GetLastError() != ERROR_ACCESS_DENIED) return target;
    HANDLE conout = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (conout == INVALID_HANDLE_VALUE) return target;
    target.owned.Reset(conout);
    target.handle = conout;
    target.console = true;
    return target;
}

ConsoleTarget& Target()
{
    static ConsoleTarget target = Decide();
    return target;
}

}  // namespace

void ConsoleLine(std::wstring_view line)
{
    ConsoleTarget& target = Target();
    if (!target.handle) return;
    std::wstring text(line);
    text += L"\r\n";
    DWORD written = 0;
    if (target.console) {
        ::WriteConsoleW(target.handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    // A reader that has gone (a closed pipe) loses the line; the work goes on.
    ::WriteFile(target.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

ConsoleSharing ConsoleForChildren()
{
    ConsoleTarget& target = Target();
    ConsoleSharing sharing;
    sharing.console = target.handle && target.console;
    if (target.handle && !target.console) sharing.output = target.handle;
    return sharing;
}
