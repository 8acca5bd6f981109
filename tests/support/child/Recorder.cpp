// Stands in, in the tests, for the programs the shell and the help system start on the
// program's behalf: the file browser (explorer.exe), the help viewer (winhlp32.exe), a
// web browser or a text editor. It appends one line to the file that the environment
// variable KW_RECORD names (UTF-8): its own file name, a tab, and what it was given.
//
//   any name       records its arguments as the command line holds them, and ends
//   winhlp32 -x    WinHelp starts the viewer so and then sends the request to its
//                  window: opens a window of the viewer's class, records the request
//                  as "HELP <command> <data> <help file>", and ends; after 30 s
//                  without a request it records "NO REQUEST"
// With KW_RECORD_ARGV set it records instead its arguments as the C runtime split
// them, each followed by U+001F.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

void Record(const std::wstring& what)
{
    wchar_t path[MAX_PATH * 2] = L"";
    if (!::GetEnvironmentVariableW(L"KW_RECORD", path, MAX_PATH * 2)) return;
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    const wchar_t* name = std::wcsrchr(self, L'\\');
    std::wstring line = std::wstring(name ? name + 1 : self) + L"\t" + what + L"\r\n";
    int size =
        ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes.data(), size, nullptr,
                          nullptr);
    HANDLE file = ::CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// The command line after the program's own name, as it was given.
std::wstring Arguments()
{
    const wchar_t* p = ::GetCommandLineW();
    bool quoted = false;
    for (; *p && (quoted || (*p != L' ' && *p != L'\t')); ++p) {
        if (*p == L'"') quoted = !quoted;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

// WinHelp's request as it arrives in WM_COPYDATA: a header, then the file name in the
// ANSI code page at ofsFilename.
#pragma pack(push, 1)
struct HelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD ofsFilename;
    WORD ofsData;
};
#pragma pack(pop)

LRESULT CALLBACK HelpWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::wstring what = L"HELP";
        if (copy->cbData >= sizeof(HelpRequest)) {
            auto* request = static_cast<const HelpRequest*>(copy->lpData);
            std::string file;
            if (request->ofsFilename && request->ofsFilename < copy->cbData)
                file.assign(static_cast<const char*>(copy->lpData) + request->ofsFilename,
                            strnlen(static_cast<const char*>(copy->lpData) + request->ofsFilename,
                                    copy->cbData - request->ofsFilename));
            wchar_t wide[MAX_PATH * 2] = L"";
            ::MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH * 2);
            what += L" " + std::to_wstring(request->command) + L" " + std::to_wstring(request->data) + L" " + wide;
        }
        Record(what);
        ::PostQuitMessage(0);
        return TRUE;
    }
    if (message == WM_TIMER) {
        Record(L"NO REQUEST");
        ::PostQuitMessage(1);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int ServeHelp()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HelpWindow;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"MS_WINHELP";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowW(L"MS_WINHELP", L"Help recorder", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window) return 2;
    ::SetTimer(window, 1, 30000, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    ::DestroyWindow(window);
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (::GetEnvironmentVariableW(L"KW_RECORD_ARGV", nullptr, 0)) {
        std::wstring split;
        for (int i = 1; i < __argc; ++i) split += std::wstring(__wargv[i]) + L'\x1f';
        Record(split);
        return 0;
    }
    const std::wstring arguments = Arguments();
    if (arguments == L"-x") return ServeHelp();
    Record(arguments);
    return 0;
}
