// CurrentSettings and the profile loader.
#include "core/Settings.h"

#include "core/Registry.h"
#include "core/Text.h"

TCurrentSettings CurrentSettings;

void LoadProfileSettings(TCurrentSettings& settings)
{
    const std::wstring profile = settings.ProfileKey();

    // Older versions kept the ISO choice as UseMKISOFS and had a parameter string.
    if (RegValueExists(0, profile, L"UseMKISOFS")) {
        bool useExternal = ReadRegBool(0, profile, L"UseMKISOFS", false);
        WriteRegBool(0, profile, L"UseExtProgram_ISO", useExternal);
        DeleteRegValue(0, profile, L"UseMKISOFS");
    }
    if (RegValueExists(0, profile, L"mkisofsParams")) DeleteRegValue(0, profile, L"mkisofsParams");

    settings.PEBuilder = ExcludeTrailingBackslash(ReadRegString(0, profile, L"PEBuilder", L""));
    settings.PEB_WAIT = ReadRegBool(0, profile, L"PEB_WAIT", false);
    settings.UseExtProgram_ISO = ReadRegBool(0, profile, L"UseExtProgram_ISO", false);
    settings.UseExtProgram_BLD = ReadRegBool(0, profile, L"UseExtProgram_BLD", false);
    settings.PEB_VER = static_cast<uint8_t>(ReadRegInteger(0, profile, L"PEB_VER", 0));
    settings.BuildParams = ReadRegString(0, profile, L"BuildParams", L"");
    settings.ISOParams = ReadRegString(0, profile, L"ISOParams", L"");
    settings.ExternalProgram = ReadRegString(0, profile, L"ExternalProgram", kDefaultExternalProgram);

    settings.PluginBuilder = ExcludeTrailingBackslash(ReadRegString(0, kSystemKey, L"PluginBuilder", L""));
    settings.TextEditor = ReadRegString(0, kSystemKey, L"TextEditor", L"");
    settings.PLB_WAIT = ReadRegBool(0, kSystemKey, L"PLB_WAIT", false);
    settings.TE_WAIT = ReadRegBool(0, kSystemKey, L"TE_WAIT", false);
}
