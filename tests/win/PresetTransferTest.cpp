// Presets that travel: exported from one installation and imported into another whose
// PE Builder folder lies elsewhere, in-process through the commands and through the
// real Kitwright.exe's switches; plug-ins the other installation lacks, names taken,
// and files that are no preset files or are damaged.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/MainForm.h"
#include "app/PresetSwitchArgs.h"
#include "app/PresetTransferCommands.h"
#include "core/Files.h"
#include "core/Process.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetStore.h"
#include "pebuilder/PresetTransfer.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FormDriving.h"
#include "tests/support/RealInput.h"
#include "tests/support/ScratchInstallation.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/StubMainView.h"

namespace {

using Lines = std::vector<std::wstring>;

Lines Presets(const TCurrentSettings& settings) { return SortedSubKeys(PresetsKey(settings)); }

DWORD ValueType(const std::wstring& key, const std::wstring& name)
{
    DWORD type = REG_NONE;
    ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &type, nullptr, nullptr);
    return type;
}

// Handles the thread's messages until done(whether any came since the last call) holds,
// for at most 20 seconds.
void PumpUntil(const std::function<bool(bool)>& done)
{
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 20000;) {
        bool handled = false;
        for (MSG message; ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); handled = true)
            ::DispatchMessageW(&message);
        if (done(handled)) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Two installations in folders of their own: "Lab", where the preset "Net" is made, and
// "Home", which has its TCP/IP plug-in in another folder and no USB plug-in.
class PresetTransfer : public testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        lab = Profile(L"Lab", labFolder);
        home = Profile(L"Home", homeFolder);
        WriteRegString(kSystemKey, L"Profile", L"Lab");
        labFolder.WritePlugin(L"shell\\shell.inf", L"シェル", 1);
        labFolder.WritePlugin(L"net\\tcpip.inf", L"TCP/IP", 0);
        labFolder.WritePlugin(L"drivers\\usb\\usb.inf", L"USB Storage", 0);
        labFolder.WritePlugin(L"tools\\editor.inf", L"Editor", 0);
        homeFolder.WritePlugin(L"shell\\shell.inf", L"シェル", 0);
        homeFolder.WritePlugin(L"network\\tcpip\\tcpip.inf", L"TCP/IP", 0);
        homeFolder.WritePlugin(L"tools\\editor.inf", L"Editor", 0);
    }
    void TearDown() override { EraseRegKey(kProgramKey); }

    static TCurrentSettings Profile(const std::wstring& name, const ScratchInstallation& installation)
    {
        TCurrentSettings settings;
        settings.ProfileKeySuffix = L"\\" + name;
        settings.PEBuilder = installation.Folder();
        WriteRegString(ProfileKey(settings), L"PEBuilder", installation.Folder());
        return settings;
    }

    // "Net" in Lab: three plug-ins, one that is gone, and settings of its own.
    void MakeNet(bool withUsb) const
    {
        std::vector<std::wstring> keys = {L"Gone::gone\\", L"TCP/IP::net\\", L"シェル::shell\\"};
        if (withUsb) keys.push_back(L"USB Storage::drivers\\usb\\");
        SavePreset(lab, L"", L"Net", keys);
        const std::wstring own = PresetKey(lab, L"Net") + L"\\PEBuilder";
        WriteRegString(own, L"source", L"D:\\XP SP2\\");
        WriteRegString(own, L"isofile", labFolder.Folder() + L"\\out\\net.iso");
        WriteRegInteger(own, L"buildiso", 1);
        WriteRegString(own, L"skipfiles", L"0");  // a number as text, as older versions may have kept it
    }

    bool Import(const TCurrentSettings& into, ScriptedPrompt& prompt, std::vector<std::wstring> names = {})
    {
        StubMainView main;
        return ImportPresetFile(main, into, file, prompt, [&](const std::wstring& text, std::wstring& name) {
            asked.push_back(text);
            if (names.empty()) return false;
            name = names.front();
            names.erase(names.begin());
            return true;
        });
    }

    ScratchInstallation labFolder, homeFolder;
    ScratchFolder files;
    TCurrentSettings lab, home;
    const std::wstring file = files / L"net.kwpreset";
    Lines asked;  // the prompts of the name dialog
};

}  // namespace

TEST_F(PresetTransfer, ExportThenImportIntoAnotherInstallationKeepsPluginsAndSettings)
{
    MakeNet(false);
    ExportPreset(lab, L"Net", file);
    ScriptedPrompt prompt;
    ASSERT_TRUE(Import(home, prompt));

    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(ValueLines(PresetKey(home, L"Net")), (Lines{L"001=TCP/IP::network\\tcpip\\", L"002=シェル::shell\\"}));
    const std::wstring own = PresetKey(home, L"Net") + L"\\PEBuilder";
    EXPECT_EQ(ReadRegString(own, L"source", L"?"), L"D:\\XP SP2\\");
    EXPECT_EQ(ReadRegString(own, L"isofile", L"?"), homeFolder.Folder() + L"\\out\\net.iso");
    EXPECT_EQ(ValueType(own, L"buildiso"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ValueType(own, L"skipfiles"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRegInteger(own, L"buildiso", 0), 1);
    EXPECT_FALSE(RegValueExists(own, L"outdir"));  // never stored, so never made up
    // The file holds paths below the plug-in folder and nothing of the Lab's folder.
    const std::string bytes = ReadBytes(file);
    EXPECT_NE(bytes.find("net\\tcpip.inf|TCP/IP\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find(Ansi(labFolder.Folder())), std::string::npos);
    EXPECT_EQ(bytes.find("Gone"), std::string::npos);
}

TEST_F(PresetTransfer, MissingPluginsAreAskedAboutOnceAndATakenNameAsksForAnother)
{
    MakeNet(true);
    ExportPreset(lab, L"Net", file);
    SavePreset(home, L"", L"net", {L"Editor::tools\\"});  // the name, in another letter case

    // Yes to the question (No is the real question's test, below).
    ScriptedPrompt prompt;
    prompt.answers = {true};
    EXPECT_TRUE(Import(home, prompt, {L"net", L"none", L"  Net from Lab "}));
    EXPECT_EQ(
        prompt.messages,
        (std::vector<PromptMessage>{
            {L"Ask", Str(RS_708) + L"\r\n  USB Storage (drivers\\usb\\usb.inf)\r\n" + Str(RS_709), Str(RS_702)}}));
    // Asked while the name was taken or not valid; the name given is trimmed.
    EXPECT_EQ(asked, (Lines{Str(RS_303) + L"\r\n" + Str(RS_710), Str(RS_303) + L"\r\n" + Str(RS_710),
                            Str(RS_302) + L"\r\n" + Str(RS_710)}));
    EXPECT_EQ(Presets(home), (Lines{L"Net from Lab", L"net"}));
    EXPECT_EQ(ValueLines(PresetKey(home, L"Net from Lab")),
              (Lines{L"001=TCP/IP::network\\tcpip\\", L"002=シェル::shell\\"}));
    EXPECT_EQ(ValueLines(PresetKey(home, L"net")), (Lines{L"001=Editor::tools\\"}));
}

TEST_F(PresetTransfer, FilesThatAreNoPresetFilesOrAreDamagedAreRefusedNamingThemAndWriteNothing)
{
    MakeNet(false);
    ExportPreset(lab, L"Net", file);
    const std::string good = ReadBytes(file);
    struct Case {
        const char* what;
        std::string bytes;
        PresetFileProblem problem;
        std::wstring message;
    };
    const Case cases[] = {
        {"a registry export", "Windows Registry Editor Version 5.00\r\n", PresetFileProblem::NotPresetFile,
         L"「" + file + L"」はプリセットファイルではありません。"},
        {"empty", "", PresetFileProblem::NotPresetFile, L"「" + file + L"」はプリセットファイルではありません。"},
        {"cut short", good.substr(0, good.size() / 2), PresetFileProblem::Damaged,
         L"プリセットファイル「" + file + L"」は壊れています。\r\n("},
        {"a later version's", "[Kitwright preset]\r\nformat=7\r\n", PresetFileProblem::NewerFormat,
         L"プリセットファイル「" + file + L"」は新しいバージョンの形式です。"},
    };
    for (const Case& c : cases) {
        WriteBytes(file, c.bytes);
        ScriptedPrompt prompt;
        try {
            Import(home, prompt);
            ADD_FAILURE() << c.what << ": imported";
        } catch (const PresetFileRefused& refused) {
            EXPECT_EQ(refused.problem, c.problem) << c.what;
            EXPECT_TRUE(refused.Message().starts_with(c.message)) << c.what;
        }
        EXPECT_TRUE(prompt.messages.empty()) << c.what;
        EXPECT_FALSE(RegSubKeyExists(ProfileKey(home), L"Preset")) << c.what;
    }
}

TEST_F(PresetTransfer, SwitchesOfTheProgramExportAndImportWithAnExitCodeForEachOutcome)
{
    MakeNet(true);
    WriteBytes(files / L"damaged.kwpreset", "[Kitwright preset]\r\nformat=1\r\nname=X\r\n");
    struct Case {
        std::wstring arguments;
        int exitCode;
        std::string output;  // a piece of the console output
    };
    const std::wstring f = L" \"" + file + L"\"";
    const Case cases[] = {
        {L"/export Net" + f + L" /profile-name Lab", kPresetExitDone, "net.kwpreset"},
        {L"/export Net", kPresetExitUsage, "/export needs 2 value(s)."},
        {L"/export Net" + f + L" /profile-name Nowhere", kPresetExitNoProfile, "Nowhere"},
        {L"/export Elsewhere" + f, kPresetExitNoPreset, "Elsewhere"},
        {L"-IMPORT \"" + (files / L"damaged.kwpreset") + L"\" /profile-name Home", kPresetExitNotPresetFile,
         "damaged.kwpreset"},
        {L"/import" + f + L" /profile-name Home", kPresetExitMissingPlugins, "USB Storage (drivers\\usb\\usb.inf)"},
        {L"/import" + f + L" /profile-name Home /skip-missing", kPresetExitDone, "USB Storage"},
        {L"/import" + f + L" /profile-name Home /skip-missing", kPresetExitNameRefused, "/as"},
        {L"/import" + f + L" /profile-name Home /skip-missing /as none", kPresetExitNameRefused, "none"},
        {L"/import" + f + L" /profile-name Home /skip-missing /as \"Net 2\"", kPresetExitDone, "Net 2"},
    };
    for (const Case& c : cases) {
        const CapturedRun run =
            RunCaptured(L"\"" + BinFolder() + L"\\Kitwright.exe\" " + c.arguments, files.Path(), files / L"output.txt");
        EXPECT_EQ(static_cast<int>(run.exitCode), c.exitCode) << testing::PrintToString(c.arguments) << run.output;
        EXPECT_NE(run.output.find(c.output), std::string::npos) << testing::PrintToString(c.arguments) << run.output;
    }
    EXPECT_EQ(Presets(home), (Lines{L"Net", L"Net 2"}));
    EXPECT_EQ(ValueLines(PresetKey(home, L"Net 2")), (Lines{L"001=TCP/IP::network\\tcpip\\", L"002=シェル::shell\\"}));
    EXPECT_EQ(ReadRegString(PresetKey(home, L"Net 2") + L"\\PEBuilder", L"isofile", L""),
              homeFolder.Folder() + L"\\out\\net.iso");
    EXPECT_EQ(Presets(lab), (Lines{L"Net"}));
}

// Both also hold their window for scripts/screenshot when KW_SHOW_MS is set.
TEST_F(PresetTransfer, TheEditMenuEndsWithThePresetFileCommands)
{
    MakeNet(false);
    labFolder.WriteInputInf(L"[input]\r\n");
    TCurrentSettings settings;
    TMain_Form form(settings, MainCommands{});
    form.ShowMain();
    ASSERT_TRUE(form.Handle());
    form.SelectEntry(1);
    form.LB_Click();
    Lines items;
    DialogDriver menu(L"#32768", L"", [&](HWND popup) {
        HMENU shown = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(shown); ++i) {
            wchar_t text[64] = {};
            ::GetMenuStringW(shown, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            items.push_back(text);
        }
        HoldForScreenshot();
        for (int i = 0; i < 2; ++i) ::PostMessageW(form.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    // The form first handles what its showing brought, until its queue stays empty: the
    // window system's own events for it, if handled only inside the menu's loop, raise it
    // above the popup on the screen, though the popup is above it in the window list.
    ::SetForegroundWindow(form.Handle());
    PumpUntil([quiet = ::GetTickCount()](bool handled) mutable {
        if (handled) quiet = ::GetTickCount();
        return ::GetTickCount() - quiet >= 200;
    });
    // Then a real click on 編集 in the menu bar: the menu's own loop, inside the dispatch
    // of the click, drops the popup down and tracks it until the driver closes it.
    RECT bar{};
    ::GetMenuItemRect(form.Handle(), form.MainMenu1, 1, &bar);
    const POINT edit{(bar.left + bar.right) / 2, (bar.top + bar.bottom) / 2};
    Mouse(edit, MOUSEEVENTF_LEFTDOWN);
    Mouse(edit, MOUSEEVENTF_LEFTUP);
    PumpUntil([&](bool) { return menu.Acted(); });
    EXPECT_TRUE(menu.Acted());
    EXPECT_EQ(items, (Lines{L"追加(&A)", L"編集(&E)", L"削除(&D)", L"", L"エクスポート(&X)...", L"インポート(&I)..."}));
    form.Close_ApplicationExecute();
}

TEST_F(PresetTransfer, TheMissingPluginsAreOneRealQuestionAndNoImportsNothing)
{
    MakeNet(true);
    ExportPreset(lab, L"Net", file);
    std::wstring text;
    DialogDriver box(L"#32770", Str(RS_702), [&](HWND question) {
        text = MessageBoxText(question);
        HoldForScreenshot();
        ::PostMessageW(::GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
    });
    MessageBoxPrompt prompt(nullptr);
    StubMainView main;
    EXPECT_FALSE(ImportPresetFile(main, home, file, prompt, [](const std::wstring&, std::wstring&) { return false; }));
    EXPECT_TRUE(box.Acted());
    EXPECT_EQ(text, Str(RS_708) + L"\r\n  USB Storage (drivers\\usb\\usb.inf)\r\n" + Str(RS_709));
    EXPECT_FALSE(RegSubKeyExists(ProfileKey(home), L"Preset"));
}
