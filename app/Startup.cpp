// Start-up: string table, command line, settings migration, profile chooser, main window.
#include "app/Startup.h"

#include <windows.h>
#include <commctrl.h>

#include <optional>

#include "app/CommandLine.h"
#include "app/PresetSwitches.h"
#include "app/UnattendedBuild.h"
#include "core/ConsolePrompt.h"
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

// Switch families that do their work with no window and end the program with an exit
// code of their own; each is found by its switches.
struct SwitchFamily {
    bool (*wanted)(const std::vector<std::wstring>& arguments);
    int (*run)(const std::vector<std::wstring>& arguments);
};
const SwitchFamily kSwitchFamilies[] = {
    // /profile-name belongs to both: the preset files' own switches are looked for first.
    {HasPresetSwitches, RunPresetSwitches},
    {HasBuildSwitches, RunUnattendedBuild},
};

const SwitchFamily* WantedFamily(const std::vector<std::wstring>& arguments)
{
    for (const SwitchFamily& family : kSwitchFamilies)
        if (family.wanted(arguments)) return &family;
    return nullptr;
}

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
    // A family of switches works with no window: every message is a console line, from
    // the language file's on. Its parser owns the whole command line, so an "/I" among
    // its values, or given beside it, never erases the settings of a scripted run.
    const SwitchFamily* family = WantedFamily(arguments);
    const bool reset = !family && FindCmdLineSwitch(arguments, L"I");
    ConsolePrompt console;
    std::optional<ScopedPromptOverride> toConsole;
    if (family) toConsole.emplace(console);

    // The texts come first, so that even the reset notice is in the user's language.
    RunCommand(nullptr, [] {
        InitLanguageFilePath();
        LoadStringTableFromLanguageFile();
    });

    if (reset) {
        RunCommand(nullptr, [] { ResetSettings(); });
        return 0;
    }

    bool proceed = RunCommand(nullptr, [] {
        if (!RegSubKeyExists(kProgramKey, RegName::Profiles)) MigrateSingleProfileSettings();
    });
    if (!proceed) return family ? kExitFailed : 0;
    // A preset editor's left-overs from a run that ended abnormally, before the profile
    // chooser could list one of them as a profile. A failure here is shown, not fatal.
    RunCommand(nullptr, [] { CleanUpTransientKeys(); });
    // Plug-in folders that a sort cut short by a kill left in its staging folder.
    RunCommand(nullptr, [] { ReturnInterruptedSorts(MoveFileOrFolder); });
    if (family) return family->run(arguments);

    // OLE is begun by the first command that needs it (EnsureOle).
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
