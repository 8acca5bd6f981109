// The command line's switches.
#include "app/CommandLine.h"

#include "core/Text.h"

namespace {

bool IsSwitch(std::wstring_view argument, std::wstring_view word)
{
    return !argument.empty() && (argument[0] == L'-' || argument[0] == L'/') && SameText(argument.substr(1), word);
}

// The unattended build's switches; those that take a value take the next argument.
enum class BuildSwitch { Help, Build, LastBuild, ProfileName, Custom, Skip, IsoOnly, None };
struct BuildSwitchWord {
    const wchar_t* word;
    BuildSwitch what;
};
const BuildSwitchWord kBuildSwitches[] = {
    {L"?", BuildSwitch::Help},
    {L"help", BuildSwitch::Help},
    {L"build", BuildSwitch::Build},
    {L"last-build", BuildSwitch::LastBuild},
    {L"profile-name", BuildSwitch::ProfileName},
    {L"custom", BuildSwitch::Custom},
    {L"skip", BuildSwitch::Skip},
    {L"iso-only", BuildSwitch::IsoOnly},
};

BuildSwitch BuildSwitchOf(std::wstring_view argument)
{
    for (const BuildSwitchWord& entry : kBuildSwitches)
        if (IsSwitch(argument, entry.word)) return entry.what;
    return BuildSwitch::None;
}

std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }

}  // namespace

bool FindCmdLineSwitch(const std::vector<std::wstring>& arguments, std::wstring_view word)
{
    for (size_t i = 1; i < arguments.size(); ++i)
        if (IsSwitch(arguments[i], word)) return true;
    return false;
}

bool HasBuildSwitches(const std::vector<std::wstring>& arguments)
{
    for (size_t i = 1; i < arguments.size(); ++i)
        if (BuildSwitchOf(arguments[i]) != BuildSwitch::None) return true;
    return false;
}

ParsedBuildSwitches ParseBuildSwitches(const std::vector<std::wstring>& arguments)
{
    ParsedBuildSwitches parsed;
    BuildRequest& request = parsed.request;
    bool build = false, profile = false;
    auto fail = [&](std::wstring error) {
        if (parsed.error.empty()) parsed.error = std::move(error);
    };
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        const BuildSwitch what = BuildSwitchOf(argument);
        std::wstring value;
        if (what == BuildSwitch::Build || what == BuildSwitch::ProfileName || what == BuildSwitch::Skip) {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
                fail(argument + L" needs a name after it.");
                continue;
            }
            value = arguments[++i];
        }
        switch (what) {
        case BuildSwitch::Help: request.help = true; break;
        case BuildSwitch::Build:
            if (build) fail(L"Only one preset can be built at a time: " + argument + L" " + Quoted(value) + L".");
            build = true;
            request.preset = value;
            break;
        case BuildSwitch::LastBuild:
            if (request.lastBuild) fail(argument + L" is given twice.");
            request.lastBuild = true;
            break;
        case BuildSwitch::ProfileName:
            if (profile) fail(L"Only one profile can be named: " + argument + L" " + Quoted(value) + L".");
            profile = true;
            request.profile = value;
            break;
        case BuildSwitch::Custom: request.custom = true; break;
        case BuildSwitch::Skip:
            request.custom = true;
            request.skips.push_back(value);
            break;
        case BuildSwitch::IsoOnly: request.isoOnly = true; break;
        case BuildSwitch::None: fail(L"Unknown argument " + Quoted(argument) + L"."); break;
        }
    }
    if (request.help) return {request, L""};
    if (build == request.lastBuild) fail(L"Name what to build: either /build PRESET or /last-build.");
    if (request.isoOnly && request.custom) fail(L"/iso-only makes the image the standard way: no /custom or /skip.");
    return parsed;
}

std::vector<std::wstring> BuildUsage()
{
    return {
        L"Kitwright.exe /build PRESET | /last-build [/profile-name PROFILE] [/custom] [/skip PART]... [/iso-only]",
        L"",
        L"Builds with PE Builder as the main window's build does, with no window and no question.",
        L"  /build PRESET          switch the plug-ins to the preset PRESET, then build",
        L"  /last-build            build the plug-ins as they are switched now, with input.inf as it is",
        L"  /profile-name PROFILE  the profile to use; without it, the current one",
        L"  /custom                the custom build style: every part of the version class runs",
        L"  /skip PART             in the custom style, leave out PART (and imply /custom); the parts are",
        L"                         build, iso (class 0); registry, files, iso (class 1); and cd (classes 2, 3)",
        L"  /iso-only              only make the ISO image of the last build output",
        L"  /? or /help            print this text",
        L"PE Builder is always waited for; its log is echoed while it runs, then the ISO program's output.",
        L"A second build of the same PE Builder folder waits until the first has ended.",
        L"Exit codes: 0 built (with the ISO image when asked for); 1 another error; 2 bad arguments;",
        L"  3 unknown profile or preset; 4 a check failed (PE Builder folder, output, source, install",
        L"  source, ISO folder, build output); 5 a plug-in file could not be switched; 6 PE Builder",
        L"  failed or was stopped; 7 the ISO step failed.",
        L"Lines go to the console the program was started from (start /wait Kitwright.exe ... in cmd),",
        L"or in UTF-8 to redirected output.",
    };
}

int ExitCodeOf(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Succeeded: return kExitSucceeded;
    case RunOutcome::CheckFailed: return kExitCheckFailed;
    case RunOutcome::PluginsNotSwitched: return kExitPluginsNotSwitched;
    case RunOutcome::PEBuilderFailed: return kExitPEBuilderFailed;
    case RunOutcome::IsoFailed: return kExitIsoFailed;
    case RunOutcome::Started:
    case RunOutcome::Declined: break;
    }
    return kExitFailed;
}
