// The program's own commands behind the main window's menus and buttons.
#include "app/MainCommands.h"

#include "app/FolderCommands.h"
#include "app/PresetCommands.h"
#include "app/PresetTransferCommands.h"
#include "dialogs/about1.h"
#include "dialogs/config.h"
#include "dialogs/config2.h"
#include "pebuilder/BuildRun.h"
#include "pebuilder/IsoRun.h"
#include "pebuilder/PluginSort.h"

MainCommands ProgramCommands()
{
    MainCommands commands;
    // The window shows each outcome's message itself as the run goes; it needs no more.
    commands.Build = [](const TCurrentSettings& settings, const RunInputs& inputs, UserPrompt& prompt) {
        Exec_PEBuilderExecute(settings, inputs, prompt);
    };
    commands.MakeIso = [](const TCurrentSettings& settings, const RunInputs& inputs, UserPrompt& prompt) {
        ISO_PEBuilderExecute(settings, true, inputs, prompt);
    };
    commands.OpenLog = O2Click;
    commands.AddPreset = Add_PresetExecute;
    commands.EditPreset = Edit_PresetExecute;
    commands.DeletePreset = Delete_PresetExecute;
    commands.ExportPreset = Export_PresetExecute;
    commands.ImportPreset = Import_PresetExecute;
    commands.OpenPEBuilderFolder = PEBuilderE1Click;
    commands.OpenPluginFolder = L1Click;
    commands.OpenSourceFolder = U1Click;
    commands.OpenBuildFolder = B1Click;
    commands.OpenIsoFolder = ISO1Click;
    commands.OpenCustomFolder = C1Click;
    commands.SortPlugins = [](const TCurrentSettings& settings, UserPrompt& prompt) {
        PluginSortClick(settings, prompt);
    };
    commands.PEBuilderSettings = P2Click;
    commands.ProgramSettings = P1Click;
    commands.Help = H2Click;
    commands.About = KitwrightA1Click;
    return commands;
}
