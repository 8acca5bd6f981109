// CurrentSettings and the profile loader.
#include "core/Settings.h"

#include "core/Registry.h"
#include "core/Text.h"

TCurrentSettings CurrentSettings;

void LoadProfileSettings(TCurrentSettings& settings)
{
    const std::wstring profile = settings.ProfileKey();

    // Older versions kept the ISO choice as UseMKISOFS and had a parameter string.
    if (RegValueExists(profile, L"UseMKISOFS")) {
        bool useExternal = ReadRegBool(profile, L"UseMKISOFS", false);
        WriteRegBool(profile, L"UseExtProgram_ISO", useExternal);
        DeleteRegValue(profile, L"UseMKISOFS");
    }
    if (RegValueExists(profile, L"mkisofsParams")) DeleteRegValue(profile, L"mkisofsParams");

    settings.PEBuilder = ExcludeTrailingBackslash(ReadRegString(profile, L"PEBuilder", L""));
    settings.PEB_WAIT = ReadRegBool(profile, L"PEB_WAIT", false);
    settings.UseExtProgram_ISO = ReadRegBool(profile, L"UseExtProgram_ISO", false);
    settings.UseExtProgram_BLD = ReadRegBool(profile, L"UseExtProgram_BLD", false);
    settings.PEB_VER = static_cast<uint8_t>(ReadRegInteger(profile, L"PEB_VER", 0));
    settings.BuildParams = ReadRegString(profile, L"BuildParams", L"");
    settings.ISOParams = ReadRegString(profile, L"ISOParams", L"");
    settings.ExternalProgram = ReadRegString(profile, L"ExternalProgram", kDefaultExternalProgram);

    settings.PluginBuilder = ExcludeTrailingBackslash(ReadRegString(kSystemKey, L"PluginBuilder", L""));
    settings.TextEditor = ReadRegString(kSystemKey, L"TextEditor", L"");
    settings.PLB_WAIT = ReadRegBool(kSystemKey, L"PLB_WAIT", false);
    settings.TE_WAIT = ReadRegBool(kSystemKey, L"TE_WAIT", false);
}
