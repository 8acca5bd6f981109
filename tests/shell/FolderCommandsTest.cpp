// The folder, log and help commands, with recorders in place of the file browser, the
// help viewer and the text editor, a stand-in for the main window's list, and the
// message boxes answered by a script.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "app/FolderCommands.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Process.h"
#include "core/Registry.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/Plugins.h"
#include "tests/support/RecordedStarts.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestSupport.h"

namespace {

// The preset list as the commands see it: the last-build entry, then the presets.
class ListView : public MainFormView {
public:
    explicit ListView(UserPrompt& prompt) : prompt_(prompt) {}
    std::vector<std::wstring> entries{Str(RS_001), L"自前", L"共用"};
    int selected = 0;

    HWND Owner() const override { return nullptr; }
    UserPrompt& Prompt() const override { return prompt_; }
    int SelectedIndex() const override { return selected; }
    std::wstring SelectedText() const override { return entries[selected]; }
    int FindEntry(const std::wstring&) const override { return -1; }
    void SelectEntry(int index) override { selected = index; }
    void ReloadPresetList() override {}
    void LB_Click() override {}
    void SetBuildButtonsEnabled(bool) override {}
    void SetPluginSortEnabled(bool) override {}

private:
    UserPrompt& prompt_;
};

using Command = void (*)(const MainFormView&, const TCurrentSettings&);

class FolderCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        settings.ProfileKeySuffix = L"\\テスト";
        settings.PEBuilder = pe / L"PE Builder";
        settings.PEB_VER = 3;
        MakeFolders(settings.PEBuilder);
        // "自前" has settings of its own, "共用" has none.
        WriteRegString(PresetKey(settings, L"自前"), L"001", L"x::x\\");
        WriteRegString(PresetKey(settings, L"共用"), L"001", L"x::x\\");
    }
    void TearDown() override { EraseRegKey(kProgramKey); }

    void WriteInputInf(const std::wstring& lines) { WriteBytes(settings.PEBuilder + L"\\input.inf", Ansi(lines)); }
    std::wstring OwnKey() const { return PresetKey(settings, L"自前") + L"\\PEBuilder"; }

    // The folder that the file browser was asked to open, or the messages shown.
    std::wstring Opened(Command command, int selected = 0)
    {
        view.selected = selected;
        prompt.messages.clear();
        size_t before = starts.Now().size();
        command(view, settings);
        if (!prompt.messages.empty()) return L"";
        std::vector<RecordedStart> now = starts.WaitFor(before + 1);
        if (now.size() <= before) return L"(nothing)";
        EXPECT_EQ(now.back().program, L"explorer.exe");
        return now.back().given;
    }
    // A command that must open nothing and show only the message (none: nothing at
    // all). Afterwards the browser opens a marker folder, and that must be the only
    // folder it was asked to open.
    void ExpectOnly(std::optional<StringId> message, Command command, int selected = 0)
    {
        view.selected = selected;
        prompt.messages.clear();
        size_t before = starts.Now().size();
        command(view, settings);
        std::vector<PromptMessage> expected;
        if (message) expected.push_back({L"Error", Str(*message), Str(RS_100)});
        EXPECT_EQ(prompt.messages, expected);
        ShellOpen(nullptr, marker.Path() + L"\\");
        std::vector<RecordedStart> now = starts.WaitFor(before + 1);
        ASSERT_EQ(now.size(), before + 1);
        EXPECT_EQ(now.back().given, Quoted(marker.Path() + L"\\"));
    }
    // The command fails with an error that names what.
    void ExpectErrorNaming(const std::wstring& what, Command command)
    {
        try {
            command(view, settings);
            ADD_FAILURE() << "no error";
        } catch (const AppError& e) {
            EXPECT_NE(e.Message().find(what), std::wstring::npos) << testing::PrintToString(e.Message());
        }
    }
    static std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

    ScratchFolder pe, marker;
    TCurrentSettings settings;
    ScriptedPrompt prompt;
    ListView view{prompt};
    // A damaged value is reported outside any window: that message goes to the script too.
    ScopedPromptOverride scripted{prompt};
    RecordedStarts starts;
};

}  // namespace

TEST_F(FolderCommands, ThePEBuilderAndPluginFoldersOpenUnchecked)
{
    EXPECT_EQ(Opened(PEBuilderE1Click), Quoted(settings.PEBuilder + L"\\"));
    // The shell finds no plug-in folder to open and says nothing; neither does the command.
    ExpectOnly(std::nullopt, L1Click);
    MakeFolders(settings.PEBuilder + L"\\plugin");
    EXPECT_EQ(Opened(L1Click), Quoted(settings.PEBuilder + L"\\plugin\\"));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(FolderCommands, TheLastBuildEntryReadsInputInfEvenWhenAPresetHasItsOwn)
{
    MakeFolders(pe / L"inf source");
    MakeFolders(pe / L"own source");
    WriteInputInf(L"[input]\r\nsource=" + pe / L"inf source" + L"\r\n");
    WriteRegString(OwnKey(), L"source", pe / L"own source");
    EXPECT_EQ(Opened(U1Click, 0), Quoted(pe / L"inf source\\"));
    EXPECT_EQ(Opened(U1Click, 1), Quoted(pe / L"own source\\"));
    EXPECT_EQ(Opened(U1Click, 2), Quoted(pe / L"inf source\\"));  // no settings of its own
}

TEST_F(FolderCommands, ASourceOfDriveDOpensTheDriveWhateverInputInfSays)
{
    ASSERT_TRUE(DirectoryExists(L"D:\\"));
    WriteInputInf(L"[input]\r\nsource=" + pe.Path() + L"\r\n");
    WriteRegString(OwnKey(), L"source", L"D:\\");
    EXPECT_EQ(Opened(U1Click, 1), Quoted(L"D:\\"));  // the backslash is not doubled
    EXPECT_EQ(Opened(U1Click, 2), Quoted(pe.Path() + L"\\"));
}

TEST_F(FolderCommands, AMissingOrUnsetFolderIsReported)
{
    ExpectOnly(RS_018, U1Click);  // no input.inf at all
    ExpectOnly(RS_021, C1Click);
    ExpectOnly(RS_020, ISO1Click);
    WriteInputInf(L"[input]\r\nsource=" + pe / L"gone" + L"\r\ncustomdir=" + pe / L"gone" + L"\r\nisofile=" +
                  pe / L"gone\\pe.iso" + L"\r\n");
    ExpectOnly(RS_018, U1Click);
    ExpectOnly(RS_021, C1Click);
    ExpectOnly(RS_020, ISO1Click);
    // An existing registry source with nothing in it.
    WriteRegString(OwnKey(), L"source", L"");
    ExpectOnly(RS_018, U1Click, 1);
}

TEST_F(FolderCommands, TheCustomFolderIsUsedAsStored)
{
    MakeFolders(pe / L"custom");
    WriteInputInf(L"[input]\r\ncustomdir=" + pe / L"custom" + L"\r\n");
    EXPECT_EQ(Opened(C1Click), Quoted(pe / L"custom\\"));
}

TEST_F(FolderCommands, TheISOFolderIsTheFolderPartOfTheImageFile)
{
    MakeFolders(pe / L"out");
    WriteInputInf(L"[input]\r\nisofile=" + pe / L"out\\pe.iso" + L"\r\n");
    EXPECT_EQ(Opened(ISO1Click), Quoted(pe / L"out\\"));
    WriteInputInf(L"[input]\r\nisofile=pe.iso\r\n");
    ExpectOnly(RS_020, ISO1Click);
    WriteRegString(OwnKey(), L"isofile", pe / L"out\\own.iso");
    EXPECT_EQ(Opened(ISO1Click, 1), Quoted(pe / L"out\\"));
}

TEST_F(FolderCommands, TheBuildOutputFolderFollowsTheVersionClass)
{
    MakeFolders(settings.PEBuilder + L"\\PEOutput");
    MakeFolders(pe / L"absolute");
    WriteInputInf(L"[input]\r\noutdir=PEOutput\\\r\nuseAbsoluteOutput=0\r\nfulloutdir=" + pe / L"absolute" + L"\r\n");
    EXPECT_EQ(Opened(B1Click), Quoted(settings.PEBuilder + L"\\PEOutput\\"));
    settings.PEB_VER = 1;
    EXPECT_EQ(Opened(B1Click), Quoted(settings.PEBuilder + L"\\PEOutput\\"));

    WriteInputInf(L"[input]\r\noutdir=\r\nuseAbsoluteOutput=1\r\n");
    EXPECT_EQ(Opened(B1Click), Quoted(settings.PEBuilder + L"\\"));  // class 1, empty outdir
    settings.PEB_VER = 3;
    EXPECT_EQ(Opened(B1Click), Quoted(settings.PEBuilder + L"\\"));  // absolute without fulloutdir

    WriteRegString(OwnKey(), L"outdir", L"PEOutput\\");
    WriteRegInteger(OwnKey(), L"useAbsoluteOutput", 1);
    WriteRegString(OwnKey(), L"fulloutdir", pe / L"absolute");
    EXPECT_EQ(Opened(B1Click, 1), Quoted(pe / L"absolute\\"));
    WriteRegInteger(OwnKey(), L"useAbsoluteOutput", 0);
    EXPECT_EQ(Opened(B1Click, 1), Quoted(settings.PEBuilder + L"\\PEOutput\\"));
    WriteRegInteger(OwnKey(), L"useAbsoluteOutput", 2);  // neither: the outdir as stored
    ExpectOnly(RS_019, B1Click, 1);
}

TEST_F(FolderCommands, ClassZeroTakesTheOutputFolderRelativeToTheCurrentFolder)
{
    settings.PEB_VER = 0;
    WriteInputInf(L"[input]\r\noutdir=PEOut\r\n");
    wchar_t saved[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ::SetCurrentDirectoryW(pe.Path().c_str());
    ExpectOnly(RS_019, B1Click);
    MakeFolders(pe / L"PEOut");
    EXPECT_EQ(Opened(B1Click), Quoted(L"PEOut\\"));
    ::SetCurrentDirectoryW(saved);
    ExpectOnly(RS_019, B1Click);
}

// A damaged value is named once, removed, and read as unset: the command goes on with
// no folder.
TEST_F(FolderCommands, AFolderStoredAsANumberIsReportedOnceAndReadAsUnset)
{
    WriteRegInteger(OwnKey(), L"source", 5);
    view.selected = 1;
    prompt.messages.clear();
    U1Click(view, settings);
    ASSERT_EQ(prompt.messages.size(), 2u);
    EXPECT_NE(prompt.messages[0].text.find(L"PEBuilder\\source"), std::wstring::npos);
    EXPECT_EQ(prompt.messages[1], (PromptMessage{L"Error", Str(RS_018), Str(RS_100)}));
    EXPECT_FALSE(RegValueExists(OwnKey(), L"source"));
}

TEST_F(FolderCommands, TheLogOpensInTheEditorWhenPEBuilderHasWrittenIt)
{
    ExpectOnly(RS_022, O2Click);

    const std::wstring log = settings.PEBuilder + L"\\pebuilder.log";
    WriteBytes(log, "PE Builder log\r\n");
    settings.TextEditor = BinFolder() + L"\\notepad.exe";
    settings.TE_WAIT = true;  // the editor has ended when the command returns
    size_t before = starts.Now().size();
    O2Click(view, settings);
    std::vector<RecordedStart> now = starts.Now();
    ASSERT_EQ(now.size(), before + 1);
    EXPECT_EQ(now.back(), (RecordedStart{L"notepad.exe", Quoted(log)}));
}

TEST_F(FolderCommands, WithoutAnEditorTheLogGoesToNotepad)
{
    // A bare "notepad.exe" is looked for beside this program first, where a recorder is.
    WriteBytes(settings.PEBuilder + L"\\pebuilder.log", "log\r\n");
    settings.TextEditor.clear();
    O2Click(view, settings);
    std::vector<RecordedStart> now = starts.WaitFor(1);
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0], (RecordedStart{L"notepad.exe", Quoted(settings.PEBuilder + L"\\pebuilder.log")}));
}

TEST_F(FolderCommands, AnEditorThatCannotStartIsAnError)
{
    WriteBytes(settings.PEBuilder + L"\\pebuilder.log", "log\r\n");
    settings.TextEditor = pe / L"no editor.exe";
    ExpectErrorNaming(L"no editor.exe", O2Click);
}

TEST_F(FolderCommands, HelpAsksForTheFinderOfTheHelpFileBesideTheProgram)
{
    // The viewer is running already, as after the user's first look at the help. When
    // none runs, Wine's WinHelp starts one and looks for its window once, which on a
    // loaded machine can come before the window does: that start is the help system's.
    const std::wstring viewer = L"\"" + BinFolder() + L"\\winhlp32.exe\" -x";
    ChildProcess running = StartProcess(viewer);
    for (int i = 0; i < 1000 && !::FindWindowW(L"MS_WINHELP", nullptr); ++i) ::Sleep(10);
    ASSERT_TRUE(::FindWindowW(L"MS_WINHELP", nullptr));

    H2Click(nullptr);
    EXPECT_EQ(WaitForProcess(running, viewer), 0u);  // it ends once it has the request
    std::vector<RecordedStart> now = starts.Now();
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0], (RecordedStart{L"winhlp32.exe", L"HELP 11 0 " + ChangeFileExt(ExecutablePath(), L".hlp")}));
}
