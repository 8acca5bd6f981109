// Text and path helpers.
#include <gtest/gtest.h>

#include "core/Text.h"

TEST(Text, TrimRemovesBlanksAndControlCharacters)
{
    EXPECT_EQ(Trim(L" \t\x01 a b \r\n"), L"a b");
    EXPECT_EQ(Trim(L""), L"");
    EXPECT_EQ(Trim(L" \t "), L"");
    EXPECT_EQ(Trim(L"　全角"), L"　全角");  // an ideographic space is text, not a blank
}

TEST(Text, CaseBlindComparisonFoldsLettersOnly)
{
    EXPECT_TRUE(SameText(L"PEBuilder", L"pebuilder"));
    EXPECT_TRUE(SameText(L"ÉTÉ", L"été"));
    EXPECT_TRUE(SameText(L"ＡＢＣ", L"ａｂｃ"));
    EXPECT_FALSE(SameText(L"ソ", L"ゾ"));
    EXPECT_FALSE(SameText(L"a", L"ab"));
    EXPECT_LT(CompareText(L"A", L"b"), 0);
    EXPECT_GT(CompareText(L"c", L"B"), 0);
    EXPECT_EQ(CompareText(L"Tools", L"tOOLS"), 0);
}

TEST(Text, ParseIntegerAcceptsDecimalAndThreeHexForms)
{
    EXPECT_EQ(ParseInteger(L"0x1F"), 31);
    EXPECT_EQ(ParseInteger(L"0X1F"), 31);
    EXPECT_EQ(ParseInteger(L"$1F"), 31);
    EXPECT_EQ(ParseInteger(L"-446"), -446);
    EXPECT_EQ(ParseInteger(L"+7"), 7);
    EXPECT_EQ(ParseInteger(L"2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseInteger(L"$FFFFFFFF"), -1);
    EXPECT_EQ(ParseInteger(L"$000000001F"), 31);  // leading zeros are no overflow
    EXPECT_EQ(ParseInteger(L"0x00000000FFFFFFFF"), -1);
    for (const wchar_t* bad : {L"", L"12abc", L"2147483648", L"0x", L"$", L"-", L" 1", L"1 ", L"0x123456789"})
        EXPECT_FALSE(ParseInteger(bad).has_value()) << bad;
}

TEST(Text, ReplaceAllTextIgnoresCaseAndKeepsTheRest)
{
    EXPECT_EQ(ReplaceAllText(L"\"@outdir@\" @OutDir@!", L"@OutDir@", L"C:\\o"), L"\"C:\\o\" C:\\o!");
    EXPECT_EQ(ReplaceAllText(L"none", L"@x@", L"y"), L"none");
    EXPECT_EQ(ReplaceAllText(L"@a@@a@", L"@a@", L""), L"");
}

TEST(Text, PathPieces)
{
    EXPECT_EQ(ExcludeTrailingBackslash(L"C:\\pe\\\\"), L"C:\\pe\\");
    EXPECT_EQ(IncludeTrailingBackslash(L"C:\\pe"), L"C:\\pe\\");
    EXPECT_EQ(IncludeTrailingBackslash(L"C:\\pe\\"), L"C:\\pe\\");
    EXPECT_EQ(ExtractFileDir(L"C:\\iso\\pe.iso"), L"C:\\iso");
    EXPECT_EQ(ExtractFileDir(L"pe.iso"), L"");
    EXPECT_EQ(ExtractFileDir(L"C:pe.iso"), L"C:");
    EXPECT_EQ(ExtractFileName(L"C:\\iso\\pe.iso"), L"pe.iso");
    EXPECT_EQ(ChangeFileExt(L"C:\\Tools\\Kitwright.exe", L".rsl"), L"C:\\Tools\\Kitwright.rsl");
    EXPECT_EQ(ChangeFileExt(L"C:\\v1.2\\Kitwright", L".rsl"), L"C:\\v1.2\\Kitwright.rsl");
}

TEST(Text, RelativePathBelowBaseAndAcrossDrives)
{
    const wchar_t* base = L"C:\\pebuilder\\plugin\\";
    EXPECT_EQ(RelativePath(L"C:\\pebuilder\\Plugin\\mytool", base), L"mytool\\");
    EXPECT_EQ(RelativePath(L"C:\\PEBUILDER\\Plugin\\net\\tools", base), L"net\\tools\\");
    EXPECT_EQ(RelativePath(L"C:\\pebuilder\\Plugin", base), L"");
    EXPECT_EQ(RelativePath(L"C:\\other\\x", base), L"..\\..\\other\\x\\");
    EXPECT_EQ(RelativePath(L"D:\\pebuilder\\plugin\\x", base), L"D:\\pebuilder\\plugin\\x\\");
}

TEST(Text, SplitLinesAtEveryLineEnd)
{
    auto lines = SplitLines(L"a\r\nb\nc\rd\r\n\r\ne");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3], L"d");
    EXPECT_EQ(lines[4], L"");
    EXPECT_EQ(lines[5], L"e");
    EXPECT_EQ(SplitLines(L"x\n").size(), 1u);
    EXPECT_TRUE(SplitLines(L"").empty());
}
