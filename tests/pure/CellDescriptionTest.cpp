// The typed-cell grid's portable half: stored texts and kinds, number pictures, check
// values, text placement and input masks.
#include <gtest/gtest.h>

#include "controls/CellDescription.h"
#include "controls/EditMask.h"
#include "core/Error.h"

namespace {

TCellKind ToggleKind()
{
    TCellKind kind;
    kind.SetFixedAlignment(18);
    kind.SetAlignment(18);
    kind.Items = {{L""}, {L""}};
    return kind;
}

struct CountingOwner : CellKindOwner {
    int changes = 0;
    void CellKindChanged() override { ++changes; }
};

}  // namespace

TEST(CellDescription, UntouchedKindsAreWrittenWithTheirDefaults)
{
    std::vector<TCellKind> kinds(2);
    EXPECT_EQ(WriteCellKinds(kinds), L"(0 17 17 0 0 2 0 True 0 17 17 0 0 2 0 True)");
    std::vector<TCellKind> back = ReadCellKinds(WriteCellKinds(kinds));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(back[1].SameFields(TCellKind()));
}

TEST(CellDescription, ToggleGridsKindsAndTextsRoundTrip)
{
    std::vector<TCellKind> kinds(4, ToggleKind());
    std::wstring stored = WriteCellKinds(kinds);
    EXPECT_EQ(stored.substr(0, 27), L"(0 18 18 2 '' '' 0 2 0 True");
    std::vector<TCellKind> back = ReadCellKinds(stored);
    ASSERT_EQ(back.size(), 4u);
    for (const TCellKind& kind : back) EXPECT_TRUE(kind.SameFields(ToggleKind()));

    std::vector<CellText> cells{{0, 0, L"Registry"}, {1, 0, L"Files"}, {2, 0, L" ISO"}, {3, 0, L"Burn CD"}};
    EXPECT_EQ(WriteCellData(cells), L"(0 0 'Registry' 1 0 'Files' 2 0 ' ISO' 3 0 'Burn CD')");
    EXPECT_EQ(ReadCellData(WriteCellData(cells)), cells);
}

TEST(CellDescription, CheckMarksQuotesAndLineBreaksSurvive)
{
    TCellKind check;
    check.Kind = ckCheck;
    check.Items = {{L"no", 0}, {L"yes", 1}};
    check.Editable = false;
    check.DropDownWidth = 7;
    TCellKind text;
    text.Items = {{L"it's"}, {L"a\r\nb )"}};
    text.MaxLength = 12;
    std::wstring stored = WriteCellKinds({check, text});
    EXPECT_EQ(stored.substr(0, 37), L"(3 17 17 2 'no' 0 'yes' 1 7 2 0 False");
    std::vector<TCellKind> back = ReadCellKinds(L"  \r\n" + stored + L"\n");
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(back[0].SameFields(check));
    EXPECT_TRUE(back[1].SameFields(text));
    EXPECT_TRUE(ReadCellKinds(L"(1 1 1 0 0 0 0 true)")[0].Editable);
}

TEST(CellDescription, MalformedListsAreRefusedNamingThePlace)
{
    for (const wchar_t* bad : {L"", L"0 0 'a'", L"(0 0 'a'", L"(0 0 'a) ", L"(0 x 'a')", L"(-1 0 'a')", L"(0 0)",
                               L"(0 0 'a') tail", L"(0 0 5)"}) {
        EXPECT_THROW(ReadCellData(bad), AppError) << bad;
    }
    EXPECT_THROW(ReadCellKinds(L"(4 17 17 0 0 2 0 True)"), AppError);  // no such kind
    EXPECT_THROW(ReadCellKinds(L"(0 256 17 0 0 2 0 True)"), AppError);
    EXPECT_THROW(ReadCellKinds(L"(0 17 17 1 0 2 0 True)"), AppError);  // the item is missing
    EXPECT_THROW(ReadCellKinds(L"(0 17 17 0 0 2 0 Yes)"), AppError);
    // Pixel sizes a screen cannot have: a margin of -2147483648 once overflowed the
    // text placement.
    for (const wchar_t* size : {L"(0 17 17 0 0 -2147483648 0 True)", L"(0 17 17 0 0 -1 0 True)",
                                L"(0 17 17 0 0 1001 0 True)", L"(0 17 17 0 -1 2 0 True)",
                                L"(0 17 17 0 10001 2 0 True)"})
        EXPECT_THROW(ReadCellKinds(size), AppError) << size;
    EXPECT_EQ(ReadCellKinds(L"(0 17 17 0 10000 1000 0 True)")[0].Margin, kMaxCellMargin);
    try {
        ReadCellData(L"(0 zero 'a')");
        FAIL();
    } catch (const AppError& e) {
        EXPECT_NE(e.Message().find(L"\"zero\""), std::wstring::npos);
        EXPECT_NE(e.Message().find(L"character 8"), std::wstring::npos);
    }
    EXPECT_TRUE(ReadCellData(L"( )").empty());
}

TEST(CellDescription, OwnerIsToldOfAlignmentChangesButNotCopied)
{
    CountingOwner owner;
    TCellKind owned(&owner);
    owned.SetAlignment(17);  // unchanged
    owned.SetAlignment(18);
    owned = ToggleKind();  // fixed alignment changes too
    EXPECT_EQ(owner.changes, 2);
    EXPECT_EQ(owned.Owner(), &owner);
    TCellKind copy(owned);
    EXPECT_EQ(copy.Owner(), nullptr);
    EXPECT_TRUE(copy.SameFields(owned));
}

TEST(NumberPicture, FormatsDigitsPointsAndGroups)
{
    EXPECT_EQ(FormatNumber(3.14159, L"0.00"), L"3.14");
    EXPECT_EQ(FormatNumber(2.675, L"0.00"), L"2.68");  // decimal rounding, not binary
    EXPECT_EQ(FormatNumber(1234567.5, L"#,##0.00"), L"1,234,567.50");
    EXPECT_EQ(FormatNumber(999.996, L"#,##0.00"), L"1,000.00");
    EXPECT_EQ(FormatNumber(0.5, L"#.##"), L".5");
    EXPECT_EQ(FormatNumber(0, L"#.##"), L"");
    EXPECT_EQ(FormatNumber(7, L"000"), L"007");
    EXPECT_EQ(FormatNumber(1.5, L"0.0##"), L"1.5");
    EXPECT_EQ(FormatNumber(-0.001, L"0.00"), L"0.00");  // no sign on a rounded zero
    EXPECT_EQ(FormatNumber(-2.5, L"0"), L"-3");
    EXPECT_EQ(FormatNumber(-2.5, L"0.0;(0.0);'nil'"), L"(2.5)");
    EXPECT_EQ(FormatNumber(0, L"0.0;(0.0);'nil'"), L"nil");
    EXPECT_EQ(FormatNumber(12, L"\"No. \"0\" pcs\""), L"No. 12 pcs");
    EXPECT_EQ(FormatNumber(1e20, L"0"), L"100000000000000000000");
    EXPECT_EQ(FormatNumber(1.23456789e-7, L"0.000000000"), L"0.000000123");
}

TEST(NumberPicture, OnlyNumbersAreFormatted)
{
    EXPECT_EQ(ParseNumber(L" -1.5e3 "), -1500.0);
    EXPECT_EQ(ParseNumber(L".5"), 0.5);
    EXPECT_EQ(ParseNumber(L"5."), 5.0);
    for (const wchar_t* no : {L"", L"abc", L"1,000", L"1e", L"--1", L".", L"1.2.3", L"1e999", L"0x10"})
        EXPECT_FALSE(ParseNumber(no)) << no;

    TCellKind kind;
    kind.Items = {{L""}, {L"0.00"}};
    EXPECT_EQ(DisplayText(kind, L"3.14159"), L"3.14");
    EXPECT_EQ(DisplayText(kind, L"pi"), L"pi");
    EXPECT_EQ(DisplayText(kind, L""), L"");
    kind.Kind = ckCombo;
    EXPECT_EQ(DisplayText(kind, L"3.14159"), L"3.14159");
}

TEST(CheckCells, LookAndClickCycle)
{
    std::vector<CellItem> items{{L"no", 0}, {L"yes", 1}};
    EXPECT_EQ(CheckLookOf(items, L"NO"), CheckLook::Cross);
    EXPECT_EQ(CheckLookOf(items, L"yes"), CheckLook::Empty);
    EXPECT_EQ(CheckLookOf(items, L"maybe"), CheckLook::Unmatched);
    EXPECT_EQ(NextCheckValue(items, L"No"), L"yes");
    EXPECT_EQ(NextCheckValue(items, L"yes"), L"no");
    EXPECT_EQ(NextCheckValue(items, L"maybe"), L"no");

    std::vector<CellItem> unmarked{{L"a", 0}, {L"b", 2}};
    EXPECT_EQ(NextCheckValue(unmarked, L"b"), L"b");  // nothing marked 1: stays
    EXPECT_EQ(NextCheckValue({}, L"x"), L"x");
}

TEST(TextPlacement, FlagsMoveTheTextBoxWithinTheCell)
{
    CellBox cell{10, 20, 70, 41};  // 60 x 21
    EXPECT_EQ(PlaceText(cell, 30, 13, caLeft | caVCenter, 2), (CellBox{12, 24, 70, 37}));
    EXPECT_EQ(PlaceText(cell, 30, 13, caCenter | caVCenter, 2), (CellBox{25, 24, 55, 37}));
    EXPECT_EQ(PlaceText(cell, 30, 13, caRight | caBottom, 3), (CellBox{37, 25, 67, 38}));
    EXPECT_EQ(PlaceText(cell, 30, 13, caTop, 2), (CellBox{10, 22, 70, 41}));
    EXPECT_EQ(PlaceText(cell, 80, 30, caCenter | caVCenter, 2), cell);  // too big: stays
    // A margin set in code beyond the bounds counts as the bound.
    EXPECT_EQ(PlaceText(cell, 30, 13, caLeft | caTop, INT32_MIN), (CellBox{10, 20, 70, 41}));
    EXPECT_EQ(PlaceText(cell, 30, 13, caLeft | caTop, INT32_MAX), (CellBox{1010, 1020, 70, 41}));

    std::wstring longText(300, L'x');
    EXPECT_EQ(ClipCellText(longText).size(), kCellTextBuffer);
    std::wstring pair = std::wstring(254, L'x') + L"\xD83D\xDE00";
    EXPECT_EQ(ClipCellText(pair).size(), 254u);
}

TEST(EditMask, TypingFillsPositionsAndInsertsLiterals)
{
    EXPECT_TRUE(MaskFits(L"000-0000", L"123-45"));
    EXPECT_FALSE(MaskFits(L"000-0000", L"12a"));
    EXPECT_FALSE(MaskFits(L"00", L"123"));
    EXPECT_TRUE(MaskFits(L"", L"anything"));
    EXPECT_TRUE(MaskFits(L"\\0L", L"0x"));

    auto typed = MaskTyped(L"000-0000", L"123", 3, 3, L'4');
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->text, L"123-4");
    EXPECT_EQ(typed->caret, 5u);
    EXPECT_FALSE(MaskTyped(L"000-0000", L"12", 2, 2, L'x'));
    EXPECT_FALSE(MaskTyped(L"00", L"12", 2, 2, L'3'));
    typed = MaskTyped(L"00", L"12", 0, 0, L'7');  // full: the key types over
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->text, L"72");
    typed = MaskTyped(L"LA", L"ab", 0, 2, L'Z');
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->text, L"Z");
}

TEST(TextPlacement, NumbersThatDoNotFitShowMarksNeverPartOfTheirDigits)
{
    EXPECT_EQ(TextRoom(60, caRight | caVCenter, 2), 58);  // the margin on the aligned side
    EXPECT_EQ(TextRoom(60, caCenter | caVCenter, 2), 60);
    EXPECT_EQ(TextRoom(1, caLeft, 2), 0);
    EXPECT_EQ(TextRoom(60, caRight, INT32_MIN), 60);
    // "1,234,567.50" is 70 pixels wide in a cell with room for 58, a '#' 7 wide.
    EXPECT_EQ(FitCellText(L"1,234,567.50", true, 70, 58, 7), L"########");
    EXPECT_EQ(FitCellText(L"1,234,567.50", true, 58, 58, 7), L"1,234,567.50");  // fits exactly
    EXPECT_EQ(FitCellText(L"-42", true, 30, 3, 7), L"#");                      // at least one mark
    EXPECT_EQ(FitCellText(L"not a number", false, 90, 58, 7), L"not a number");
}

TEST(DropDown, OpensBelowRightAlignedOrAboveWhenThereIsMoreRoom)
{
    const CellBox work{0, 0, 1024, 738};
    struct Case {
        CellBox anchor;
        int width, height;
        CellBox place;
    } cases[] = {
        {{100, 100, 160, 121}, 150, 90, {10, 121, 160, 211}},     // below, right edges aligned
        {{100, 700, 160, 721}, 150, 90, {10, 610, 160, 700}},     // near the bottom: above
        {{100, 300, 160, 321}, 150, 500, {10, 321, 160, 821}},    // too tall either way: more room below
        {{20, 100, 80, 121}, 150, 90, {0, 121, 150, 211}},        // pushed right onto the work area
        {{980, 100, 1040, 121}, 150, 90, {874, 121, 1024, 211}},  // pulled left onto it
        {{100, 100, 160, 121}, 2000, 90, {0, 121, 2000, 211}},    // wider than it: left edge kept
    };
    for (const Case& c : cases)
        EXPECT_EQ(DropDownPlace(c.anchor, c.width, c.height, work), c.place) << c.anchor.top << " " << c.height;
}
