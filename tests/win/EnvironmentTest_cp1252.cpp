// Programs whose name ends in _cp1252 run with the ANSI code page of a Western Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Files.h"

TEST(Environment1252, AnsiCodePageIsWestern)
{
    EXPECT_EQ(::GetACP(), 1252u);
    EXPECT_EQ(WideToAnsi(L"é"), "\xE9");
}
