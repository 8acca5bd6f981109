// Profile names: what can be a key name of its own, and what the list already holds.
#include <gtest/gtest.h>

#include "core/ProfileNames.h"

TEST(ProfileNames, EmptyLongAndBackslashNamesAreInvalid)
{
    const std::vector<std::wstring> none;
    EXPECT_EQ(CheckProfileName(L"", none), ProfileNameCheck::Invalid);
    EXPECT_EQ(CheckProfileName(L"Work\\Sub", none), ProfileNameCheck::Invalid);
    EXPECT_EQ(CheckProfileName(L"\\", none), ProfileNameCheck::Invalid);
    EXPECT_EQ(CheckProfileName(std::wstring(256, L'x'), none), ProfileNameCheck::Invalid);
    EXPECT_EQ(CheckProfileName(std::wstring(255, L'x'), none), ProfileNameCheck::Ok);
    // A slash is an ordinary character of a key name; so is a Shift-JIS text whose
    // bytes hold 0x5C (ソ is 83 5C).
    EXPECT_EQ(CheckProfileName(L"Work/Sub", none), ProfileNameCheck::Ok);
    EXPECT_EQ(CheckProfileName(L"ソフト", none), ProfileNameCheck::Ok);
}

TEST(ProfileNames, ANameListedInAnyCaseExists)
{
    const std::vector<std::wstring> listed = {L"Work", L"デフォルト", L"ＡＢＣ", L"Temp"};
    EXPECT_EQ(CheckProfileName(L"work", listed), ProfileNameCheck::Exists);
    EXPECT_EQ(CheckProfileName(L"WORK", listed), ProfileNameCheck::Exists);
    EXPECT_EQ(CheckProfileName(L"デフォルト", listed), ProfileNameCheck::Exists);
    EXPECT_EQ(CheckProfileName(L"ａｂｃ", listed), ProfileNameCheck::Exists);
    EXPECT_EQ(CheckProfileName(L"temp", listed), ProfileNameCheck::Exists);
    EXPECT_EQ(CheckProfileName(L"Work2", listed), ProfileNameCheck::Ok);
    EXPECT_EQ(CheckProfileName(L"Wor", listed), ProfileNameCheck::Ok);
    // Invalid wins over a listed match: a bad name is never reported as taken.
    EXPECT_EQ(CheckProfileName(L"Work\\", {L"Work\\"}), ProfileNameCheck::Invalid);
}
