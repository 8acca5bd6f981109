// Starting the build's programs from a test and driving their windows.
#pragma once

#include <windows.h>

#include <string>

#include "core/Process.h"

// Starts the command line (the program path quoted by the caller) in folder, or in
// the current folder when folder is empty.
ChildProcess StartChild(const std::wstring& commandLine, const std::wstring& folder = L"");
// The exit code; a child still running after timeoutMs is killed and 0xDEAD returned.
DWORD WaitForExit(ChildProcess& child, DWORD timeoutMs = 20000);

// Closes every visible top-level window of the child (WM_CLOSE, as the close box does)
// until it has ended; its exit code, or 0xDEAD after timeoutMs.
DWORD CloseWindowsUntilExit(ChildProcess& child, DWORD timeoutMs = 20000);

// A visible top-level window of the process with that class ("#32770" for a message
// box or dialog), or nullptr when none appears within timeoutMs.
HWND WaitForWindow(DWORD processId, const wchar_t* className, DWORD timeoutMs = 20000);

// The text of a window of any process (WM_GETTEXT, which the system marshals).
std::wstring WindowText(HWND window);
// A message box's text (its static control 0xFFFF).
std::wstring MessageBoxText(HWND box);
