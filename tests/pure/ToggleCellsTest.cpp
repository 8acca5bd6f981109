// Custom-build toggles: cells by version class, start values, flips, ranges, widths.
#include <gtest/gtest.h>

#include <climits>

#include "app/ToggleCells.h"

namespace {

std::vector<int> Values(const std::vector<ToggleCell>& cells)
{
    std::vector<int> values;
    for (const ToggleCell& cell : cells) values.push_back(cell.value);
    return values;
}

std::vector<std::wstring> Captions(const std::vector<ToggleCell>& cells)
{
    std::vector<std::wstring> captions;
    for (const ToggleCell& cell : cells) captions.push_back(cell.caption);
    return captions;
}

const ToggleCaptions kCaptions{L"B", L"R", L"F", L"I", L"C"};

TEST(ToggleCells, VersionClassesChooseTheCells)
{
    ToggleSource source{0, 0, 0, 0};
    EXPECT_EQ(Captions(LayoutToggles(0, source, kCaptions)), (std::vector<std::wstring>{L"B", L"I"}));
    EXPECT_EQ(Captions(LayoutToggles(1, source, kCaptions)), (std::vector<std::wstring>{L"R", L"F", L"I"}));
    EXPECT_EQ(Captions(LayoutToggles(2, source, kCaptions)), (std::vector<std::wstring>{L"R", L"F", L"I", L"C"}));
    EXPECT_EQ(Captions(LayoutToggles(255, source, kCaptions)), (std::vector<std::wstring>{L"R", L"F", L"I", L"C"}));
}

TEST(ToggleCells, SkipValuesAreInvertedAndTheBuildCellIsAlwaysOn)
{
    // registry off, files on, ISO on, CD off
    EXPECT_EQ(Values(LayoutToggles(3, {1, 0, 1, 0}, kCaptions)), (std::vector<int>{0, 1, 1, 0}));
    // An input.inf without the keys: registry and files on, ISO and CD off.
    EXPECT_EQ(Values(LayoutToggles(3, {}, kCaptions)), (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(Values(LayoutToggles(0, {1, 1, 0, 1}, kCaptions)), (std::vector<int>{1, 0}));
}

TEST(ToggleCells, OddStoredNumbersStayInOneByteWithoutOverflow)
{
    EXPECT_EQ(Values(LayoutToggles(3, {3, -1, 257, 2}, kCaptions)), (std::vector<int>{2, 2, 1, 2}));
    // |INT_MIN - 1| does not fit 32 bits; its low byte is still defined.
    EXPECT_EQ(Values(LayoutToggles(1, {INT_MIN, INT_MAX, -1, 0}, kCaptions)), (std::vector<int>{1, 0xFE, 0xFF}));
}

TEST(ToggleCells, FlipSwapsOnAndOff)
{
    EXPECT_EQ(FlipToggle(0), 1);
    EXPECT_EQ(FlipToggle(1), 0);
    EXPECT_EQ(FlipToggle(2), 1);  // not on before, not on after
    EXPECT_EQ(FlipToggle(FlipToggle(1)), 1);
}

TEST(ToggleCells, RangeTurnsOnExactlyItsColumns)
{
    EXPECT_EQ(TogglesForRange(4, 0, 2), (std::vector<int>{1, 1, 1, 0}));
    EXPECT_EQ(TogglesForRange(4, 1, 2), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(TogglesForRange(2, 1, 1), (std::vector<int>{0, 1}));
    EXPECT_EQ(TogglesForRange(3, 5, 6), (std::vector<int>{0, 0, 0}));
}

TEST(ToggleCells, GridWidthFollowsTheCellCount)
{
    EXPECT_EQ(ToggleGridWidth(2), 125);
    EXPECT_EQ(ToggleGridWidth(3), 186);
    EXPECT_EQ(ToggleGridWidth(4), 247);
    EXPECT_EQ(ButtonAfterGrid(4, 125), 133);
}

}  // namespace
