// Start-up: the reset, the migration and the profile chooser through the real
// executable, the chooser step in-process with a scripted chooser.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/Startup.h"
#include "core/Error.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "tests/support/ChooserDriver.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring K = kProgramKey;
const std::wstring kDefaultProfile = kProfilesKey + L"\\デフォルト";

class Startup : public ::testing::Test {
protected:
    void SetUp() override { EraseRegKey(K); }
    void TearDown() override { EraseRegKey(K); }

    static std::wstring Exe() { return L"\"" + BinFolder() + L"\\Kitwright.exe\""; }

    // Runs the program and closes every window it opens (the main window, or a
    // settings dialog of a first start), as a user would; its exit code.
    static DWORD RunClosingWindows(const std::wstring& commandLine)
    {
        ChildProcess child = StartChild(commandLine);
        return CloseWindowsUntilExit(child);
    }

    // Runs the program, answers the notice it shows and returns the notice's caption
    // and text.
    static std::pair<std::wstring, std::wstring> RunAndAnswerNotice(const std::wstring& commandLine)
    {
        ChildProcess child = StartChild(commandLine);
        HWND box = WaitForWindow(child.id, L"#32770");
        if (!box) {
            WaitForExit(child, 1);
            return {};
        }
        std::pair<std::wstring, std::wstring> notice{WindowText(box), MessageBoxText(box)};
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(WaitForExit(child), 0u);
        return notice;
    }
};

}  // namespace

TEST_F(Startup, ResetSwitchErasesEverythingAndSaysSo)
{
    for (const wchar_t* form : {L" -I", L" /i", L" /I", L" -I -profile", L" x /i"}) {
        WriteRegString(kDefaultProfile + L"\\Preset\\P", L"001", L"Tool::tool\\");
        WriteRegBool(kSystemKey, L"ShowProfileList", true);
        auto [caption, text] = RunAndAnswerNotice(Exe() + form);
        EXPECT_EQ(caption, L"Kitwright") << form;
        EXPECT_EQ(text, L"環境を初期化しました") << form;
        EXPECT_FALSE(RegSubKeyExists(L"Software\\Vesmor", L"Kitwright")) << form;
    }
}

TEST_F(Startup, WordsThatOnlyLookLikeTheResetSwitchDoNothing)
{
    WriteRegString(kSystemKey, L"Profile", L"Mine");
    WriteRegString(kProfilesKey + L"\\Mine", L"PEBuilder", L"C:\\pe");
    for (const wchar_t* form : {L" -Init", L" I", L" -Install", L" --I"}) {
        EXPECT_EQ(RunClosingWindows(Exe() + form), 0u) << form;
        EXPECT_EQ(ReadRegString(kProfilesKey + L"\\Mine", L"PEBuilder", L""), L"C:\\pe") << form;
        EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"デフォルト")) << form;
    }
}

TEST_F(Startup, FirstStartCreatesTheDefaultProfile)
{
    EXPECT_EQ(RunClosingWindows(Exe()), 0u);
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"デフォルト");
    EXPECT_EQ(ReadRegString(kDefaultProfile, L"PEBuilder", L"x"), L"");
    EXPECT_TRUE(RegValueExists(kDefaultProfile, L"PEB_WAIT"));
    EXPECT_FALSE(ReadRegBool(kDefaultProfile, L"PEB_WAIT", true));
    EXPECT_EQ(ReadRegInteger(kDefaultProfile, L"PEB_VER", -1), 0);
    EXPECT_FALSE(RegValueExists(kSystemKey, L"ShowProfileList"));
    // The migration wrote UseMKISOFS true; the main window's first load turned it into
    // UseExtProgram_ISO.
    EXPECT_FALSE(RegValueExists(kDefaultProfile, L"UseMKISOFS"));
    EXPECT_TRUE(ReadRegBool(kDefaultProfile, L"UseExtProgram_ISO", false));
}

TEST_F(Startup, OldSingleProfileSettingsMoveIntoTheDefaultProfile)
{
    WriteRegString(kSystemKey, L"PEBuilder", L"C:\\pebuilder\\");
    WriteRegBool(kSystemKey, L"PEB_WAIT", true);
    WriteRegBool(kSystemKey, L"UseMKISOFS", false);
    WriteRegString(kSystemKey, L"RemoveFiles", L"whatever");
    WriteRegString(K + L"\\Preset\\Base", L"001", L"Base::base\\");
    WriteRegInteger(K + L"\\Preset\\Base\\PEBuilder", L"buildiso", 1);
    WriteRegInteger(K + L"\\Preset", L"Height", 500);

    EXPECT_EQ(RunClosingWindows(Exe()), 0u);
    EXPECT_EQ(ReadRegString(kDefaultProfile, L"PEBuilder", L""), L"C:\\pebuilder");
    EXPECT_TRUE(ReadRegBool(kDefaultProfile, L"PEB_WAIT", false));
    EXPECT_FALSE(ReadRegBool(kDefaultProfile, L"UseExtProgram_ISO", true));  // was UseMKISOFS
    EXPECT_EQ(ReadRegString(kDefaultProfile + L"\\Preset\\Base", L"001", L""), L"Base::base\\");
    EXPECT_EQ(ReadRegInteger(kDefaultProfile + L"\\Preset\\Base\\PEBuilder", L"buildiso", 0), 1);
    EXPECT_EQ(ReadRegInteger(kDefaultProfile + L"\\Preset", L"Height", 0), 500);
    EXPECT_FALSE(RegSubKeyExists(K, L"Preset"));
    for (const wchar_t* old : {L"PEBuilder", L"PEB_WAIT", L"UseMKISOFS", L"RemoveFiles"})
        EXPECT_FALSE(RegValueExists(kSystemKey, old)) << old;
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"デフォルト");
}

TEST_F(Startup, LanguageFileNamesTheDefaultProfileAndWordsTheNotice)
{
    ScratchFolder folder;
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"\\Kitwright.exe").c_str(), (folder / L"Kitwright.exe").c_str(), FALSE));
    WriteBytes(folder / L"Kitwright.rsl", "[Strings]\r\nRS_601=Default\r\nRS_501 = Settings reset\r\n");
    std::wstring exe = L"\"" + (folder / L"Kitwright.exe") + L"\"";

    EXPECT_EQ(RunClosingWindows(exe), 0u);
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"Default");
    EXPECT_TRUE(RegSubKeyExists(kProfilesKey, L"Default"));

    auto [caption, text] = RunAndAnswerNotice(exe + L" /I");
    EXPECT_EQ(text, L"Settings reset");

    // A name blanked out by the file falls back to the built-in one.
    WriteBytes(folder / L"Kitwright.rsl", "[Strings]\r\nRS_601=\r\n");
    EXPECT_EQ(RunClosingWindows(exe), 0u);
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"デフォルト");
    EXPECT_TRUE(RegValueExists(kDefaultProfile, L"PEB_VER"));
    EXPECT_FALSE(RegValueExists(kProfilesKey, L"PEB_VER"));

    // So does one that would make nested keys.
    EraseRegKey(K);
    WriteBytes(folder / L"Kitwright.rsl", "[Strings]\r\nRS_601=A\\B\r\n");
    EXPECT_EQ(RunClosingWindows(exe), 0u);
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"デフォルト");
    EXPECT_TRUE(RegValueExists(kDefaultProfile, L"PEB_VER"));
    EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"A"));
}

namespace {

class ScriptedChooser : public ProfileChooser {
public:
    ScriptedChooser(bool ok, bool untick, std::wstring selected, int* freed)
        : ok_(ok), untick_(untick), selected_(std::move(selected)), freed_(freed)
    {
    }
    ~ScriptedChooser() override { ++*freed_; }
    void SetDoNotShowAtStart(bool checked) override
    {
        tickedAtShow = checked;
        checked_ = checked;
    }
    bool ShowModal() override
    {
        ++shown;
        if (untick_) checked_ = false;
        return ok_;
    }
    std::wstring SelectedProfile() const override { return selected_; }
    bool DoNotShowAtStart() const override
    {
        if (failOnCheckBoxRead) throw AppError(L"The check box cannot be read.");
        return checked_;
    }

    bool failOnCheckBoxRead = false;
    bool tickedAtShow = false;
    int shown = 0;

private:
    bool ok_, untick_, checked_ = false;
    std::wstring selected_;
    int* freed_;
};

}  // namespace

TEST_F(Startup, ChooserStepSavesTheChoiceOnlyOnStartAndTheCheckBoxAlways)
{
    WriteRegString(kSystemKey, L"Profile", L"Old");
    int freed = 0;
    {
        ScriptedChooser cancel(false, true, L"New", &freed);
        EXPECT_FALSE(RunChooserStep(cancel));
        EXPECT_TRUE(cancel.tickedAtShow);  // ShowProfileList was off
    }
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"Old");
    EXPECT_TRUE(ReadRegBool(kSystemKey, L"ShowProfileList", false));

    ScriptedChooser start(true, false, L"New", &freed);
    EXPECT_TRUE(RunChooserStep(start));
    EXPECT_FALSE(start.tickedAtShow);  // ShowProfileList is on now
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"New");
    EXPECT_TRUE(ReadRegBool(kSystemKey, L"ShowProfileList", false));
}

TEST_F(Startup, ProfileSwitchShowsTheChooserAndCancelOpensNoMainWindow)
{
    WriteRegString(kProfilesKey + L"\\A", L"PEBuilder", L"C:\\pe");
    int freed = 0, mainWindows = 0, chooserShows = 0;
    bool failing = false;
    auto run = [&](std::vector<std::wstring> args, bool ok) {
        StartupWindows windows;
        windows.createChooser = [&]() -> std::unique_ptr<ProfileChooser> {
            ++chooserShows;
            auto chooser = std::make_unique<ScriptedChooser>(ok, false, L"A", &freed);
            chooser->failOnCheckBoxRead = failing;
            return chooser;
        };
        windows.runMainWindow = [&] { ++mainWindows; };
        return RunStartup(args, windows);
    };

    EXPECT_EQ(run({L"k.exe"}, true), 0);
    EXPECT_EQ(chooserShows, 0);
    EXPECT_EQ(mainWindows, 1);

    EXPECT_EQ(run({L"k.exe", L"/PROFILE"}, false), 0);
    EXPECT_EQ(chooserShows, 1);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(mainWindows, 1);  // cancelled: no main window
    EXPECT_FALSE(ReadRegBool(kSystemKey, L"ShowProfileList", true));

    EXPECT_EQ(run({L"k.exe", L"-profile"}, true), 0);
    EXPECT_EQ(mainWindows, 2);
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"A");

    // ShowProfileList on brings the chooser without the switch. An error after Cancel is
    // reported, the chooser is freed and still no main window opens.
    WriteRegBool(kSystemKey, L"ShowProfileList", true);
    failing = true;
    {
        DialogDriver errorBox(L"#32770", L"エラー", [](HWND box) { ::PostMessageW(box, WM_COMMAND, IDOK, 0); });
        EXPECT_EQ(run({L"k.exe"}, false), 0);
        EXPECT_TRUE(errorBox.Acted());
    }
    EXPECT_EQ(chooserShows, 3);
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(mainWindows, 2);
}

TEST_F(Startup, FirstStartWithTheProfileSwitchOffersTheNewDefaultProfile)
{
    ChildProcess child = StartChild(Exe() + L" /PROFILE");
    ChooserControls c = WaitForChooser(child.id);
    ASSERT_NE(c.window, nullptr);
    Settle(c.window);
    EXPECT_EQ(::GetForegroundWindow(), c.window);
    EXPECT_EQ(ListItems(c.list), std::vector<std::wstring>{L"デフォルト"});
    EXPECT_EQ(ListSelection(c.list), 0);
    EXPECT_FALSE(::IsWindowEnabled(c.del));
    EXPECT_EQ(::SendMessageW(c.check, BM_GETCHECK, 0, 0), BST_CHECKED);  // ShowProfileList is off
    // Cleared and cancelled: shown at every later start, and no main window now.
    Press(c.check);
    Press(c.cancel);
    EXPECT_EQ(WaitForExit(child), 0u);
    EXPECT_TRUE(ReadRegBool(kSystemKey, L"ShowProfileList", false));
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"デフォルト");
    EXPECT_TRUE(RegSubKeyExists(kProfilesKey, L"デフォルト"));
}

TEST_F(Startup, ShowProfileListBringsTheChooserAndStartSavesTheChoice)
{
    WriteRegBool(kSystemKey, L"ShowProfileList", true);
    WriteRegString(kSystemKey, L"Profile", L"Work");
    WriteRegString(kProfilesKey + L"\\Alpha", L"PEBuilder", L"C:\\alpha");
    WriteRegString(kProfilesKey + L"\\Work", L"PEBuilder", L"C:\\work");
    WriteRegString(kProfilesKey + L"\\Work\\Preset\\Net", L"001", L"TCP::network\\tcpip\\");

    ChildProcess child = StartChild(Exe());
    ChooserControls c = WaitForChooser(child.id);
    ASSERT_NE(c.window, nullptr);
    EXPECT_EQ(ListItems(c.list), (std::vector<std::wstring>{L"Alpha", L"Work"}));
    EXPECT_EQ(ListSelection(c.list), 1);
    EXPECT_EQ(::SendMessageW(c.check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Press(c.add);
    Shown prompt = AnswerPrompt(child.id, L" Copy ");
    EXPECT_EQ(prompt.caption, L"プロファイルの追加");
    Settle(c.window);
    EXPECT_EQ(ListItems(c.list), (std::vector<std::wstring>{L"Alpha", L"Work", L"Copy"}));
    SelectItem(c.list, 0);
    Press(c.check);  // do not show at the next starts
    Press(c.start);
    EXPECT_EQ(CloseWindowsUntilExit(child), 0u);

    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"Alpha");
    EXPECT_FALSE(ReadRegBool(kSystemKey, L"ShowProfileList", true));
    EXPECT_EQ(ReadRegString(kProfilesKey + L"\\Copy", L"PEBuilder", L""), L"C:\\work");
    EXPECT_EQ(ReadRegString(kProfilesKey + L"\\Copy\\Preset\\Net", L"001", L""), L"TCP::network\\tcpip\\");
}
