// Driving a form of the program from the test's driver thread, as a user would:
// typing, clicking, reading texts, states and the focus.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <string>

#include "core/Messages.h"
#include "tests/support/DialogDriver.h"
#include "ui/Window.h"

inline std::wstring Text(HWND window)
{
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

// Replaces the control's text keystroke by keystroke.
inline void Type(HWND control, const std::wstring& text)
{
    ::SendMessageW(control, EM_SETSEL, 0, -1);
    ::SendMessageW(control, WM_CHAR, VK_BACK, 0);
    for (wchar_t c : text) ::SendMessageW(control, WM_CHAR, c, 0);
}

inline void Click(HWND button) { ::SendMessageW(button, BM_CLICK, 0, 0); }
inline bool IsChecked(HWND box) { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The focus in the thread that runs the window.
inline HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// KW_SHOW_MS keeps the form on screen that long before the test acts, for a screenshot.
inline void HoldForScreenshot()
{
    wchar_t ms[16] = {};
    if (::GetEnvironmentVariableW(L"KW_SHOW_MS", ms, 16)) ::Sleep(static_cast<DWORD>(std::wcstol(ms, nullptr, 10)));
}

// Runs a command that shows the form of windowClass modally; action drives that form
// from the driver thread, as a user would, and prompt answers the command's messages.
template <typename Form, typename Command>
void DriveCommandForm(const wchar_t* windowClass, UserPrompt& prompt, Command&& command,
                      const std::function<void(Form&)>& action)
{
    DialogDriver driver(windowClass, L"", [&](HWND window) {
        HoldForScreenshot();
        action(*dynamic_cast<Form*>(Window::FromHandle(window)));
    });
    ScopedPromptOverride scripted(prompt);
    command();
    EXPECT_TRUE(driver.Acted());
}
