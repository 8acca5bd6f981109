// The key paths of the settings store, each composed here and nowhere else: the
// program key and the keys derived from it, a profile's key, its presets key, a
// preset's key and the preset's own PE Builder settings. Plain text joined with
// backslashes, free of <windows.h>.
#pragma once

#include <string>

#include "core/RegistryNames.h"

struct TCurrentSettings;

// Below HKEY_CURRENT_USER.
inline const std::wstring kProgramKey = L"Software\\Vesmor\\Kitwright";

// key + "\" + name: the key name one level below key.
inline std::wstring SubKeyPath(const std::wstring& key, const std::wstring& name) { return key + L"\\" + name; }

// Program-wide values.
inline const std::wstring kSystemKey = SubKeyPath(kProgramKey, RegName::System);
// One subkey per profile, named like it.
inline const std::wstring kProfilesKey = SubKeyPath(kProgramKey, RegName::Profiles);
// One subkey per running instance for what it holds for a moment, never among the profiles.
inline const std::wstring kTransientKey = SubKeyPath(kProgramKey, RegName::Transient);
// The single preset list of the layout from before profiles existed.
inline const std::wstring kOldPresetsKey = SubKeyPath(kProgramKey, RegName::Preset);
// Where earlier versions kept the preset editor's applied selection: among the profiles.
inline const std::wstring kOldAppliedKey = SubKeyPath(kProfilesKey, RegName::OldApplied);

// "\" + the profile's name, as CurrentSettings keeps it.
inline std::wstring ProfileKeySuffixOf(const std::wstring& profileName) { return L"\\" + profileName; }

// The key of the profile of that name. Throws AppError unless the name can stand for
// one profile key: an empty name would address the Profiles key itself, erasing or
// copying every profile with it, and a backslash would address keys below another.
std::wstring ProfileKey(const std::wstring& profileName);
// The key of the loaded profile, from the settings' suffix. Throws AppError while the
// suffix names no profile: every write below would land on the Profiles key itself,
// or on keys of another profile or preset.
std::wstring ProfileKey(const TCurrentSettings& settings);

// A profile's Preset key: the preset editor's place and one subkey per preset.
inline std::wstring PresetsKey(const std::wstring& profileKey) { return SubKeyPath(profileKey, RegName::Preset); }
std::wstring PresetsKey(const TCurrentSettings& settings);

// A preset's key, which holds its plug-in values.
inline std::wstring PresetKey(const std::wstring& profileKey, const std::wstring& presetName)
{
    return SubKeyPath(PresetsKey(profileKey), presetName);
}
std::wstring PresetKey(const TCurrentSettings& settings, const std::wstring& presetName);

// A preset's own copy of PE Builder's settings, below the preset's key.
inline std::wstring PresetSettingsKey(const std::wstring& presetKey)
{
    return SubKeyPath(presetKey, RegName::PresetSettings);
}
std::wstring PresetSettingsKey(const TCurrentSettings& settings, const std::wstring& presetName);
