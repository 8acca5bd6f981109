// A stand-in for the main window as its commands see it: a preset list the test
// chooses, a record of every refresh asked for, and a script for its prompt.
#pragma once

#include <string>
#include <vector>

#include "core/Text.h"
#include "dialogs/MainFormView.h"
#include "tests/support/ScriptedPrompt.h"

class StubMainView : public MainFormView {
public:
    HWND owner = nullptr;
    std::vector<std::wstring> entries = {L"[前回ビルド時の構成]"};
    std::vector<std::wstring> entriesAfterReload;  // the list ReloadPresetList makes; empty: unchanged
    int selected = 0;
    std::vector<std::wstring> calls;  // "ReloadPresetList", "SelectEntry 2", "LB_Click", ...
    mutable ScriptedPrompt prompt;

    HWND Owner() const override { return owner; }
    UserPrompt& Prompt() const override { return prompt; }
    int SelectedIndex() const override { return selected; }
    std::wstring SelectedText() const override { return selected >= 0 ? entries[selected] : L""; }
    int FindEntry(const std::wstring& text) const override
    {
        for (size_t i = 0; i < entries.size(); ++i)
            if (SameText(entries[i], text)) return static_cast<int>(i);
        return -1;
    }
    void SelectEntry(int index) override
    {
        selected = index;
        calls.push_back(L"SelectEntry " + std::to_wstring(index));
    }
    void ReloadPresetList() override
    {
        if (!entriesAfterReload.empty()) entries = entriesAfterReload;
        selected = 0;
        calls.push_back(L"ReloadPresetList");
    }
    void LB_Click() override { calls.push_back(L"LB_Click"); }
    void SetBuildButtonsEnabled(bool enabled) override
    {
        calls.push_back(std::wstring(L"SetBuildButtonsEnabled ") + (enabled ? L"1" : L"0"));
    }
    void SetPluginSortEnabled(bool enabled) override
    {
        calls.push_back(std::wstring(L"SetPluginSortEnabled ") + (enabled ? L"1" : L"0"));
    }
};
