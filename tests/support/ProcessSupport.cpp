// Starting the build's programs from a test and driving their windows.
#include "tests/support/ProcessSupport.h"

#include <stdexcept>
#include <vector>

ChildProcess StartChild(const std::wstring& commandLine, const std::wstring& folder)
{
    return StartProcess(commandLine, ProcessOptions{folder, nullptr});
}

DWORD WaitForExit(ChildProcess& child, DWORD timeoutMs)
{
    if (::WaitForSingleObject(child.process.Get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(child.process.Get(), 0xDEAD);
        ::WaitForSingleObject(child.process.Get(), 5000);
        return 0xDEAD;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(child.process.Get(), &code);
    return code;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    wchar_t name[64];
    if (owner == search->processId && ::IsWindowVisible(window) && ::GetClassNameW(window, name, 64) &&
        std::wstring(name) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    do {
        WindowSearch search{processId, className, nullptr};
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        ::Sleep(50);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::wstring WindowText(HWND window)
{
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &copied);
    text.resize(copied);
    return text;
}

std::wstring MessageBoxText(HWND box) { return WindowText(::GetDlgItem(box, 0xFFFF)); }

namespace {

struct VisibleWindows {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisibleWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<VisibleWindows*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window)) search->windows.push_back(window);
    return TRUE;
}

}  // namespace

DWORD CloseWindowsUntilExit(ChildProcess& child, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(child.process.Get(), 200) != WAIT_OBJECT_0 && ::GetTickCount() - start < timeoutMs) {
        VisibleWindows search{child.id, {}};
        ::EnumWindows(CollectVisibleWindow, reinterpret_cast<LPARAM>(&search));
        for (HWND window : search.windows) ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return WaitForExit(child, 1);
}
