// The remembered window place: stored states, centred defaults, what is written.
#include <gtest/gtest.h>

#include "ui/FormGeometry.h"

using Writes = std::vector<std::pair<std::wstring, int>>;

TEST(FormGeometry, OnlyOneAndTwoAreSpecialStates)
{
    EXPECT_EQ(FormStateFromStored(1), FormState::Maximised);
    EXPECT_EQ(FormStateFromStored(2), FormState::Minimised);
    for (int other : {0, 3, 5, -1, 0x7FFFFFFF}) EXPECT_EQ(FormStateFromStored(other), FormState::Normal) << other;
}

TEST(FormGeometry, CentredDefaultRoundsTowardZero)
{
    EXPECT_EQ(CentredOffset(768, 305), 231);
    EXPECT_EQ(CentredOffset(1024, 400), 312);
    // A window larger than the screen: -1.5 becomes -1, not -2.
    EXPECT_EQ(CentredOffset(600, 603), -1);
}

TEST(FormGeometry, NormalStateWritesAllFiveInTheWindowsOrder)
{
    NormalGeometry place{10, 20, 266, 392};
    EXPECT_EQ(GeometryWrites(FormState::Normal, place, GeometryOrder::PositionFirst),
              (Writes{{L"FormState", 0}, {L"Top", 10}, {L"Left", 20}, {L"Height", 266}, {L"Width", 392}}));
    EXPECT_EQ(GeometryWrites(FormState::Normal, place, GeometryOrder::SizeFirst),
              (Writes{{L"FormState", 0}, {L"Height", 266}, {L"Width", 392}, {L"Top", 10}, {L"Left", 20}}));
}

TEST(FormGeometry, MaximisedAndMinimisedWriteOnlyTheState)
{
    NormalGeometry place{10, 20, 266, 392};
    for (GeometryOrder order : {GeometryOrder::PositionFirst, GeometryOrder::SizeFirst}) {
        EXPECT_EQ(GeometryWrites(FormState::Maximised, place, order), (Writes{{L"FormState", 1}}));
        EXPECT_EQ(GeometryWrites(FormState::Minimised, place, order), (Writes{{L"FormState", 2}}));
    }
}
