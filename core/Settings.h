// The settings of the current profile and the program-wide settings: the in-memory
// copy every window shares for the whole run (CurrentSettings, made by the entry
// point), and its loading from and saving to the settings store.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/SettingsKeys.h"

// The default command template of the external ISO program.
inline const std::wstring kDefaultExternalProgram =
    L"\"@PEBuilder@\\mkisofs.exe\" -iso-level 4 -volid \"ToviPE\" -A PEBUILDER/MKISOFS -sysid \"Win32\" "
    L"-b bootsect.bin -no-emul-boot -boot-load-size 4 -hide bootsect.bin -hide boot.catalog "
    L"-o \"@IsoFile@\" \"@OutDir@\"";

struct TCurrentSettings {
    std::wstring ProfileKeySuffix;  // "\" + profile name (ProfileKeySuffixOf); ProfileKey(settings) is its key
    std::wstring PEBuilder;         // without trailing backslash
    bool PEB_WAIT = false;
    bool UseExtProgram_ISO = false;
    bool UseExtProgram_BLD = false;
    uint8_t PEB_VER = 0;
    std::wstring BuildParams;
    std::wstring ISOParams;
    std::wstring ExternalProgram = kDefaultExternalProgram;
    std::wstring PluginBuilder;  // without trailing backslash
    std::wstring TextEditor;
    bool PLB_WAIT = false;
    bool TE_WAIT = false;
};

// The main window's values on the program key: the toggle colours (only ever read;
// 0xFF000000 | n stands for the system colour n) and the build style it was left in.
struct MainWindowSettings {
    uint32_t SelectedBackColor = 0x1624E0, UnselectedBackColor = 0xFF000005;
    uint32_t SelectedForeColor = 0xFF000005, UnselectedForeColor = 0xFF000008;
    int32_t BuildStyle = 0;  // 0 standard, 1 custom; another value picks neither
};
MainWindowSettings LoadMainWindowSettings();
void SaveBuildStyle(bool custom);

// System\Profile when it names a profile. A stored text that cannot (empty, a
// backslash, too long) is reported once, naming it, and removed; the default profile
// (DefaultProfileName) stands in for it.
std::wstring StoredProfileName();

// Reads the profile named by settings.ProfileKeySuffix and the program-wide values
// into settings, converting the older UseMKISOFS value into UseExtProgram_ISO and
// dropping mkisofsParams on the way.
void LoadProfileSettings(TCurrentSettings& settings);

// The profile of System\Profile (StoredProfileName) made the settings' profile, and
// loaded as LoadProfileSettings does.
void LoadCurrentProfile(TCurrentSettings& settings);
// The profile named (an empty name: the current one) read as LoadProfileSettings reads
// it; nothing when no profile key has that name.
std::optional<TCurrentSettings> LoadNamedProfile(const std::wstring& name);

// Writes the profile's values, then the program-wide ones. A refused write throws
// AppError naming it.
void SaveProgramSettings(const TCurrentSettings& settings);
