// CurrentSettings: the in-memory settings of the current profile and the program-wide
// settings, shared by every window for the whole run.
#pragma once

#include <cstdint>
#include <string>

#include "core/Error.h"
#include "core/ProfileNames.h"

// The default command template of the external ISO program.
inline const std::wstring kDefaultExternalProgram =
    L"\"@PEBuilder@\\mkisofs.exe\" -iso-level 4 -volid \"ToviPE\" -A PEBUILDER/MKISOFS -sysid \"Win32\" "
    L"-b bootsect.bin -no-emul-boot -boot-load-size 4 -hide bootsect.bin -hide boot.catalog "
    L"-o \"@IsoFile@\" \"@OutDir@\"";

inline const std::wstring kSystemKey = L"Software\\Vesmor\\Kitwright\\System";
inline const std::wstring kProfilesKey = L"Software\\Vesmor\\Kitwright\\Profiles";

struct TCurrentSettings {
    std::wstring ProfileKeySuffix;  // "\" + profile name
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

    // "Software\Vesmor\Kitwright\Profiles" + ProfileKeySuffix. Throws while the suffix
    // names no profile: every write below would land on the Profiles key itself, or
    // on keys of another profile or preset.
    std::wstring ProfileKey() const
    {
        if (ProfileKeySuffix.empty() || ProfileKeySuffix[0] != L'\\' || !IsProfileName(ProfileKeySuffix.substr(1)))
            throw AppError(L"No profile is loaded: \"" + ProfileKeySuffix + L"\" does not name a profile key.");
        return kProfilesKey + ProfileKeySuffix;
    }
};

extern TCurrentSettings CurrentSettings;

// System\Profile when it names a profile. A stored text that cannot (empty, a
// backslash, too long) is reported once, naming it, and removed; the default profile
// (DefaultProfileName) stands in for it.
std::wstring StoredProfileName();

// Reads the profile named by CurrentSettings.ProfileKeySuffix and the program-wide
// values into CurrentSettings, converting the older UseMKISOFS value into
// UseExtProgram_ISO and dropping mkisofsParams on the way.
void LoadProfileSettings(TCurrentSettings& settings);
