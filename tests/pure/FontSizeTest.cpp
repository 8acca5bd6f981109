// Font sizes from the language file, held to what a screen can show.
#include <gtest/gtest.h>

#include "core/FontSize.h"

TEST(FontSize, SizesOutsideTheRangeAreBoundedAndNonPositiveOnesGiveTheDefault)
{
    const int cases[][2] = {{9, 9}, {6, 6}, {72, 72}, {1, 6}, {73, 72}, {2147483647, 72}, {0, 10}, {-12, 10}};
    for (auto [size, expected] : cases) EXPECT_EQ(BoundedFontSize(size, 10), expected) << size;
}
