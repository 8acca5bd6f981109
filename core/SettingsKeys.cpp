// The key paths of a profile and its presets, checked before they are used.
#include "core/SettingsKeys.h"

#include "core/Error.h"
#include "core/ProfileNames.h"
#include "core/Settings.h"

std::wstring ProfileKey(const std::wstring& profileName)
{
    if (profileName.empty()) throw AppError(L"No profile is selected.");
    if (!IsProfileName(profileName)) throw AppError(L"\"" + profileName + L"\" does not name a profile key.");
    return SubKeyPath(kProfilesKey, profileName);
}

std::wstring ProfileKey(const TCurrentSettings& settings)
{
    const std::wstring& suffix = settings.ProfileKeySuffix;
    if (suffix.empty() || suffix[0] != L'\\' || !IsProfileName(std::wstring_view(suffix).substr(1)))
        throw AppError(L"No profile is loaded: \"" + suffix + L"\" does not name a profile key.");
    return ProfileKey(suffix.substr(1));
}

std::wstring PresetsKey(const TCurrentSettings& settings) { return PresetsKey(ProfileKey(settings)); }

std::wstring PresetKey(const TCurrentSettings& settings, const std::wstring& presetName)
{
    return PresetKey(ProfileKey(settings), presetName);
}

std::wstring PresetSettingsKey(const TCurrentSettings& settings, const std::wstring& presetName)
{
    return PresetSettingsKey(PresetKey(settings, presetName));
}
