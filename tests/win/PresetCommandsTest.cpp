// The preset commands with the real editor and a stand-in main window: what add, edit,
// Apply with Cancel or OK, and delete leave in the registry and in the main list.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/PresetCommands.h"
#include "core/Error.h"
#include "core/IniFile.h"
#include "core/Language.h"
#include "core/Registry.h"
#include "pebuilder/PresetStore.h"
#include "tests/support/PresetEditorDriver.h"
#include "tests/support/ScriptedPrompt.h"

namespace {

using Names = std::vector<std::wstring>;

class PresetCommands : public PresetEditorTest {
protected:
    Names Values(const Names& displayNames) const
    {
        Names lines;
        for (size_t i = 0; i < displayNames.size(); ++i)
            lines.push_back(L"00" + std::to_wstring(i + 1) + L"=" + PresetInstallation::KeyOf(displayNames[i]));
        return lines;
    }
    void ExpectSelected(const std::wstring& text)
    {
        EXPECT_EQ(view.SelectedText(), text);
        EXPECT_EQ(view.calls,
                  (Names{L"ReloadPresetList", L"SelectEntry " + std::to_wstring(view.selected), L"LB_Click"}));
        view.calls.clear();
    }
    void ExpectNoTransientKeys() { EXPECT_FALSE(RegSubKeyExists(kProgramKey, L"Transient")); }
};

void Untick(TPreset_Form& editor, const std::wstring& name)
{
    ASSERT_TRUE(editor.CLB1.Checked(IndexOf(editor, name)));
    ClickCheckBox(editor, IndexOf(editor, name));
}

void Tick(TPreset_Form& editor, const std::wstring& name)
{
    ASSERT_FALSE(editor.CLB1.Checked(IndexOf(editor, name)));
    ClickCheckBox(editor, IndexOf(editor, name));
}

}  // namespace

TEST_F(PresetCommands, AddStoresTheTickedPluginsInListOrderAndSelectsThePreset)
{
    Add([&](TPreset_Form& editor) {
        Untick(editor, L"Delta");
        Tick(editor, L"Echo");
        ReplaceText(editor.ED01, L" Minimal ");
        PostClick(editor.Button9);
    });
    EXPECT_EQ(pe.PresetValues(L"Minimal"), Values({L"Alpha", L"Charlie", L"Echo"}));
    ExpectSelected(L"Minimal");
    ExpectNoTransientKeys();
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(PresetCommands, RenameAndLetterCaseChangeKeepTheOwnSettings)
{
    pe.MakePreset(L"Minimal", {L"Alpha"}, true);
    Edit(L"Minimal", [&](TPreset_Form& editor) {
        Tick(editor, L"bravo");
        ReplaceText(editor.ED01, L"Small");
        PostClick(editor.Button9);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"Small"}));
    EXPECT_EQ(pe.PresetValues(L"Small"), Values({L"Alpha", L"bravo"}));
    EXPECT_EQ(ReadRegString(pe.PresetKey(L"Small") + L"\\PEBuilder", L"source", L""), L"D:\\Minimal\\");
    ExpectSelected(L"Small");

    Edit(L"Small", [&](TPreset_Form& editor) {
        ReplaceText(editor.ED01, L"SMALL");
        PostClick(editor.Button9);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"SMALL"}));
    EXPECT_EQ(pe.PresetValues(L"SMALL"), Values({L"Alpha", L"bravo"}));
    EXPECT_EQ(ReadRegString(pe.PresetKey(L"SMALL") + L"\\PEBuilder", L"source", L""), L"D:\\Minimal\\");
    ExpectSelected(L"SMALL");
    ExpectNoTransientKeys();
}

TEST_F(PresetCommands, UntickingEverythingRemovesAPresetWithoutOwnSettings)
{
    pe.MakePreset(L"Bare", {L"Alpha", L"Echo"});
    pe.MakePreset(L"Owned", {L"Alpha"}, true);
    Edit(L"Bare", [&](TPreset_Form& editor) {
        Untick(editor, L"Alpha");
        Untick(editor, L"Echo");
        PostClick(editor.Button9);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"Owned"}));
    ExpectSelected(L"[last build]");

    Edit(L"Owned", [&](TPreset_Form& editor) {
        Untick(editor, L"Alpha");
        PostClick(editor.Button9);
    });
    EXPECT_TRUE(pe.PresetValues(L"Owned").empty());
    EXPECT_TRUE(RegSubKeyExists(pe.PresetKey(L"Owned"), L"PEBuilder"));
    ExpectSelected(L"Owned");
}

TEST_F(PresetCommands, CancelAfterApplyStoresWhatWasAppliedUnderTheAppliedName)
{
    pe.MakePreset(L"Net", {L"bravo"});
    Add([&](TPreset_Form& editor) {
        Untick(editor, L"Delta");
        ReplaceText(editor.ED01, L"Two");
        ::SendMessageW(editor.Button2, BM_CLICK, 0, 0);
        EXPECT_TRUE(editor.Applied);
        Tick(editor, L"Echo");
        // Typed after the Apply and never checked: it must not replace Net.
        ReplaceText(editor.ED01, L"Net");
        PostClick(editor.Button3);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"Net", L"Two"}));
    EXPECT_EQ(pe.PresetValues(L"Two"), Values({L"Alpha", L"Charlie"}));
    EXPECT_EQ(pe.PresetValues(L"Net"), Values({L"bravo"}));
    ExpectSelected(L"Two");
    ExpectNoTransientKeys();
}

TEST_F(PresetCommands, OkAfterApplyStoresTheTicksAtOk)
{
    pe.MakePreset(L"Tools", {L"Alpha", L"bravo"}, true);
    Edit(L"Tools", [&](TPreset_Form& editor) {
        Untick(editor, L"bravo");
        ::SendMessageW(editor.Button2, BM_CLICK, 0, 0);
        Tick(editor, L"Delta");
        PostClick(editor.Button9);
    });
    EXPECT_EQ(pe.PresetValues(L"Tools"), Values({L"Alpha", L"Delta"}));
    EXPECT_TRUE(RegSubKeyExists(pe.PresetKey(L"Tools"), L"PEBuilder"));
    ExpectNoTransientKeys();
}

TEST_F(PresetCommands, CancelWithoutApplyChangesNothingEvenWithALeftOverSelection)
{
    pe.MakePreset(L"Tools", {L"Alpha"});
    WritePluginValues(AppliedSelectionKey(), {PresetInstallation::KeyOf(L"Echo")});  // an earlier crash's
    WritePluginValues(kProfilesKey + L"\\Temp", {PresetInstallation::KeyOf(L"Echo")});
    Edit(L"Tools", [&](TPreset_Form& editor) {
        Tick(editor, L"bravo");
        ReplaceText(editor.ED01, L"Other");
        PostClick(editor.Button3);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"Tools"}));
    EXPECT_EQ(pe.PresetValues(L"Tools"), Values({L"Alpha"}));
    EXPECT_TRUE(view.calls.empty());
    ExpectNoTransientKeys();
    EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"Temp"));
}

TEST_F(PresetCommands, AFailedSaveRaisesKeepsTheListAndFreesTheEditor)
{
    pe.MakePreset(L"Tools", {L"Alpha"});
    view.ReloadPresetList();
    view.Select(L"Tools");
    view.calls.clear();
    WithEditor([&] { EXPECT_THROW(Edit_PresetExecute(view, pe.settings), AppError); },
               [&](TPreset_Form& editor) {
                   Tick(editor, L"Echo");
                   // The registry refuses the key the new content is written into.
                   HKEY key;
                   ::RegCreateKeyExW(HKEY_CURRENT_USER, kTransientKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                     KEY_ALL_ACCESS, nullptr, &key, nullptr);
                   ::RegCloseKey(key);
                   PostClick(editor.Button9);
               });
    EXPECT_EQ(pe.PresetValues(L"Tools"), Values({L"Alpha"}));
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(::FindWindowW(L"TPreset_Form", nullptr), nullptr);
}

// "none" is refused as a new name, but a preset stored so outside the program is
// edited like any other: its plug-ins ticked, and OK keeps it under its name.
TEST_F(PresetCommands, APresetStoredAsNoneShowsItsPluginsAndKeepsThemOnOk)
{
    pe.MakePreset(L"none", {L"Alpha", L"Echo"}, true);
    Edit(L"none", [&](TPreset_Form& editor) {
        EXPECT_EQ(CheckedNames(editor), (Names{L"Alpha", L"Echo"}));
        Tick(editor, L"bravo");
        PostClick(editor.Button9);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"none"}));
    EXPECT_EQ(pe.PresetValues(L"none"), Values({L"Alpha", L"bravo", L"Echo"}));
    EXPECT_TRUE(RegSubKeyExists(pe.PresetKey(L"none"), L"PEBuilder"));
    ExpectNoTransientKeys();
}

TEST_F(PresetCommands, DeleteAsksAndRemovesThePresetWithItsOwnSettings)
{
    pe.MakePreset(L"Tools", {L"Alpha"}, true);
    view.ReloadPresetList();
    view.Select(L"Tools");
    view.calls.clear();
    prompt.answers = {false, true};
    Delete_PresetExecute(view, pe.settings);
    EXPECT_EQ(pe.PresetNames(), (Names{L"Tools"}));
    EXPECT_TRUE(view.calls.empty());
    Delete_PresetExecute(view, pe.settings);
    EXPECT_TRUE(pe.PresetNames().empty());
    EXPECT_EQ(view.calls, (Names{L"ReloadPresetList", L"LB_Click"}));
    EXPECT_EQ(view.selected, 0);
    const PromptMessage question{L"Ask", L"プリセットを削除しますか？", L"確認"};
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{question, question}));

    // The last-build entry is never a preset.
    Delete_PresetExecute(view, pe.settings);
    EXPECT_EQ(prompt.messages.size(), 2u);
}

TEST_F(PresetCommands, PluginBuilderLearnsTheSourceOfTheSelectedEntryBeforeTheEditorOpens)
{
    pe.settings.PluginBuilder = pe.Scratch(L"plb");
    const std::wstring ini = pe.settings.PluginBuilder + L"\\Plugin_Builder.ini";
    WriteBytes(ini, "[System]\r\nPluginPath=\r\nSourcePath=\r\n");
    WriteBytes(pe.Folder() + L"\\input.inf", "[input]\r\nsource=D:\\xp\\\r\n");
    pe.MakePreset(L"Own", {L"Alpha"}, true);
    auto sourcePath = [&] { return ReadIniString(ini, L"System", L"SourcePath", L"?"); };

    Add([&](TPreset_Form& editor) {
        EXPECT_EQ(sourcePath(), L"D:\\xp\\");
        PostClick(editor.Button3);
    });
    Edit(L"Own", [&](TPreset_Form& editor) {
        EXPECT_EQ(sourcePath(), L"D:\\Own\\");
        PostClick(editor.Button3);
    });
    // Add takes the entry selected in the main list too.
    view.Select(L"Own");
    Add([&](TPreset_Form& editor) {
        EXPECT_EQ(sourcePath(), L"D:\\Own\\");
        PostClick(editor.Button3);
    });
}
