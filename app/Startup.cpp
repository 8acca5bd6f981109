// Start-up: string table, command line, settings migration, profile chooser, main window.
#include "app/Startup.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/CommandLine.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/ProfileNames.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/PluginSort.h"
#include "pebuilder/PresetStore.h"

namespace {

// OLE for the process: the folder browser's new style and the WMI drive list need it.
class OleScope {
public:
    OleScope() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleScope()
    {
        if (initialised_) ::OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    bool initialised_;
};

}  // namespace

void ResetSettings()
{
    EraseRegKey(kProgramKey);
    MessageBoxPrompt(::GetActiveWindow()).Inform(Str(RS_501), kApplicationTitle);
}

void MigrateSingleProfileSettings()
{
    const std::wstring defaultProfile = DefaultProfileName();
    const std::wstring profile = ProfileKey(defaultProfile);

    std::wstring peBuilder = ExcludeTrailingBackslash(ReadRegString(kSystemKey, RegName::PEBuilder, L""));
    bool wait = ReadRegBool(kSystemKey, RegName::PEB_WAIT, false);
    bool useMkisofs = ReadRegBool(kSystemKey, RegName::UseMKISOFS, true);

    WriteRegString(profile, RegName::PEBuilder, peBuilder);
    WriteRegBool(profile, RegName::PEB_WAIT, wait);
    WriteRegBool(profile, RegName::UseMKISOFS, useMkisofs);
    MoveRegKey(kOldPresetsKey, PresetsKey(profile));
    for (const wchar_t* old : {RegName::PEBuilder, RegName::PEB_WAIT, RegName::RemoveFiles, RegName::UseMKISOFS})
        DeleteRegValue(kSystemKey, old);
    WriteRegString(kSystemKey, RegName::Profile, defaultProfile);
    WriteRegInteger(profile, RegName::PEB_VER, 0);
}

bool RunChooserStep(ProfileChooser& chooser)
{
    chooser.SetDoNotShowAtStart(!ReadRegBool(kSystemKey, RegName::ShowProfileList, false));
    bool proceed = chooser.ShowModal();
    if (proceed) WriteRegString(kSystemKey, RegName::Profile, chooser.SelectedProfile());
    WriteRegBool(kSystemKey, RegName::ShowProfileList, !chooser.DoNotShowAtStart());
    return proceed;
}

int RunStartup(const std::vector<std::wstring>& arguments, const StartupWindows& windows)
{
    // The texts come first, so that even the reset notice is in the user's language.
    RunCommand(nullptr, [] {
        InitLanguageFilePath();
        LoadStringTableFromLanguageFile();
    });

    if (FindCmdLineSwitch(arguments, L"I")) {
        RunCommand(nullptr, [] { ResetSettings(); });
        return 0;
    }

    bool proceed = RunCommand(nullptr, [] {
        if (!RegSubKeyExists(kProgramKey, RegName::Profiles)) MigrateSingleProfileSettings();
    });
    if (!proceed) return 0;
    // A preset editor's left-overs from a run that ended abnormally, before the profile
    // chooser could list one of them as a profile. A failure here is shown, not fatal.
    RunCommand(nullptr, [] { CleanUpTransientKeys(); });
    // Plug-in folders that a sort cut short by a kill left in its staging folder.
    RunCommand(nullptr, [] { ReturnInterruptedSorts(MoveFileOrFolder); });

    OleScope ole;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    // An error in this step ends start-up: it has been shown, and no main window opens,
    // also when the chooser had been cancelled before a save failed.
    bool chooserStepEnded = RunCommand(nullptr, [&] {
        bool showChooser =
            ReadRegBool(kSystemKey, RegName::ShowProfileList, false) || FindCmdLineSwitch(arguments, L"profile");
        if (showChooser && windows.createChooser) {
            std::unique_ptr<ProfileChooser> chooser = windows.createChooser();
            proceed = RunChooserStep(*chooser);
        }
    });
    if (chooserStepEnded && proceed && windows.runMainWindow) RunCommand(nullptr, windows.runMainWindow);
    return 0;
}
