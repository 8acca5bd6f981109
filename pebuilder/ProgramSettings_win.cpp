// The program settings written where they live: the profile's key, the program-wide
// key, and Plugin Builder's own INI file.
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "pebuilder/Installation.h"
#include "pebuilder/ProgramSettings.h"

void SaveProgramSettings(const TCurrentSettings& s)
{
    const std::wstring profile = s.ProfileKey();
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

    // Plugin Builder then edits the plug-ins of the installation just chosen.
    WritePluginBuilderSetting(s.PluginBuilder, kPluginPathKey, PluginFolderPath(s.PEBuilder));
}
