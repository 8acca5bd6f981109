// The current profile's settings and the program-wide settings: loaded from the
// settings store, converted from older values, and written back.
#include "core/Settings.h"

#include "core/ProfileNames.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Text.h"

std::wstring StoredProfileName()
{
    const std::wstring fallback = DefaultProfileName();
    std::wstring name = ReadRegString(kSystemKey, RegName::Profile, fallback);
    if (IsProfileName(name)) return name;
    ResetDamagedValue(
        kSystemKey, RegName::Profile,
        L"holds \"" + name + L"\", which cannot name a profile; the profile \"" + fallback + L"\" is used.");
    return fallback;
}

void LoadProfileSettings(TCurrentSettings& settings)
{
    const std::wstring profile = ProfileKey(settings);

    // Older versions kept the ISO choice as UseMKISOFS and had a parameter string.
    if (RegValueExists(profile, RegName::UseMKISOFS)) {
        bool useExternal = ReadRegBool(profile, RegName::UseMKISOFS, false);
        WriteRegBool(profile, RegName::UseExtProgram_ISO, useExternal);
        DeleteRegValue(profile, RegName::UseMKISOFS);
    }
    if (RegValueExists(profile, RegName::mkisofsParams)) DeleteRegValue(profile, RegName::mkisofsParams);

    settings.PEBuilder = ExcludeTrailingBackslash(ReadRegString(profile, RegName::PEBuilder, L""));
    settings.PEB_WAIT = ReadRegBool(profile, RegName::PEB_WAIT, false);
    settings.UseExtProgram_ISO = ReadRegBool(profile, RegName::UseExtProgram_ISO, false);
    settings.UseExtProgram_BLD = ReadRegBool(profile, RegName::UseExtProgram_BLD, false);
    settings.PEB_VER = static_cast<uint8_t>(ReadRegInteger(profile, RegName::PEB_VER, 0));
    settings.BuildParams = ReadRegString(profile, RegName::BuildParams, L"");
    settings.ISOParams = ReadRegString(profile, RegName::ISOParams, L"");
    settings.ExternalProgram = ReadRegString(profile, RegName::ExternalProgram, kDefaultExternalProgram);

    settings.PluginBuilder = ExcludeTrailingBackslash(ReadRegString(kSystemKey, RegName::PluginBuilder, L""));
    settings.TextEditor = ReadRegString(kSystemKey, RegName::TextEditor, L"");
    settings.PLB_WAIT = ReadRegBool(kSystemKey, RegName::PLB_WAIT, false);
    settings.TE_WAIT = ReadRegBool(kSystemKey, RegName::TE_WAIT, false);
}

MainWindowSettings LoadMainWindowSettings()
{
    const RegReadBatch batch;
    const MainWindowSettings d;
    auto colour = [](const wchar_t* name, uint32_t def) {
        return static_cast<uint32_t>(ReadRegInteger(kProgramKey, name, static_cast<int32_t>(def)));
    };
    MainWindowSettings s;
    s.SelectedBackColor = colour(RegName::SelectedBackColor, d.SelectedBackColor);
    s.UnselectedBackColor = colour(RegName::UnselectedBackColor, d.UnselectedBackColor);
    s.SelectedForeColor = colour(RegName::SelectedForeColor, d.SelectedForeColor);
    s.UnselectedForeColor = colour(RegName::UnselectedForeColor, d.UnselectedForeColor);
    s.BuildStyle = ReadRegInteger(kProgramKey, RegName::BuildStyle, d.BuildStyle);
    return s;
}

void SaveBuildStyle(bool custom) { WriteRegInteger(kProgramKey, RegName::BuildStyle, custom ? 1 : 0); }

void LoadCurrentProfile(TCurrentSettings& settings)
{
    const RegReadBatch batch;
    settings.ProfileKeySuffix = ProfileKeySuffixOf(StoredProfileName());
    LoadProfileSettings(settings);
}

std::optional<TCurrentSettings> LoadNamedProfile(const std::wstring& name)
{
    const RegReadBatch batch;
    const std::wstring profile = name.empty() ? StoredProfileName() : name;
    if (!IsProfileName(profile) || !RegSubKeyExists(kProfilesKey, profile)) return std::nullopt;
    TCurrentSettings settings;
    settings.ProfileKeySuffix = ProfileKeySuffixOf(profile);
    LoadProfileSettings(settings);
    return settings;
}

void SaveProgramSettings(const TCurrentSettings& s)
{
    const std::wstring profile = ProfileKey(s);
    WriteRegString(profile, RegName::PEBuilder, s.PEBuilder);
    WriteRegBool(profile, RegName::PEB_WAIT, s.PEB_WAIT);
    WriteRegBool(profile, RegName::UseExtProgram_ISO, s.UseExtProgram_ISO);
    WriteRegBool(profile, RegName::UseExtProgram_BLD, s.UseExtProgram_BLD);
    WriteRegInteger(profile, RegName::PEB_VER, s.PEB_VER);
    WriteRegString(profile, RegName::BuildParams, s.BuildParams);
    WriteRegString(profile, RegName::ISOParams, s.ISOParams);
    WriteRegString(profile, RegName::ExternalProgram, s.ExternalProgram);

    WriteRegString(kSystemKey, RegName::PluginBuilder, s.PluginBuilder);
    WriteRegString(kSystemKey, RegName::TextEditor, s.TextEditor);
    WriteRegBool(kSystemKey, RegName::PLB_WAIT, s.PLB_WAIT);
    WriteRegBool(kSystemKey, RegName::TE_WAIT, s.TE_WAIT);
}
