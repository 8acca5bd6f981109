// The preset editor as a real window under Xvfb, opened by the preset commands and used
// as a user would: the first show, ticks by mouse and Space, the name check with its
// messages and focus, the item buttons and the programs they start, reload, the
// remembered place, keyboard navigation and the language file.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "app/PresetCommands.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/Language.h"
#include "core/Registry.h"
#include "core/StringTable.h"
#include "pebuilder/PresetStore.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PresetEditorDriver.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/StandIns.h"

namespace {

using Names = std::vector<std::wstring>;

class PresetForm : public PresetEditorTest {
protected:
    // Presses OK with the name typed over, and waits for the error it brings.
    void RefusedOk(TPreset_Form& editor, const std::wstring& name)
    {
        int before = prompt.errors;
        ReplaceText(editor.ED01, name);
        PostClick(editor.Button9);
        EXPECT_TRUE(WaitUntil([&] { return prompt.errors > before; })) << testing::PrintToString(name);
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(editor.Handle()) == editor.ED01; }));
    }
};

// A copy of the Plugin Builder stand-in, which records its command line beside itself.
std::wstring InstallRecorder(const std::wstring& folder, const std::wstring& name)
{
    InstallStandIn(L"Plugin_Builder.exe", folder);
    if (name != L"Plugin_Builder.exe")
        ::MoveFileW((folder + L"\\Plugin_Builder.exe").c_str(), (folder + L"\\" + name).c_str());
    return folder + L"\\" + name;
}

std::wstring RecordedCommandLine(const std::wstring& folder)
{
    const std::wstring record = folder + L"\\Plugin_Builder.record";
    if (!WaitUntil([&] { return FileExists(record); })) return L"<not started>";
    WaitUntil([&] { return RecordValue(ReadRecord(record), L"Run", L"CommandLine").has_value(); });
    return RecordValue(ReadRecord(record), L"Run", L"CommandLine").value_or(L"");
}

struct WindowSearch {
    const wchar_t* className;
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    wchar_t name[64] = {}, title[256] = {};
    ::GetClassNameW(window, name, 64);
    ::GetWindowTextW(window, title, 256);
    if (!::IsWindowVisible(window) || std::wstring(name) != search->className ||
        std::wstring(title).find(*search->text) == std::wstring::npos)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A visible top-level window of another process with that class whose title holds
// text, or null.
HWND FindTopLevel(const wchar_t* className, const std::wstring& text)
{
    WindowSearch search{className, &text, nullptr};
    WaitUntil([&] {
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

// Closes another program's window and makes sure its process is gone: a program left
// running would hold the test run's output open.
void CloseProgram(HWND window)
{
    DWORD id = 0;
    ::GetWindowThreadProcessId(window, &id);
    KernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (process && ::WaitForSingleObject(process.Get(), 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.Get(), 1);
}

// Another program's window that a button opened: it must be there, and it is closed.
void ExpectWindowAndClose(const wchar_t* className, const std::wstring& title)
{
    HWND window = FindTopLevel(className, title);
    EXPECT_NE(window, nullptr) << "no window " << testing::PrintToString(title);
    if (window) CloseProgram(window);
}

}  // namespace

TEST_F(PresetForm, AddOpensUntitledWithTheEnabledPluginsTickedAndNothingToApply)
{
    Add([&](TPreset_Form& editor) {
        EXPECT_EQ(editor.PresetName(), L"名称未定");
        Names order;
        for (const StringListItem& item : editor.Catalogue()) order.push_back(item.Text);
        EXPECT_EQ(order, (Names{L"Alpha", L"bravo", L"Charlie", L"Delta", L"Echo"}));
        EXPECT_EQ(CheckedNames(editor), (Names{L"Alpha", L"Charlie", L"Delta"}));
        EXPECT_FALSE(Enabled(editor.Button2));
        for (HWND b : {editor.Button1, editor.Button4, editor.Button5, editor.Button6, editor.Button8, editor.Button10})
            EXPECT_FALSE(Enabled(b));
        EXPECT_EQ(FocusOf(editor.Handle()), editor.CLB1.Handle());
        PostClick(editor.Button3);
    });
    EXPECT_TRUE(pe.PresetNames().empty());
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(PresetForm, EditTicksThePresetsPluginsWhateverTheirLetterCase)
{
    WritePluginValues(pe.PresetKey(L"Tools"), {L"ALPHA::ALPHA\\", L"echo::ECHO\\", L"Gone::gone\\"});
    pe.MakePreset(L"Net", {L"bravo"});
    Edit(L"Tools", [&](TPreset_Form& editor) {
        EXPECT_EQ(editor.PresetName(), L"Tools");
        EXPECT_EQ(editor.OriginalName, L"Tools");
        EXPECT_EQ(CheckedNames(editor), (Names{L"Alpha", L"Echo"}));
        EXPECT_FALSE(Enabled(editor.Button2));

        // Reload brings back the stored preset the name box names.
        ReplaceText(editor.ED01, L"Net");
        ::SendMessageW(editor.Button7, BM_CLICK, 0, 0);
        EXPECT_EQ(CheckedNames(editor), (Names{L"bravo"}));
        EXPECT_EQ(editor.CLB1.Selected(), -1);
        EXPECT_FALSE(Enabled(editor.Button1));
        // A name box that names no single key ticks nothing, rather than read elsewhere.
        ReplaceText(editor.ED01, L"");
        ::SendMessageW(editor.Button7, BM_CLICK, 0, 0);
        EXPECT_TRUE(CheckedNames(editor).empty());
        PostClick(editor.Button3);
    });
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(PresetForm, TicksByMouseOrSpaceAndTypingEnableApplyButTheEnableButtonDoesNot)
{
    Add([&](TPreset_Form& editor) {
        ClickItemText(editor, IndexOf(editor, L"Echo"));
        EXPECT_EQ(editor.CLB1.Selected(), static_cast<int>(IndexOf(editor, L"Echo")));
        EXPECT_TRUE(Enabled(editor.Button1));
        EXPECT_FALSE(Enabled(editor.Button2));
        ::SendMessageW(editor.Button1, BM_CLICK, 0, 0);
        EXPECT_EQ(CheckedNames(editor), (Names{L"Alpha", L"Charlie", L"Delta", L"Echo"}));
        EXPECT_FALSE(Enabled(editor.Button2));

        ClickCheckBox(editor, IndexOf(editor, L"bravo"));
        EXPECT_EQ(CheckedNames(editor), (Names{L"Alpha", L"bravo", L"Charlie", L"Delta", L"Echo"}));
        EXPECT_TRUE(Enabled(editor.Button2));
        ::SendMessageW(editor.Button2, BM_CLICK, 0, 0);
        EXPECT_FALSE(Enabled(editor.Button2));

        PressSpace(editor.CLB1.Handle());  // bravo is selected by the click
        EXPECT_EQ(CheckedNames(editor), (Names{L"Alpha", L"Charlie", L"Delta", L"Echo"}));
        EXPECT_TRUE(Enabled(editor.Button2));
        ::SendMessageW(editor.Button2, BM_CLICK, 0, 0);

        TypeText(editor.ED01, L"2");
        EXPECT_TRUE(Enabled(editor.Button2));
        PostClick(editor.Button3);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"名称未定"}));
}

TEST_F(PresetForm, RefusedNamesKeepTheEditorOpenWithTheNameBoxFocused)
{
    pe.MakePreset(L"Net", {L"bravo"});
    Add([&](TPreset_Form& editor) {
        for (const wchar_t* name : {L"", L"   ", L"none", L"net\\tools"}) RefusedOk(editor, name);
        RefusedOk(editor, L"NET");
        ReplaceText(editor.ED01, L"none");
        ::SendMessageW(editor.Button2, BM_CLICK, 0, 0);  // Apply checks the name too
        EXPECT_FALSE(editor.Applied);
        EXPECT_TRUE(Enabled(editor.Button2));
        ReplaceText(editor.ED01, L" None ");
        PostClick(editor.Button9);
    });
    const std::wstring invalid = L"プリセット名が不正です", exists = L"プリセット名は既に存在しています";
    std::vector<PromptMessage> expected;
    for (const std::wstring& text : {invalid, invalid, invalid, invalid, exists, invalid})
        expected.push_back({L"Error", text, L"エラー"});
    EXPECT_EQ(prompt.messages, expected);
    EXPECT_EQ(pe.PresetNames(), (Names{L"Net", L"None"}));
    EXPECT_FALSE(RegSubKeyExists(OwnTransientKey(), L"Applied"));
}

TEST_F(PresetForm, ItemButtonsFollowTheSelectedPluginsFiles)
{
    Add([&](TPreset_Form& editor) {
        ClickItemText(editor, IndexOf(editor, L"Alpha"));
        EXPECT_TRUE(Enabled(editor.Button4));   // alpha.htm is there
        EXPECT_TRUE(Enabled(editor.Button10));  // it has a config command
        EXPECT_FALSE(Enabled(editor.Button5));  // no Plugin Builder
        EXPECT_TRUE(Enabled(editor.Button6));
        EXPECT_TRUE(Enabled(editor.Button8));
        ClickItemText(editor, IndexOf(editor, L"Delta"));
        EXPECT_FALSE(Enabled(editor.Button4));  // missing.htm is not
        EXPECT_FALSE(Enabled(editor.Button10));
        PostClick(editor.Button3);
    });
}

TEST_F(PresetForm, PluginBuilderTheTextEditorAndTheConfigProgramGetTheInfFile)
{
    const std::wstring alpha = pe.PluginFolder() + L"\\alpha";
    pe.settings.PluginBuilder = pe.Scratch(L"plb");
    pe.settings.PLB_WAIT = true;
    InstallRecorder(pe.settings.PluginBuilder, L"Plugin_Builder.exe");
    pe.settings.TextEditor = InstallRecorder(pe.Scratch(L"editor"), L"ed.exe");
    pe.settings.TE_WAIT = true;
    InstallRecorder(alpha, L"cfg.exe");
    Add([&](TPreset_Form& editor) {
        ClickItemText(editor, IndexOf(editor, L"Alpha"));
        EXPECT_TRUE(Enabled(editor.Button5));
        // Waited for: each recorder has written its record when the click returns.
        ::SendMessageW(editor.Button5, BM_CLICK, 0, 0);
        EXPECT_TRUE(FileExists(pe.settings.PluginBuilder + L"\\Plugin_Builder.record"));
        ::SendMessageW(editor.Button6, BM_CLICK, 0, 0);
        EXPECT_TRUE(FileExists(pe.Scratch(L"editor\\Plugin_Builder.record")));
        ::SendMessageW(editor.Button10, BM_CLICK, 0, 0);
        PostClick(editor.Button3);
    });
    const std::wstring inf = L"\"" + alpha + L"\\alpha.inf\"";
    EXPECT_EQ(RecordedCommandLine(pe.settings.PluginBuilder),
              L"\"" + pe.settings.PluginBuilder + L"\\Plugin_Builder.exe\" " + inf);
    EXPECT_EQ(RecordedCommandLine(pe.Scratch(L"editor")), L"\"" + pe.settings.TextEditor + L"\" " + inf);
    EXPECT_EQ(RecordedCommandLine(alpha), L"\"" + alpha + L"\\cfg.exe\" " + inf);
}

TEST_F(PresetForm, TheShellOpensTheHelpFileAndThePluginFolder)
{
    // The program registered for the help file's type is a recorder.
    const std::wstring viewer = InstallRecorder(pe.Scratch(L"viewer"), L"viewer.exe");
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"KitwrightTestHelp\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring command = L"\"" + viewer + L"\" \"%1\"";
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    ::RegSetValueW(HKEY_CLASSES_ROOT, L".htm", REG_SZ, L"KitwrightTestHelp", 0);

    Add([&](TPreset_Form& editor) {
        ClickItemText(editor, IndexOf(editor, L"Alpha"));
        ::SendMessageW(editor.Button4, BM_CLICK, 0, 0);
        ::SendMessageW(editor.Button8, BM_CLICK, 0, 0);
        PostClick(editor.Button3);
    });
    EXPECT_EQ(RecordedCommandLine(pe.Scratch(L"viewer")),
              L"\"" + viewer + L"\" \"" + pe.PluginFolder() + L"\\alpha\\alpha.htm\"");
    ExpectWindowAndClose(L"ExplorerWClass", L"alpha");  // an explorer window on the folder
}

TEST_F(PresetForm, WithoutATextEditorNotepadOpensTheInfFile)
{
    Add([&](TPreset_Form& editor) {
        ClickItemText(editor, IndexOf(editor, L"Echo"));
        ::SendMessageW(editor.Button6, BM_CLICK, 0, 0);
        PostClick(editor.Button3);
    });
    ExpectWindowAndClose(L"Notepad", L"echo");
}

TEST_F(PresetForm, ReloadBringsBackThePluginFilesState)
{
    Add([&](TPreset_Form& editor) {
        ClickCheckBox(editor, IndexOf(editor, L"Alpha"));
        ClickCheckBox(editor, IndexOf(editor, L"Echo"));
        WriteBytes(pe.PluginFolder() + L"\\fox\\fox.inf",
                   "[Version]\r\nSignature=$Windows NT$\r\n[PEBuilder]\r\nName=Foxtrot\r\nEnable=1\r\n");
        ::SendMessageW(editor.Button7, BM_CLICK, 0, 0);
        EXPECT_EQ(CheckedNames(editor), (Names{L"Alpha", L"Charlie", L"Delta", L"Foxtrot"}));
        EXPECT_TRUE(Enabled(editor.Button2));  // the clicks' change stays to apply
        PostClick(editor.Button3);
    });
}

TEST_F(PresetForm, ThePlaceIsRememberedAndAMaximisedEditorKeepsTheNormalOne)
{
    const std::wstring key = PresetsKey(pe.settings);
    Add([&](TPreset_Form& editor) {
        RECT frame{0, 0, 700, 500};
        ::AdjustWindowRectEx(&frame, ::GetWindowLongW(editor.Handle(), GWL_STYLE), FALSE,
                             ::GetWindowLongW(editor.Handle(), GWL_EXSTYLE));
        ::SetWindowPos(editor.Handle(), nullptr, 30, 40, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOZORDER);
        // Anchored right and bottom: OK keeps its distance to the corner.
        RECT ok = ChildRect(editor.Button9);
        EXPECT_EQ(ok.left, 700 - (592 - 453));
        EXPECT_EQ(ok.top, 500 - (446 - 359));
        PostClick(editor.Button3);
    });
    EXPECT_EQ(ReadRegInteger(key, L"Width", 0), 700);
    EXPECT_EQ(ReadRegInteger(key, L"Height", 0), 500);
    EXPECT_EQ(ReadRegInteger(key, L"Left", 0), 30);
    EXPECT_EQ(ReadRegInteger(key, L"Top", 0), 40);
    EXPECT_EQ(ReadRegInteger(key, L"FormState", -1), 0);

    WriteRegInteger(key, L"Width", 600);
    Add([&](TPreset_Form& editor) {
        ::SendMessageW(editor.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        PostClick(editor.Button3);
    });
    EXPECT_EQ(ReadRegInteger(key, L"FormState", 0), 1);
    EXPECT_EQ(ReadRegInteger(key, L"Width", 0), 600);  // not written while maximised
    Add([&](TPreset_Form& editor) {
        EXPECT_TRUE(::IsZoomed(editor.Handle()));
        PostClick(editor.Button3);
    });
}

TEST_F(PresetForm, TabOrderAccessKeysEnterAndEsc)
{
    pe.settings.PluginBuilder = pe.Scratch(L"plb");
    InstallRecorder(pe.settings.PluginBuilder, L"Plugin_Builder.exe");
    Add([&](TPreset_Form& editor) {
        HWND was = editor.CLB1.Handle();
        ASSERT_EQ(FocusOf(editor.Handle()), was);
        ClickItemText(editor, IndexOf(editor, L"Alpha"));  // the item buttons take part
        // Apply is disabled and so skipped.
        for (HWND next : {editor.ED01, editor.Button7, editor.Button1, editor.Button4, editor.Button10, editor.Button5,
                          editor.Button6, editor.Button8, editor.Button9, editor.Button3, editor.CLB1.Handle()}) {
            PostKey(was, VK_TAB);
            EXPECT_TRUE(WaitUntil([&] { return FocusOf(editor.Handle()) == next; }));
            was = FocusOf(editor.Handle());
        }
        PostAccessKey(was, L'n');
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(editor.Handle()) == editor.ED01; }));
        PostAccessKey(editor.ED01, L'p');
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(editor.Handle()) == editor.CLB1.Handle(); }));
        PostKey(editor.CLB1.Handle(), VK_ESCAPE);
    });
    EXPECT_TRUE(pe.PresetNames().empty());

    Add([&](TPreset_Form& editor) {
        ReplaceText(editor.ED01, L"Entered");
        PostKey(editor.ED01, VK_RETURN);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"Entered"}));
}

TEST_F(PresetForm, TheLanguageFileReplacesTheCaptions)
{
    SetLanguageFile(pe.Scratch(L"English.rsl"));
    WriteBytes(LanguageFile, "[Form04]\r\nRS_001=Preset\r\nRS_002=&Name:\r\nRS_005=OK\r\nRS_012=&Apply\r\n");
    Add([&](TPreset_Form& editor) {
        auto text = [](HWND window) {
            wchar_t buffer[64] = {};
            ::GetWindowTextW(window, buffer, 64);
            return std::wstring(buffer);
        };
        EXPECT_EQ(text(editor.Handle()), L"Preset");
        EXPECT_EQ(text(editor.Label1), L"&Name:");
        EXPECT_EQ(text(editor.Button2), L"&Apply");
        EXPECT_EQ(text(editor.Button7), L"");  // a missing key leaves no caption
        PostClick(editor.Button3);
    });
}

TEST_F(PresetForm, AfterApplyTheFocusMovesToOkSoThatTheKeysStillWork)
{
    Add([&](TPreset_Form& editor) {
        ReplaceText(editor.ED01, L"Applied");
        ASSERT_TRUE(Enabled(editor.Button2));
        PostClick(editor.Button2);  // the mouse gives Apply the focus, then Apply disables itself
        ASSERT_TRUE(WaitUntil([&] { return !Enabled(editor.Button2); }));
        ASSERT_TRUE(WaitUntil([&] { return FocusOf(editor.Handle()) == editor.Button9; }));
        PostKey(editor.Button9, VK_RETURN);
    });
    EXPECT_EQ(pe.PresetNames(), (Names{L"Applied"})) << "Enter after Apply did not reach OK";
}
