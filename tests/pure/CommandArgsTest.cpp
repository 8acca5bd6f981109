// Command lines split as the C runtime splits them, arguments quoted for that split, and
// the file names that the plain form of a path takes for devices.
#include <gtest/gtest.h>

#include "core/CommandArgs.h"
#include "core/Text.h"

namespace {

std::vector<std::wstring> Values(std::wstring_view line)
{
    std::vector<std::wstring> values;
    for (const CommandLinePart& part : SplitCommandLine(line)) values.push_back(part.value);
    return values;
}

}  // namespace

TEST(CommandArgs, SplitFollowsTheRuntimesRules)
{
    const struct {
        std::wstring_view line;
        std::vector<std::wstring> values;
    } cases[] = {
        {L"", {}},
        {L"  \t ", {}},
        {L"p a  b\tc", {L"p", L"a", L"b", L"c"}},
        {L"\"C:\\My Tools\\\" x", {L"C:\\My Tools\\", L"x"}},  // the program knows no backslash rule
        {L"p \"a b\" c\"d e\"f", {L"p", L"a b", L"cd ef"}},
        {L"p a\\\\b \\\\\"x y\\\\\" \\\"", {L"p", L"a\\\\b", L"\\x y\\", L"\""}},
        {L"p \"a\\\"b\" \"\" \"x\"\"y\"", {L"p", L"a\"b", L"", L"x\"y"}},
        {L"p \"open", {L"p", L"open"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Values(c.line), c.values) << testing::PrintToString(std::wstring(c.line));
}

TEST(CommandArgs, QuotedArgumentsComeBackUnchanged)
{
    const struct {
        std::wstring_view argument;
        std::wstring_view plain, forced;
    } cases[] = {
        {L"a", L"a", L"\"a\""},
        {L"", L"\"\"", L"\"\""},
        {L"a b", L"\"a b\"", L"\"a b\""},
        {L"C:\\out\\", L"C:\\out\\", L"\"C:\\out\\\\\""},
        {L"C:\\My Out\\", L"\"C:\\My Out\\\\\"", L"\"C:\\My Out\\\\\""},
        {L"x\" -o \"y", L"\"x\\\" -o \\\"y\"", L"\"x\\\" -o \\\"y\""},
        {L"a\\\"b", L"\"a\\\\\\\"b\"", L"\"a\\\\\\\"b\""},
        {L"a\\\\b", L"a\\\\b", L"\"a\\\\b\""},
        {L"tab\there", L"\"tab\there\"", L"\"tab\there\""},
    };
    for (const auto& c : cases) {
        const std::string name = testing::PrintToString(std::wstring(c.argument));
        EXPECT_EQ(QuoteArgument(c.argument), c.plain) << name;
        EXPECT_EQ(QuoteArgument(c.argument, true), c.forced) << name;
        for (bool force : {false, true}) {
            const std::vector<std::wstring> back = Values(L"p " + QuoteArgument(c.argument, force) + L" next");
            EXPECT_EQ(back, (std::vector<std::wstring>{L"p", std::wstring(c.argument), L"next"})) << name;
        }
    }
}

TEST(CommandArgs, DeviceNamesOfThePlainForm)
{
    for (std::wstring_view name : {L"nul", L"NUL", L"aux.inf", L"prn.inf", L"com1.inf", L"LPT9", L"con.inf",
                                   L"conin$.inf", L"CONOUT$", L"con .inf", L"nul:", L"con.inf.kwtmp-1-2"})
        EXPECT_TRUE(IsDosDeviceName(name)) << testing::PrintToString(std::wstring(name));
    for (std::wstring_view name : {L"", L"null.inf", L"com0.inf", L"com10.inf", L"lpt.inf", L"xcon.inf", L"conin.inf",
                                   L"console.inf", L"a.con", L"com１.inf"})
        EXPECT_FALSE(IsDosDeviceName(name)) << testing::PrintToString(std::wstring(name));
}
