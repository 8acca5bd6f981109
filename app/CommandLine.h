// The command line's switches: "-word" or "/word", compared without regard to case;
// and the switches of an unattended build, with their usage text and exit codes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pebuilder/RunOutcome.h"

// True when an argument other than the program's own path (arguments[0]) is the
// switch: "-" or "/" followed by exactly word. "-Install" is not the switch "I".
bool FindCmdLineSwitch(const std::vector<std::wstring>& arguments, std::wstring_view word);

// ---- Unattended builds ----------------------------------------------------------------

// What an unattended build is asked to do.
struct BuildRequest {
    bool help = false;                // /? or /help: the usage, nothing else
    bool lastBuild = false;           // /last-build: the last-build entry instead of a preset
    std::wstring preset;              // /build NAME
    std::wstring profile;             // /profile-name NAME; empty: the current profile
    bool custom = false;              // /custom, or any /skip: the custom build style
    std::vector<std::wstring> skips;  // /skip NAME, each a toggle that is off
    bool isoOnly = false;             // /iso-only: the ISO image of the last build output

    bool operator==(const BuildRequest&) const = default;
};

struct ParsedBuildSwitches {
    BuildRequest request;
    std::wstring error;  // why the arguments do not make a request; empty when they do
};

// True when an argument is one of the unattended build's switches: then the program
// builds with no window and ends with one of the exit codes below.
bool HasBuildSwitches(const std::vector<std::wstring>& arguments);
// Every argument must belong to the request: a switch with its value where it takes
// one (the next argument, whatever it begins with). Help makes any other argument moot.
ParsedBuildSwitches ParseBuildSwitches(const std::vector<std::wstring>& arguments);

// The lines that /? prints.
std::vector<std::wstring> BuildUsage();

// The exit codes of an unattended build; BuildUsage and the README list them.
enum BuildExitCode : int {
    kExitSucceeded = 0,     // PE Builder and the ISO step (when asked for) succeeded
    kExitFailed = 1,        // any other error (a file or setting that could not be read or written)
    kExitBadArguments = 2,  // the switches, or a /skip name the version class lacks
    kExitUnknownName = 3,   // no such profile or preset
    kExitCheckFailed = 4,   // a check before PE Builder or the ISO program started
    kExitPluginsNotSwitched = 5,
    kExitPEBuilderFailed = 6,  // did not start, a non-zero exit code, or a failure in its log's last line
    kExitIsoFailed = 7,        // the ISO program did not start or failed
};

// The exit code of a run's outcome. Started and Declined cannot end an unattended run,
// which waits for everything and asks nothing; they count as kExitFailed.
int ExitCodeOf(RunOutcome outcome);
