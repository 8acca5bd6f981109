// The program settings dialog as a real window driven by messages: what OK saves and
// where, the refused OK with the focus on the PE Builder path, the external-program
// boxes and page, the version list's parameters, and Cancel writing nothing.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/Files.h"
#include "core/Ini.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Settings.h"
#include "dialogs/config.h"
#include "tests/support/FormDriving.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/StubMainView.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring kProfileKey = kProfilesKey + L"\\Test";

int TabCount(HWND tabs) { return static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)); }

void ChooseVersion(TConfig_Form& form, int index)
{
    ::SendMessageW(form.CB01, CB_SETCURSEL, index, 0);
    ::SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(form.CB01), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(form.CB01));
}

class ConfigForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        WriteBytes(dir / L"PEB\\pebuilder.exe", "MZ");
        settings.ProfileKeySuffix = L"\\Test";
        settings.PEBuilder = dir / L"PEB";
        view.entries = {L"[前回ビルド時の構成]", L"alpha", L"beta"};
        view.selected = 2;
    }

    // Runs P1Click; action drives the dialog from another thread, as a user would.
    void Run(std::function<void(TConfig_Form&)> action)
    {
        DriveCommandForm<TConfig_Form>(
            L"TConfig_Form", prompt, [&] { accepted = P1Click(view, settings); }, action);
    }

    ScratchFolder dir;
    TCurrentSettings settings;
    bool accepted = false;  // what the command answered
    StubMainView view;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(ConfigForm, OkSavesTheFieldsInMemoryInTheRegistryAndInPluginBuilder)
{
    WriteBytes(dir / L"PLB\\Plugin_Builder.exe", "MZ");
    WriteBytes(dir / L"PLB\\Plugin_Builder.ini", "[System]\r\nPluginPath=C:\\old\r\nSourcePath=C:\\src\r\n");
    WriteBytes(dir / L"ed\\edit.exe", "MZ");
    view.entriesAfterReload = {L"[前回ビルド時の構成]", L"Alpha2", L"BETA"};

    Run([&](TConfig_Form& form) {
        Type(form.EE01.Handle(), L"  " + dir / L"PEB\\ ");
        Type(form.EE02.Handle(), dir / L"PLB\\");
        Type(form.EE03.Handle(), L" " + dir / L"ed\\edit.exe ");
        Type(form.ED01, L"-typed");
        ChooseVersion(form, 2);
        EXPECT_EQ(Text(form.ED01), L"-auto -exit -overwrite");
        EXPECT_EQ(Text(form.ED02), L"-auto -exit");
        Type(form.ED02, L" -iso ");
        Click(form.CHB02);
        Click(form.CHB07);
        ::SendMessageW(form.Memo1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\"a.exe\"\r\n-o \"@IsoFile@\""));
        Click(form.Button1);
    });

    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings.PEBuilder, dir / L"PEB");
    EXPECT_EQ(settings.PluginBuilder, dir / L"PLB");
    EXPECT_EQ(settings.TextEditor, dir / L"ed\\edit.exe");
    EXPECT_EQ(settings.PEB_VER, 2);
    EXPECT_TRUE(settings.PEB_WAIT) << "the external program forces the wait";

    EXPECT_EQ(ReadRegString(kProfileKey, RegName::PEBuilder, L"?"), dir / L"PEB");
    EXPECT_EQ(ReadRegInteger(kProfileKey, RegName::PEB_WAIT, -1), 1);
    EXPECT_EQ(ReadRegInteger(kProfileKey, RegName::UseExtProgram_BLD, -1), 1);
    EXPECT_EQ(ReadRegInteger(kProfileKey, RegName::UseExtProgram_ISO, -1), 0);
    EXPECT_EQ(ReadRegInteger(kProfileKey, RegName::PEB_VER, -1), 2);
    EXPECT_EQ(ReadRegString(kProfileKey, RegName::BuildParams, L"?"), L"-auto -exit -overwrite");
    EXPECT_EQ(ReadRegString(kProfileKey, RegName::ISOParams, L"?"), L" -iso ") << "parameters keep their blanks";
    EXPECT_EQ(ReadRegString(kProfileKey, RegName::ExternalProgram, L"?"), L"\"a.exe\"\r\n-o \"@IsoFile@\"");
    EXPECT_EQ(ReadRegString(kSystemKey, RegName::PluginBuilder, L"?"), dir / L"PLB");
    EXPECT_EQ(ReadRegString(kSystemKey, RegName::TextEditor, L"?"), dir / L"ed\\edit.exe");
    EXPECT_EQ(ReadRegInteger(kSystemKey, RegName::PLB_WAIT, -1), 1);
    EXPECT_EQ(ReadRegInteger(kSystemKey, RegName::TE_WAIT, -1), 0);

    IniDocument ini = IniDocument::Parse(Wide(ReadBytes(dir / L"PLB\\Plugin_Builder.ini")));
    EXPECT_EQ(ini.ReadString(L"System", L"PluginPath", L""), dir / L"PEB\\Plugin");
    EXPECT_EQ(ini.ReadString(L"System", L"SourcePath", L""), L"C:\\src");

    // The selected preset is found again in the new list; the build buttons follow
    // pebuilder.exe; Wine's folder drives report NTFS, so the sort stays off.
    EXPECT_EQ(view.calls, (std::vector<std::wstring>{L"ReloadPresetList", L"SelectEntry 2", L"LB_Click",
                                                     L"SetBuildButtonsEnabled 1", L"SetPluginSortEnabled 0"}));
}

TEST_F(ConfigForm, AFolderWithoutPEBuilderIsRefusedWithTheFocusOnIt)
{
    settings.PEBuilder = dir / L"nothing";
    settings.TextEditor = L"notepad.exe";
    view.entriesAfterReload = {L"[前回ビルド時の構成]", L"alpha"};
    bool openAfterRefusal = false;
    HWND focus = nullptr;
    Run([&](TConfig_Form& form) {
        Type(form.EE02.Handle(), dir / L"PLB");  // no Plugin_Builder.exe there
        Click(form.Button1);
        openAfterRefusal = ::IsWindowVisible(form.Handle());
        focus = FocusOf(form.Handle());
        EXPECT_EQ(focus, form.EE01.Handle());
        Type(form.EE01.Handle(), dir / L"PEB");
        Click(form.Button1);
    });
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Error", Str(RS_202), Str(RS_100)}}));
    EXPECT_TRUE(accepted);
    // Emptied without a word: a Plugin Builder that is not there, an editor that is
    // not in the current folder. No Plugin_Builder.ini is made.
    EXPECT_EQ(settings.PluginBuilder, L"");
    EXPECT_EQ(settings.TextEditor, L"");
    EXPECT_FALSE(FileExists(dir / L"PLB\\Plugin_Builder.ini"));
    // The preset that was selected is gone: the first entry is selected.
    EXPECT_EQ(view.calls[1], L"SelectEntry 0");
}

TEST_F(ConfigForm, ExternalProgramBoxesForceTheWaitAndShowTheirPage)
{
    settings.BuildParams = L"-mine";
    Run([&](TConfig_Form& form) {
        EXPECT_EQ(TabCount(form.PC1), 3);
        EXPECT_TRUE(::IsWindowEnabled(form.CHB01));
        EXPECT_FALSE(IsChecked(form.CHB01));
        Click(form.CHB06);
        EXPECT_EQ(TabCount(form.PC1), 4);
        EXPECT_TRUE(IsChecked(form.CHB01));
        EXPECT_FALSE(::IsWindowEnabled(form.CHB01));
        Click(form.CHB07);
        Click(form.CHB06);
        EXPECT_EQ(TabCount(form.PC1), 4) << "one box is enough";
        Click(form.CHB07);
        EXPECT_EQ(TabCount(form.PC1), 3);
        EXPECT_TRUE(::IsWindowEnabled(form.CHB01));
        EXPECT_TRUE(IsChecked(form.CHB01)) << "clearing both leaves the wait ticked";

        // The oldest version keeps the parameters typed.
        ChooseVersion(form, 0);
        EXPECT_EQ(Text(form.ED01), L"-mine");
        Click(form.Button2);
    });
    EXPECT_FALSE(accepted);
}

TEST_F(ConfigForm, CancelWritesNothing)
{
    Run([&](TConfig_Form& form) {
        Type(form.EE01.Handle(), dir / L"elsewhere");
        Click(form.CHB01);
        ::PostMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(settings.PEBuilder, dir / L"PEB");
    EXPECT_FALSE(settings.PEB_WAIT);
    EXPECT_FALSE(RegSubKeyExists(kProgramKey, L"Profiles"));
    EXPECT_FALSE(RegSubKeyExists(kProgramKey, L"System"));
    EXPECT_TRUE(view.calls.empty());
}
