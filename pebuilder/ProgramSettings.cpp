// The program settings dialog's rules, free of windows.
#include "pebuilder/ProgramSettings.h"

#include "core/Text.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/Installation.h"

namespace {

std::wstring FolderField(const std::wstring& text) { return ExcludeTrailingBackslash(Trim(text)); }

}  // namespace

ProgramSettingsFields FieldsFromSettings(const TCurrentSettings& s)
{
    ProgramSettingsFields f;
    f.PEBuilder = s.PEBuilder;
    f.PluginBuilder = s.PluginBuilder;
    f.TextEditor = s.TextEditor;
    f.PEB_WAIT = s.PEB_WAIT;
    f.PLB_WAIT = s.PLB_WAIT;
    f.TE_WAIT = s.TE_WAIT;
    f.UseExtProgram_ISO = s.UseExtProgram_ISO;
    f.UseExtProgram_BLD = s.UseExtProgram_BLD;
    f.PEB_VER = VersionClassOf(s.PEB_VER);
    f.BuildParams = s.BuildParams;
    f.ISOParams = s.ISOParams;
    f.ExternalProgram = s.ExternalProgram;
    return f;
}

bool CheckProgramSettings(ProgramSettingsFields& f, const FileTest& fileExists)
{
    f.PEBuilder = FolderField(f.PEBuilder);
    f.PluginBuilder = FolderField(f.PluginBuilder);
    f.TextEditor = Trim(f.TextEditor);
    // An empty folder would make the test ask about "\pebuilder.exe" on the current drive.
    if (f.PEBuilder.empty() || !fileExists(PEBuilderExePath(f.PEBuilder))) return false;
    if (f.PluginBuilder.empty() || !fileExists(PluginBuilderExePath(f.PluginBuilder))) f.PluginBuilder.clear();
    if (f.TextEditor.empty() || !fileExists(f.TextEditor)) f.TextEditor.clear();
    return true;
}

void ApplyProgramSettings(const ProgramSettingsFields& f, TCurrentSettings& s)
{
    s.PEBuilder = FolderField(f.PEBuilder);
    s.PEB_WAIT = f.PEB_WAIT;
    s.UseExtProgram_ISO = f.UseExtProgram_ISO;
    s.UseExtProgram_BLD = f.UseExtProgram_BLD;
    s.PEB_VER = static_cast<uint8_t>(VersionClassOf(f.PEB_VER));
    s.BuildParams = f.BuildParams;
    s.ISOParams = f.ISOParams;
    s.ExternalProgram = f.ExternalProgram;
    s.PluginBuilder = FolderField(f.PluginBuilder);
    s.TextEditor = Trim(f.TextEditor);
    s.PLB_WAIT = f.PLB_WAIT;
    s.TE_WAIT = f.TE_WAIT;
}

ExternalProgramState ExternalProgramStateOf(bool useForIso, bool useForBuild, bool waitChecked)
{
    bool external = useForIso || useForBuild;
    return {!external, external || waitChecked, external};
}

std::wstring FileDialogFilter(const std::wstring& filter)
{
    std::wstring result = filter;
    for (wchar_t& c : result)
        if (c == L'|') c = L'\0';
    result += L'\0';
    result += L'\0';
    return result;
}

std::wstring EditorDialogFolder(const std::wstring& path)
{
    std::wstring folder = ExtractFileDir(Trim(path));
    // "C:" alone names the drive's current folder, which the dialog would open in.
    if (!folder.empty() && folder.back() == L':') folder += L'\\';
    return folder;
}
