// The test environment itself: the prefix runs with the ANSI code page of a Japanese
// Windows and its own registry.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Files.h"

TEST(Environment, AnsiCodePageIsJapanese)
{
    EXPECT_EQ(::GetACP(), 932u);
    // "ソ" is 0x83 0x5C in Shift-JIS: its trail byte is a backslash.
    EXPECT_EQ(WideToAnsi(L"ソ"), "\x83\x5C");
    EXPECT_EQ(AnsiToWide("\x83\x5C"), L"ソ");
}
