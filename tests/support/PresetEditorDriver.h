// For the tests of the preset editor and the preset commands: a scratch PE Builder
// installation with five plug-ins, a stand-in for the main window, and the user's input
// to the editor made from a driver thread with messages, as the mouse and keyboard make
// them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "dialogs/MainFormView.h"
#include "dialogs/preset.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestSupport.h"

// Plug-ins, sorted as the editor lists them: display name, Enable, folder below Plugin.
//   Alpha   1  alpha   help alpha.htm (present), config "cfg.exe,@PluginFile@"
//   bravo   0  net\bravo
//   Charlie 1  (the plug-in folder itself)
//   Delta   1  delta   help missing.htm (absent)
//   Echo    0  echo
class PresetInstallation {
public:
    PresetInstallation();

    // The profile "Test" on this installation, with an empty settings store and no
    // Plugin Builder.
    TCurrentSettings settings;

    std::wstring Folder() const { return scratch_ / L"pe"; }
    std::wstring PluginFolder() const { return Folder() + L"\\Plugin"; }
    // The key a preset stores for the plug-in of that display name.
    static std::wstring KeyOf(const std::wstring& displayName);
    std::wstring Scratch(const std::wstring& relative) const { return scratch_ / relative; }

    // The preset's key and its plug-in values as name=data lines.
    std::wstring PresetKey(const std::wstring& name) const;
    std::vector<std::wstring> PresetValues(const std::wstring& name) const;
    std::vector<std::wstring> PresetNames() const;
    void MakePreset(const std::wstring& name, const std::vector<std::wstring>& displayNames,
                    bool ownSettings = false) const;

private:
    ScratchFolder scratch_;
};

// The main window as the preset commands see it: its list is the last-build entry and
// the presets of the registry, sorted; what the commands ask of it is logged.
class StandInMainView : public MainFormView {
public:
    StandInMainView(const TCurrentSettings& settings, UserPrompt& prompt);

    std::vector<std::wstring> entries;
    int selected = 0;
    std::vector<std::wstring> calls;  // "ReloadPresetList", "SelectEntry 2", "LB_Click"

    void Select(const std::wstring& text);

    HWND Owner() const override { return nullptr; }
    UserPrompt& Prompt() const override { return prompt_; }
    int SelectedIndex() const override { return selected; }
    std::wstring SelectedText() const override;
    int FindEntry(const std::wstring& text) const override;
    void SelectEntry(int index) override;
    void ReloadPresetList() override;
    void LB_Click() override;
    void SetBuildButtonsEnabled(bool) override {}
    void SetPluginSortEnabled(bool) override {}

private:
    const TCurrentSettings& settings_;
    UserPrompt& prompt_;
};

// Runs show on this thread while act drives the editor that show opens, on a driver
// thread; fails the test when no editor opened.
void WithEditor(const std::function<void()>& show, const std::function<void(TPreset_Form&)>& act);

// The user's input. Each call returns once the editor has handled it.
void TypeText(HWND edit, const std::wstring& text);     // keys typed at the end of the text
void ReplaceText(HWND edit, const std::wstring& text);  // all selected, then typed over
void ClickCheckBox(TPreset_Form& editor, size_t index);
void ClickItemText(TPreset_Form& editor, size_t index);
void PressSpace(HWND control);
// Posted, for keys the dialog manager handles (Tab, Enter, Esc) and for buttons that
// close the editor or start a program; these return at once.
void PostKey(HWND control, WPARAM key);
void PostAccessKey(HWND control, wchar_t letter);
void PostClick(HWND button);
// Waits up to ten seconds; true when the condition came true.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
HWND FocusOf(HWND window);
size_t IndexOf(const TPreset_Form& editor, const std::wstring& displayName);
std::vector<std::wstring> CheckedNames(const TPreset_Form& editor);
bool Enabled(HWND control);

// Counts the errors shown, so that a driver thread can wait for one.
class CountingPrompt : public ScriptedPrompt {
public:
    std::atomic<int> errors{0};
    void Error(const std::wstring& text) override
    {
        ScriptedPrompt::Error(text);
        ++errors;
    }
};

// The tests' common ground: the installation, the stand-in main window, message boxes
// answered by a script (the stand-in's and the editor's), no language file, and the
// commands that open the editor.
class PresetEditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Add(const std::function<void(TPreset_Form&)>& act);
    // Selects the preset in the main list first.
    void Edit(const std::wstring& name, const std::function<void(TPreset_Form&)>& act);

    PresetInstallation pe;
    CountingPrompt prompt;
    StandInMainView view{pe.settings, prompt};
    // The editor is made and freed inside the command: its messages go to the script too.
    ScopedPromptOverride answers{prompt};
};
