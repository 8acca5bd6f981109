// The rules of unattended builds that need no system: the switches, the named toggles,
// following a growing log and the build lock's name.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "pebuilder/BuildLock.h"
#include "pebuilder/BuildRules.h"
#include "pebuilder/LogFollow.h"

TEST(UnattendedRules, SwitchesMakeARequestOrSayWhatIsWrong)
{
    struct Case {
        std::vector<std::wstring> args;  // after the program's own path
        std::wstring error;              // a part of the error; empty: a request
        BuildRequest want;
    };
    const std::vector<Case> cases = {
        {{L"/build", L"Net"}, L"", {false, false, L"Net", L"", false, {}, false}},
        {{L"-BUILD", L"-odd name", L"/Profile-Name", L"Lab"},
         L"",
         {false, false, L"-odd name", L"Lab", false, {}, false}},
        {{L"/last-build", L"/skip", L"ISO", L"-skip", L"cd"},
         L"",
         {false, true, L"", L"", true, {L"ISO", L"cd"}, false}},
        {{L"/custom", L"/build", L"N"}, L"", {false, false, L"N", L"", true, {}, false}},
        {{L"/iso-only", L"/last-build"}, L"", {false, true, L"", L"", false, {}, true}},
        {{L"/x", L"/?"}, L"", {true, false, L"", L"", false, {}, false}},
        {{L"/HELP"}, L"", {true, false, L"", L"", false, {}, false}},
        {{L"/build"}, L"/build needs a name after it.", {}},
        {{L"/build", L""}, L"/build needs a name after it.", {}},
        {{L"/last-build", L"/skip"}, L"/skip needs a name", {}},
        {{L"/build", L"A", L"/build", L"B"}, L"Only one preset", {}},
        {{L"/build", L"A", L"/last-build"}, L"either /build PRESET or /last-build", {}},
        {{L"/custom"}, L"either /build PRESET or /last-build", {}},
        {{L"/last-build", L"/last-build"}, L"given twice", {}},
        {{L"/last-build", L"/profile-name", L"A", L"/profile-name", L"B"}, L"Only one profile", {}},
        {{L"/build", L"A", L"/iso-only", L"/skip", L"files"}, L"/iso-only makes the image", {}},
        {{L"/build", L"A", L"-profile"}, L"Unknown argument \"-profile\".", {}},
        {{L"/build", L"A", L"extra"}, L"Unknown argument \"extra\".", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> args{L"Kitwright.exe"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(testing::PrintToString(c.args));
        EXPECT_TRUE(HasBuildSwitches(args));
        const ParsedBuildSwitches parsed = ParseBuildSwitches(args);
        EXPECT_EQ(parsed.error.empty(), c.error.empty()) << testing::PrintToString(parsed.error);
        EXPECT_NE(parsed.error.find(c.error), std::wstring::npos) << testing::PrintToString(parsed.error);
        if (c.error.empty()) {
            EXPECT_EQ(parsed.request, c.want);
        }
    }
    // Without them the program starts as it always has: its own two switches are not among them.
    for (std::vector<std::wstring> args : {std::vector<std::wstring>{L"k.exe"},
                                           {L"k.exe", L"-profile"},
                                           {L"k.exe", L"/I"},
                                           {L"k.exe", L"build"},
                                           {L"k.exe", L"/builder"}})
        EXPECT_FALSE(HasBuildSwitches(args)) << testing::PrintToString(args);
}

TEST(UnattendedRules, SkippedTogglesAreOffAndTheRestOnByVersionClass)
{
    struct Case {
        int versionClass;
        std::vector<std::wstring> skipped;
        std::vector<int> cells;
        std::wstring unknown;
    };
    const std::vector<Case> cases = {
        {0, {}, {1, 1}, L""},
        {0, {L"BUILD"}, {0, 1}, L""},
        {0, {L"registry"}, {1, 1}, L"registry"},
        {1, {L"iso", L"Files"}, {1, 0, 0}, L""},
        {1, {L"cd"}, {1, 1, 1}, L"cd"},
        {2, {L"cd", L"registry"}, {0, 1, 1, 0}, L""},
        {3, {L"build"}, {1, 1, 1, 1}, L"build"},
        {7, {L"iso", L"iso"}, {1, 1, 0, 1}, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.versionClass);
        NamedToggles toggles = TogglesSkipping(c.versionClass, c.skipped);
        EXPECT_EQ(toggles.unknown, c.unknown);
        if (c.unknown.empty()) {
            EXPECT_EQ(toggles.cells, c.cells);
        }
        EXPECT_EQ(ToggleNames(c.versionClass).size(), c.cells.size());
    }
}

TEST(UnattendedRules, FollowingALogShowsEachNewLineOnce)
{
    // Looks at the file in order: its content then, whether the writer has ended,
    // and the lines that look shows.
    struct Look {
        std::string now;
        bool ended;
        std::vector<std::string> shown;
    };
    struct Case {
        const char* what;
        std::string before;
        std::vector<Look> looks;
    };
    const std::vector<Case> cases = {
        {"appended to an earlier run's log",
         "old\r\nDone.\r\n",
         {{"old\r\nDone.\r\n", false, {}},
          {"old\r\nDone.\r\nstart\r\nhal", false, {"start"}},
          {"old\r\nDone.\r\nstart\r\nhalf\r\n", false, {"half"}},
          {"old\r\nDone.\r\nstart\r\nhalf\r\nend", true, {"end"}}}},
        {"written afresh",
         "old\r\nDone.\r\n",
         {{"", false, {}}, {"new\r\n", false, {"new"}}, {"new\r\n\r\nlast\n", true, {"", "last"}}}},
        {"replaced by a shorter one that begins alike",
         "same\r\nold tail\r\n",
         {{"same\r\n", false, {"same"}}, {"same\r\nnew\r\n", true, {"new"}}}},
        {"no log before, one that never ends its last line",
         "",
         {{"a\r", false, {}}, {"a\r", true, {"a"}}, {"a\r", true, {}}}},
        {"Shift-JIS bytes kept as they are",
         "",
         {{"\x83\x5c\x83\x74\x83\x67\r\n", false, {"\x83\x5c\x83\x74\x83\x67"}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogFollower follower(c.before);
        for (const Look& look : c.looks) EXPECT_EQ(follower.Take(look.now, look.ended), look.shown) << look.now;
    }
}

TEST(UnattendedRules, OneLockNamePerFolderWhateverItsSpelling)
{
    const std::wstring name = BuildLockName(L"C:\\PE Builder\\Ｐｅ");
    EXPECT_TRUE(name.starts_with(L"Global\\Kitwright.Build.")) << testing::PrintToString(name);
    EXPECT_EQ(name.size(), std::wstring(L"Global\\Kitwright.Build.").size() + 16);
    EXPECT_EQ(BuildLockName(L"c:\\pe builder\\ｐｅ\\"), name);
    for (const wchar_t* other :
         {L"C:\\PE Builder", L"C:\\PE Builder\\Pe", L"D:\\PE Builder\\Ｐｅ", L"C:\\PE Builder\\Ｐｅ2"})
        EXPECT_NE(BuildLockName(other), name) << testing::PrintToString(std::wstring(other));
}
