// The build's decisions on the custom toggles and on PE Builder's log.
#include <gtest/gtest.h>

#include "pebuilder/BuildRules.h"

TEST(BuildRules, SkipBuildFollowsTheBuildOrTheRegistryAndFilesColumns)
{
    EXPECT_TRUE(SkipsBuild(0, {0, 1}));
    EXPECT_FALSE(SkipsBuild(0, {1, 0}));
    for (int cls = 1; cls <= 3; ++cls) {
        EXPECT_TRUE(SkipsBuild(cls, {0, 0, 1, 1})) << cls;
        EXPECT_FALSE(SkipsBuild(cls, {1, 0, 0, 0})) << cls;
        EXPECT_FALSE(SkipsBuild(cls, {0, 1, 0, 0})) << cls;
    }
    // Class 1 has no build column: its first cell is the registry.
    EXPECT_FALSE(SkipsBuild(1, {1, 0, 0}));
}

TEST(BuildRules, OnlyTheLastLogLineCountsAndTheMarkersAreCaseSensitive)
{
    EXPECT_TRUE(LogShowsSuccess({L""}));  // the log a skipped build leaves
    EXPECT_TRUE(LogShowsSuccess({L"Terminated by user...", L"Done."}));
    EXPECT_TRUE(LogShowsSuccess({L"[<<] earlier failure", L"Build finished"}));
    EXPECT_FALSE(LogShowsSuccess({}));
    EXPECT_FALSE(LogShowsSuccess({L"Start", L"12:00 Terminated by user... (Cancel)"}));
    EXPECT_FALSE(LogShowsSuccess({L"Start", L"[<<] Error copying files"}));
    EXPECT_TRUE(LogShowsSuccess({L"terminated by user..."}));
    EXPECT_TRUE(LogShowsSuccess({L"Terminated by user.."}));
    EXPECT_TRUE(LogShowsSuccess({L"[< <]"}));
}
