// The remembered window place: stored states, centred defaults, what is written, and
// how a stored place is made usable: design pixels at the DPI, sizes and the work area.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

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

TEST(FormGeometry, ClientSidesScaleFromDesignPixelsAndBackWithoutDrift)
{
    struct Case {
        int design, dpi, pixels;
    } cases[] = {{392, 96, 392}, {392, 144, 588}, {266, 144, 399}, {1, 144, 2}, {-7, 144, -11}, {266, 120, 333}};
    for (const Case& c : cases) {
        EXPECT_EQ(DesignToPixels(c.design, c.dpi), c.pixels) << c.design << " at " << c.dpi;
        EXPECT_EQ(PixelsToDesign(c.pixels, c.dpi), c.design) << c.pixels << " at " << c.dpi;
    }
    // Every size a user can drag to comes back within a pixel, and then stays.
    for (int dpi : {96, 120, 144, 192})
        for (int pixels = 0; pixels < 2000; ++pixels) {
            int once = static_cast<int>(DesignToPixels(PixelsToDesign(pixels, dpi), dpi));
            EXPECT_LE(std::abs(once - pixels), 1) << pixels << " at " << dpi;
            EXPECT_EQ(DesignToPixels(PixelsToDesign(once, dpi), dpi), once) << pixels << " at " << dpi;
        }
    EXPECT_EQ(DesignToPixels(0x7FFFFFFF, 144), 3221225471LL);  // no overflow
}

TEST(FormGeometry, StoredClientSizesBecomeUsable)
{
    const ClientSize room{1000, 700};
    struct Case {
        int width, height, dpi;
        ClientSize expected;
    } cases[] = {
        {392, 266, 96, {392, 266}},                       // as stored
        {392, 266, 144, {588, 399}},                      // design pixels at 150 %
        {150, 104, 96, {150, 104}},                       // small but usable
        {0, 0, 96, {392, 266}},                           // zero: the defaults
        {63, 31, 96, {392, 266}},                         // just below the minimum
        {64, 32, 96, {64, 32}},                           // the minimum
        {INT32_MIN, -5, 144, {588, 399}},                 // negative: the defaults
        {0x7FFFFFFF, 0x7FFFFFFF, 96, {1000, 700}},        // huge: the room
        {0x7FFFFFFF, 0x7FFFFFFF, 144, {1000, 700}},       // huge even scaled
        {900, 600, 144, {1000, 700}},                     // fits at 96, not at 150 %
    };
    for (const Case& c : cases)
        EXPECT_EQ(UsableClientSize(c.width, c.height, 392, 266, c.dpi, room), c.expected)
            << c.width << " x " << c.height << " at " << c.dpi;
}

TEST(FormGeometry, RestoredWindowsStayWholeOnTheWorkArea)
{
    const ScreenRect work{0, 0, 1024, 738};  // a task bar of 30 below
    struct Case {
        int left, top, width, height;
        ScreenPoint expected;
    } cases[] = {
        {100, 50, 400, 300, {100, 50}},                   // inside: unchanged
        {0x7FFFFFFF, 0x7FFFFFFF, 400, 300, {624, 438}},   // far right and below
        {INT32_MIN, INT32_MIN, 400, 300, {0, 0}},         // far left and above
        {-32000, -32000, 400, 300, {0, 0}},               // a minimised window's corner
        {900, 600, 400, 300, {624, 438}},                 // partly off: moved in
        {-10, 700, 400, 300, {0, 438}},                   // over the task bar
        {50, 50, 2000, 1000, {0, 0}},                     // larger than the area: its corner
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnWorkArea(c.left, c.top, c.width, c.height, work), c.expected) << c.left << ", " << c.top;
    // A work area that does not start at the origin (a second monitor, a task bar on top).
    EXPECT_EQ(OnWorkArea(0, 0, 400, 300, ScreenRect{1024, 30, 2048, 768}), (ScreenPoint{1024, 30}));
}
