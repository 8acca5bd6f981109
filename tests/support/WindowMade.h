// Whether a window that a test makes for itself was made, and if not the system's reason.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "core/WinError.h"

// Call it on CreateWindowExW's answer before anything else can change the thread's last
// error:  HWND owner = ::CreateWindowExW(...);  ASSERT_TRUE(WindowMade(owner));
inline ::testing::AssertionResult WindowMade(HWND window)
{
    const DWORD error = ::GetLastError();
    if (window) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window was not made: " << SystemMessage(error);
}
