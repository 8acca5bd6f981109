// The command line of the preset file switches: one table of command lines.
#include <gtest/gtest.h>

#include "app/PresetSwitchArgs.h"

TEST(PresetSwitchArgs, CommandLinesAndWhatTheyAsk)
{
    struct Case {
        std::vector<std::wstring> arguments;  // after the program's path
        bool present;
        std::optional<PresetSwitches> switches;  // nothing: refused
    };
    const Case cases[] = {
        {{}, false, std::nullopt},
        {{L"-profile"}, false, std::nullopt},
        {{L"/exports", L"a", L"b"}, false, std::nullopt},
        {{L"/export", L"Net", L"net.kwpreset"},
         true,
         PresetSwitches{false, L"Net", L"net.kwpreset", std::nullopt, std::nullopt, false}},
        {{L"-PROFILE-NAME", L"Lab", L"-Export", L"/I", L"-x"},
         true,
         PresetSwitches{false, L"/I", L"-x", L"Lab", std::nullopt, false}},
        {{L"/import", L"f", L"/as", L"New", L"/skip-missing"},
         true,
         PresetSwitches{true, L"", L"f", std::nullopt, L"New", true}},
        {{L"/import"}, true, std::nullopt},                                // no file
        {{L"/export", L"Net"}, true, std::nullopt},                        // no file
        {{L"/import", L""}, true, std::nullopt},                           // empty file
        {{L"/import", L"a", L"/import", L"b"}, true, std::nullopt},        // twice
        {{L"/import", L"a", L"/export", L"N", L"b"}, true, std::nullopt},  // both
        {{L"/export", L"N", L"b", L"/as", L"M"}, true, std::nullopt},      // import's switch
        {{L"/export", L"N", L"b", L"/skip-missing"}, true, std::nullopt},  // import's switch
        {{L"/import", L"a", L"/I"}, true, std::nullopt},                   // a switch of another kind
        {{L"/import", L"a", L"stray"}, true, std::nullopt},                // a word of no switch
        {{L"/import", L"a", L"/profile-name"}, true, std::nullopt},        // no profile
    };
    for (const Case& c : cases) {
        std::vector<std::wstring> arguments{L"Kitwright.exe"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const PresetSwitchParse parse = ParsePresetSwitches(arguments);
        const std::wstring line = c.arguments.empty() ? L"" : c.arguments[0] + L" ...";
        EXPECT_EQ(parse.present, c.present) << testing::PrintToString(line);
        EXPECT_EQ(parse.switches, c.switches) << testing::PrintToString(line);
        EXPECT_EQ(parse.error.empty(), !c.present || c.switches.has_value()) << testing::PrintToString(line);
    }
}
