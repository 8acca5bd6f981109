// The console of the command-line switches.
#include "core/Console.h"

#include <windows.h>

#include <string>

#include "core/Handles.h"
#include "core/TextCodec.h"

namespace {

enum class Sink { Unknown, Redirected, Console, None };

// Decided at the first line: output a script redirected (a pipe or a file) takes the
// lines in UTF-8; a console the program was given, or else the parent's, takes them
// as text. A terminal that is not a console (Wine's, from a Unix shell) takes UTF-8.
Sink OutputSink(HANDLE& output)
{
    static Sink sink = Sink::Unknown;
    static HANDLE handle = nullptr;  // a standard handle, not this program's to close
    static FileHandle console;       // the parent's console, open for the whole run
    if (sink == Sink::Unknown) {
        handle = ::GetStdHandle(STD_OUTPUT_HANDLE);
        const DWORD type = handle && handle != INVALID_HANDLE_VALUE ? ::GetFileType(handle) : FILE_TYPE_UNKNOWN;
        DWORD mode = 0;
        if (type == FILE_TYPE_CHAR && ::GetConsoleMode(handle, &mode)) {
            sink = Sink::Console;
        } else if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) {
            sink = Sink::Redirected;
        } else if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
            console = FileHandle(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
            handle = console.Get();
            sink = console ? Sink::Console : Sink::None;
        } else {
            sink = Sink::None;
        }
    }
    output = handle;
    return sink;
}

}  // namespace

void ConsoleLine(std::wstring_view line)
{
    HANDLE output = nullptr;
    switch (OutputSink(output)) {
    case Sink::Redirected: {
        std::string bytes = WideToUtf8(line).value_or(WideToAnsi(line)) + "\r\n";
        DWORD written = 0;
        ::WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        break;
    }
    case Sink::Console: {
        std::wstring text = std::wstring(line) + L"\r\n";
        DWORD written = 0;
        ::WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        break;
    }
    default: break;
    }
}
