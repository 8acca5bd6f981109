// What the commands started from the main window use of it: the owner of their dialogs
// and messages, the preset list's selection, and the refreshes they ask for. The main
// window implements it; the dialogs' commands take it as an argument, so they are
// tested with a small stand-in view as well as with the real window.
#pragma once

#include <windows.h>

#include <string>

struct TCurrentSettings;
class UserPrompt;

class MainFormView {
public:
    virtual ~MainFormView() = default;

    // Owner of the dialogs and message boxes the commands show.
    virtual HWND Owner() const = 0;
    // How the commands talk to the user: message boxes owned by Owner().
    virtual UserPrompt& Prompt() const = 0;

    // LB1: index 0 is the last-build entry, presets follow sorted.
    virtual int SelectedIndex() const = 0;
    virtual std::wstring SelectedText() const = 0;
    // The first entry whose whole text equals text without regard to case, or -1.
    virtual int FindEntry(const std::wstring& text) const = 0;
    virtual void SelectEntry(int index) = 0;

    // Refills the list from the registry and selects the last-build entry; the caller
    // runs LB_Click once it has chosen the entry to show.
    virtual void ReloadPresetList() = 0;
    // The selection handler: actions, the PBConfig caption, the toggles.
    virtual void LB_Click() = 0;

    // Button1 and Button3 of the standard panel, and the menu item PluginSort.
    virtual void SetBuildButtonsEnabled(bool enabled) = 0;
    virtual void SetPluginSortEnabled(bool enabled) = 0;
};

// The list refilled and the entry of that text selected (the last-build entry when
// none has it), then the selection handler, once.
void ReloadAndSelect(MainFormView& main, const std::wstring& entry);

// What follows the first load of the profile's settings and every change of them: the
// list refilled with the selected entry kept where it still is (otherwise the
// last-build entry), the selection handler, the build buttons (on while the PE Builder
// folder holds pebuilder.exe) and the plug-in sort (off on NTFS).
void RefreshAfterSettingsChange(MainFormView& main, const TCurrentSettings& settings);
