// The command-line switch rule over any arguments: the program's own path never
// counts, the order and the letter case do not matter, and only "-word" or "/word"
// as a whole argument is the switch; the unattended build's switches parse to a
// request or an error.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/CommandLine.h"
#include "core/Text.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::wstring word = ConsumeText(in, 20);
    std::vector<std::wstring> arguments;
    while (in.remaining_bytes() > 0 && arguments.size() < 12) arguments.push_back(ConsumeText(in, 40));
    if (arguments.empty()) arguments.push_back(L"Kitwright.exe");

    const bool found = FindCmdLineSwitch(arguments, word);
    Require(FindCmdLineSwitch(arguments, UpperCase(word)) == found, "the word is compared without regard to case");

    std::vector<std::wstring> changed = arguments;
    changed[0] = L"-" + word;
    Require(FindCmdLineSwitch(changed, word) == found, "the program's own path is no switch");

    changed = arguments;
    std::reverse(changed.begin() + 1, changed.end());
    Require(FindCmdLineSwitch(changed, word) == found, "the position among the arguments does not matter");

    changed = arguments;
    changed.push_back(L"-" + word + L"x");
    changed.push_back(word);
    changed.push_back(L"--" + word);
    Require(FindCmdLineSwitch(changed, word) == found, "an argument that only begins with the switch does not count");

    changed.push_back(L"/" + UpperCase(word));
    Require(FindCmdLineSwitch(changed, word), "a slash and the word is the switch");

    // The unattended build's switches: a request names one thing to build, or there is an error.
    const ParsedBuildSwitches parsed = ParseBuildSwitches(arguments);
    if (parsed.error.empty() && !parsed.request.help)
        Require(parsed.request.lastBuild == parsed.request.preset.empty(), "one of /build and /last-build");
    Require(HasBuildSwitches(arguments) || !parsed.error.empty(), "no request without the switches");
    return 0;
}
