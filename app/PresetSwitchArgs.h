// The command line of the preset file switches, read without the system:
//   Kitwright.exe /export "Preset" "File" [/profile-name "Profile"]
//   Kitwright.exe /import "File" [/profile-name "Profile"] [/as "Name"] [/skip-missing]
// Switches are matched as the program's others are ("-" or "/", then the word without
// regard to case) and may come in any order; the arguments after a switch are its
// values whatever they look like.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Exit codes of the two switches; a script can tell each outcome apart. 0 to 3 mean what
// they mean for an unattended build (app/CommandLine.h); the file's own outcomes follow
// the build's codes, so that one number never means two things.
enum PresetSwitchExit : int {
    kPresetExitDone = 0,
    kPresetExitFailed = 1,           // anything else: the settings store, writing the file
    kPresetExitUsage = 2,            // the command line does not fit the syntax
    kPresetExitNoProfile = 3,        // /profile-name names no profile
    kPresetExitNoPreset = 3,         // /export names no preset of the profile
    kPresetExitNotPresetFile = 8,    // not a preset file, a later version's, damaged or unreadable
    kPresetExitMissingPlugins = 9,   // plug-ins missing and no /skip-missing, or nothing to import
    kPresetExitNameRefused = 10,     // the name is taken or cannot be a preset's; nothing imported
};

struct PresetSwitches {
    bool import = false;  // else export
    std::wstring preset;  // /export's preset
    std::wstring file;
    std::optional<std::wstring> profile;  // /profile-name; else the current profile
    std::optional<std::wstring> as;       // /as: the imported preset's name
    bool skipMissing = false;             // /skip-missing: import without what is missing

    bool operator==(const PresetSwitches&) const = default;
};

struct PresetSwitchParse {
    bool present = false;  // /export or /import is on the command line
    std::optional<PresetSwitches> switches;
    std::wstring error;  // when present but not valid: what does not fit
};
// arguments[0] is the program's own path.
PresetSwitchParse ParsePresetSwitches(const std::vector<std::wstring>& arguments);

// The syntax and the exit codes, one line each, for the console.
std::vector<std::wstring> PresetSwitchUsage();
