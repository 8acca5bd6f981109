// Command-line switches.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

TEST(CommandLine, SwitchesMatchWholeWordsWithEitherMarkAnyCase)
{
    auto has = [](std::vector<std::wstring> args, const wchar_t* word) { return FindCmdLineSwitch(args, word); };
    EXPECT_TRUE(has({L"k.exe", L"-I"}, L"I"));
    EXPECT_TRUE(has({L"k.exe", L"/i"}, L"I"));
    EXPECT_TRUE(has({L"k.exe", L"x", L"/PROFILE"}, L"profile"));
    EXPECT_FALSE(has({L"k.exe", L"-Init"}, L"I"));
    EXPECT_FALSE(has({L"k.exe", L"-Install"}, L"I"));
    EXPECT_FALSE(has({L"k.exe", L"I"}, L"I"));
    EXPECT_FALSE(has({L"k.exe", L"-"}, L"I"));
    EXPECT_FALSE(has({L"-I"}, L"I"));  // the program's own path is no argument
    EXPECT_FALSE(has({}, L"I"));
}
