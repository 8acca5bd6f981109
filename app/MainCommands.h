// The commands the main window's menus and buttons start, each taking its inputs as
// arguments. The program fills them with its real commands; tests pass their own.
// A command left empty makes its item do nothing.
#pragma once

#include <windows.h>

#include <functional>

#include "core/Settings.h"
#include "dialogs/MainFormView.h"
#include "pebuilder/RunInputs.h"

class UserPrompt;

struct MainCommands {
    using ViewCommand = std::function<void(MainFormView&, const TCurrentSettings&)>;
    using FolderCommand = std::function<void(const MainFormView&, const TCurrentSettings&)>;

    // File menu and the build buttons.
    std::function<void(const TCurrentSettings&, const RunInputs&, UserPrompt&)> Build, MakeIso;
    FolderCommand OpenLog;
    // Edit menu and the preset buttons.
    ViewCommand AddPreset, EditPreset, DeletePreset;
    // Edit menu: preset files.
    ViewCommand ExportPreset, ImportPreset;
    // Folders menu.
    FolderCommand OpenPEBuilderFolder, OpenPluginFolder, OpenSourceFolder, OpenBuildFolder, OpenIsoFolder,
        OpenCustomFolder;
    // Options menu; the two settings commands answer whether the user accepted.
    std::function<void(const TCurrentSettings&, UserPrompt&)> SortPlugins;
    std::function<bool(MainFormView&, const TCurrentSettings&)> PEBuilderSettings;
    std::function<bool(MainFormView&, TCurrentSettings&)> ProgramSettings;
    // Help menu.
    std::function<void(HWND owner)> Help, About;
};

// The program's own commands.
MainCommands ProgramCommands();
