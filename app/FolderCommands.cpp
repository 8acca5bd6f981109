// The folder, log and help commands of the main window.
#include "app/FolderCommands.h"

#include "core/Files.h"
#include "core/Messages.h"
#include "core/Process.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/Installation.h"
#include "pebuilder/PluginTools.h"
#include "pebuilder/SettingsSource.h"

namespace {

SettingsSource SourceOf(const MainFormView& main, const TCurrentSettings& settings)
{
    return SettingsSource(settings, main.SelectedIndex(), main.SelectedText());
}

// A folder value such as "D:\" already ends in its backslash; a second one would name
// a different path to the shell.
void OpenFolder(const MainFormView& main, const std::wstring& folder)
{
    ShellOpen(main.Owner(), IncludeTrailingBackslash(folder));
}

// Opens folder when it names an existing folder, otherwise shows the message.
void OpenExistingFolder(const MainFormView& main, const std::wstring& folder, StringId missing)
{
    if (!folder.empty() && DirectoryExists(folder)) {
        OpenFolder(main, folder);
        return;
    }
    main.Prompt().Error(Str(missing));
}

}  // namespace

void PEBuilderE1Click(const MainFormView& main, const TCurrentSettings& settings)
{
    OpenFolder(main, settings.PEBuilder);
}

void L1Click(const MainFormView& main, const TCurrentSettings& settings)
{
    OpenFolder(main, settings.PEBuilder + L"\\plugin\\");
}

// The source and custom folders are used as stored, not resolved against any other
// folder.
void U1Click(const MainFormView& main, const TCurrentSettings& settings)
{
    OpenExistingFolder(main, SourceOf(main, settings).ReadString(L"source"), RS_018);
}

void C1Click(const MainFormView& main, const TCurrentSettings& settings)
{
    OpenExistingFolder(main, SourceOf(main, settings).ReadString(L"customdir"), RS_021);
}

// The folder the next build of the entry writes to, by the rules the build itself
// follows, so that the folder opened is the one that build would use.
void B1Click(const MainFormView& main, const TCurrentSettings& settings)
{
    const SettingsSource source = SourceOf(main, settings);
    OpenExistingFolder(main, EffectiveOutDir(source, settings.PEBuilder, settings.PEB_VER), RS_019);
}

// The image file's folder as stored, up to and including its last backslash or colon,
// not resolved against the PE Builder folder.
void ISO1Click(const MainFormView& main, const TCurrentSettings& settings)
{
    const std::wstring isoFile = SourceOf(main, settings).ReadString(L"isofile");
    const size_t cut = isoFile.find_last_of(L"\\:");
    OpenExistingFolder(main, cut == std::wstring::npos ? L"" : isoFile.substr(0, cut + 1), RS_020);
}

void O2Click(const MainFormView& main, const TCurrentSettings& settings)
{
    const std::wstring log = PEBuilderLogPath(settings.PEBuilder);
    if (!FileExists(log)) {
        main.Prompt().Error(Str(RS_022));
        return;
    }
    RunProgram(TextEditorCommandLine(settings.TextEditor, log), settings.TE_WAIT);
}

void H2Click(HWND owner)
{
    // A missing help file is the help system's to report.
    ::WinHelpW(owner, ChangeFileExt(ExecutablePath(), L".hlp").c_str(), HELP_FINDER, 0);
}
