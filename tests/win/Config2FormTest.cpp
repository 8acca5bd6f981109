// The PE Builder settings dialog as a real window driven by messages: the fields and
// their enabling by version class, the two forms of the output path, the OK checks in
// order with the focus on the field at fault, and the three save targets.
#include <windows.h>

#include <imm.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "core/Ini.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "dialogs/config2.h"
#include "tests/support/FormDriving.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/StubMainView.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring kPresetKey = kProfilesKey + L"\\Test\\Preset\\alpha";

bool Enabled(HWND control) { return ::IsWindowEnabled(control); }

class Config2Form : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));  // the drive list asks WMI
        EraseRegKey(kProgramKey);
        for (const wchar_t* folder : {L"PEB\\out", L"src", L"iso", L"custom"}) MakeFolders(dir / folder);
        settings.ProfileKeySuffix = L"\\Test";
        settings.PEBuilder = dir / L"PEB";
        view.entries = {L"[前回ビルド時の構成]", L"alpha"};
    }
    void TearDown() override { ::CoUninitialize(); }

    std::wstring Inf() const { return dir / L"PEB\\input.inf"; }
    void WriteInf(const std::wstring& text) { WriteBytes(Inf(), Ansi(text)); }
    IniDocument ReadInf() const { return IniDocument::Parse(Wide(ReadBytes(Inf()))); }
    std::wstring InfValue(const wchar_t* key) const { return ReadInf().ReadString(L"input", key, L"<none>"); }

    void Run(std::function<void(TConfig2_Form&)> action)
    {
        DriveCommandForm<TConfig2_Form>(
            L"TConfig2_Form", prompt, [&] { accepted = P2Click(view, settings); }, action);
    }

    ScratchFolder dir;
    TCurrentSettings settings;
    bool accepted = false;  // what the command answered
    StubMainView view;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(Config2Form, LastBuildEntryOfClass3SavesInputInfInOneRewrite)
{
    settings.PEB_VER = 3;
    WriteInf(L"[other]\r\nkeep=1\r\n[input]\r\nsource=" + dir / L"src\\" + L"\r\noutdir=out\\\r\nisofile=" +
             dir / L"iso\\pe.iso" + L"\r\nbuildiso=1\r\nuseAbsoluteOutput=0\r\nwhattodo=2\r\n");
    Run([&](TConfig2_Form& form) {
        // The volume ID is typed with the input method off; the file name keeps it.
        HIMC name = ::ImmGetContext(form.ED01), volume = ::ImmGetContext(form.ED02);
        EXPECT_NE(name, nullptr);
        EXPECT_EQ(volume, nullptr);
        if (name) ::ImmReleaseContext(form.ED01, name);
        if (volume) ::ImmReleaseContext(form.ED02, volume);
        EXPECT_FALSE(::IsWindowVisible(form.CHB03));
        EXPECT_EQ(Text(form.EE01.Handle()), dir / L"src");
        EXPECT_EQ(Text(form.EE03.Handle()), dir / L"iso");
        EXPECT_EQ(Text(form.ED01), L"pe.iso");
        EXPECT_TRUE(IsChecked(form.RB2));
        EXPECT_EQ(Text(form.EE02.Handle()), L"out");
        EXPECT_EQ(Text(form.Label2), L"ビルドファイル出力パス[PE Builderパスからのオフセット](&D):");

        Click(form.RB1);
        EXPECT_EQ(Text(form.EE02.Handle()), dir / L"PEB\\out");
        EXPECT_EQ(Text(form.Label2), L"ビルドファイル出力パス(&D):");
        Click(form.RB1);  // already chosen: nothing changes
        EXPECT_EQ(Text(form.EE02.Handle()), dir / L"PEB\\out");
        Click(form.RB2);
        EXPECT_EQ(Text(form.EE02.Handle()), L"out");
        Click(form.RB1);

        // The test prefix has D: as a CD drive without SCSI numbers.
        EXPECT_EQ(::SendMessageW(form.CB01, CB_GETCURSEL, 0, 0), 0);
        EXPECT_FALSE(Enabled(form.CHB07));
        Click(form.CHB06);
        EXPECT_TRUE(Enabled(form.CHB07));
        Click(form.CHB07);
        Type(form.ED02, L"abc");
        Click(form.Button1);
    });
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_TRUE(accepted);
    EXPECT_EQ(view.calls, std::vector<std::wstring>{L"LB_Click"});

    IniDocument inf = ReadInf();
    EXPECT_EQ(inf.ReadString(L"other", L"keep", L""), L"1");
    EXPECT_EQ(InfValue(L"source"), dir / L"src\\");
    EXPECT_EQ(InfValue(L"outdir"), dir / L"PEB\\out\\");
    EXPECT_EQ(InfValue(L"fulloutdir"), dir / L"PEB\\out\\");
    EXPECT_EQ(InfValue(L"useAbsoluteOutput"), L"1");
    EXPECT_EQ(InfValue(L"isofile"), dir / L"iso\\pe.iso");
    EXPECT_EQ(InfValue(L"customdir"), L"");
    EXPECT_EQ(InfValue(L"burncd"), L"1");
    EXPECT_EQ(InfValue(L"blankcdrw"), L"1");
    EXPECT_EQ(InfValue(L"device"), L"255,255,255");
    EXPECT_EQ(InfValue(L"volumeid"), L"ABC");
    EXPECT_EQ(InfValue(L"whattodo"), L"2") << "a key the dialog does not show stays";
}

TEST_F(Config2Form, Class2UntickingTheIsoBoxClearsTheCdGroupAndCancelWritesNothing)
{
    settings.PEB_VER = 2;
    WriteInf(L"[input]\r\nbuildiso=1\r\nburncd=1\r\nblankcdrw=1\r\nISOduplicatesonce=1\r\nvolumeid=PE\r\n");
    const std::string before = ReadBytes(Inf());
    Run([&](TConfig2_Form& form) {
        EXPECT_TRUE(IsChecked(form.CHB06) && IsChecked(form.CHB07) && IsChecked(form.CHB08));
        EXPECT_FALSE(Enabled(form.RB1) || Enabled(form.RB2));
        EXPECT_TRUE(Enabled(form.CHB04) && Enabled(form.ED02));
        Click(form.CHB01);
        for (HWND box : {form.CHB06, form.CHB07, form.CHB08}) {
            EXPECT_FALSE(IsChecked(box));
            EXPECT_FALSE(Enabled(box));
        }
        EXPECT_FALSE(Enabled(form.ED02));
        EXPECT_TRUE(Enabled(form.CB01)) << "the drive list stays";
        Click(form.CHB01);
        EXPECT_TRUE(Enabled(form.CHB06));
        EXPECT_FALSE(Enabled(form.CHB07)) << "blanking waits for burning";
        Click(form.Button2);
    });
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(ReadBytes(Inf()), before);
}

TEST_F(Config2Form, LowerClassesOfferOnlyTheirFields)
{
    for (int cls : {0, 1}) {
        settings.PEB_VER = static_cast<uint8_t>(cls);
        Run([&](TConfig2_Form& form) {
            EXPECT_EQ(IsChecked(form.RB1), cls == 0);
            EXPECT_EQ(IsChecked(form.RB2), cls == 1);
            EXPECT_FALSE(Enabled(form.RB1));
            EXPECT_EQ(Enabled(form.CHB04), cls == 1);
            EXPECT_EQ(Enabled(form.CHB05), cls == 1);
            for (HWND control : {form.CHB06, form.CHB07, form.CHB08, form.ED02, form.CB01})
                EXPECT_FALSE(Enabled(control));
            EXPECT_EQ(::SendMessageW(form.CB01, CB_GETCOUNT, 0, 0), 0);
            Click(form.Button2);
        });
    }
}

TEST_F(Config2Form, OkChecksTheFieldsInOrderWithTheFocusOnTheFaultyOne)
{
    settings.PEB_VER = 1;
    std::vector<HWND> focus;
    Run([&](TConfig2_Form& form) {
        auto ok = [&] {
            Click(form.Button1);
            focus.push_back(FocusOf(form.Handle()));
        };
        Type(form.EE04.Handle(), dir / L"nope");
        ok();
        Type(form.EE01.Handle(), dir / L"src");
        ok();
        Type(form.EE02.Handle(), L"out");
        ok();
        Type(form.EE03.Handle(), dir / L"iso");
        ok();
        Type(form.ED01, L"pe.iso");
        ok();
        Type(form.EE04.Handle(), L" ");
        Click(form.Button1);
        EXPECT_EQ(focus, (std::vector<HWND>{form.EE01.Handle(), form.EE02.Handle(), form.EE03.Handle(), form.ED01,
                                            form.EE04.Handle()}));
    });
    std::vector<PromptMessage> expected;
    for (StringId id : {RS_401, RS_402, RS_403, RS_404, RS_405}) expected.push_back({L"Error", Str(id), Str(RS_100)});
    EXPECT_EQ(prompt.messages, expected);
    EXPECT_TRUE(accepted);
    EXPECT_EQ(InfValue(L"outdir"), L"out\\");
    EXPECT_EQ(InfValue(L"customdir"), L"");
    EXPECT_EQ(InfValue(L"skipfiles"), L"0");
    EXPECT_EQ(InfValue(L"burncd"), L"<none>") << "a class 2 key";
}

TEST_F(Config2Form, APresetTakesOwnSettingsAndGivesThemUp)
{
    settings.PEB_VER = 1;
    WriteRegString(kPresetKey, L"001", L"Tool::tool\\");
    WriteInf(L"[input]\r\nsource=" + dir / L"src\\" + L"\r\noutdir=out\\\r\nisofile=" + dir / L"iso\\pe.iso" +
             L"\r\nverbose=1\r\n");
    const std::string inf = ReadBytes(Inf());
    view.selected = 1;

    Run([&](TConfig2_Form& form) {
        EXPECT_TRUE(::IsWindowVisible(form.CHB03));
        EXPECT_FALSE(IsChecked(form.CHB03));
        EXPECT_EQ(Text(form.EE01.Handle()), dir / L"src");
        Click(form.CHB03);
        Click(form.CHB05);
        Click(form.Button1);
    });
    const std::wstring own = kPresetKey + L"\\PEBuilder";
    EXPECT_EQ(ReadRegString(own, L"source", L""), dir / L"src\\");
    EXPECT_EQ(ReadRegString(own, L"outdir", L""), L"out\\");
    EXPECT_EQ(ReadRegInteger(own, L"verbose", -1), 1);
    EXPECT_EQ(ReadRegInteger(own, L"skipregistry", -1), 1);
    EXPECT_EQ(ReadRegInteger(own, L"skipfiles", -1), 0);
    EXPECT_FALSE(RegValueExists(own, L"burncd"));
    EXPECT_EQ(ReadBytes(Inf()), inf);

    // Reopened: the preset's own values; cleared, they are gone and input.inf is as it was.
    WriteRegString(own, L"outdir", L"own\\");
    MakeFolders(dir / L"PEB\\own");
    Run([&](TConfig2_Form& form) {
        EXPECT_TRUE(IsChecked(form.CHB03));
        EXPECT_EQ(Text(form.EE02.Handle()), L"own");
        Click(form.CHB03);
        Click(form.Button1);
    });
    EXPECT_FALSE(RegSubKeyExists(kPresetKey, L"PEBuilder"));
    EXPECT_TRUE(RegValueExists(kPresetKey, L"001"));
    EXPECT_EQ(ReadBytes(Inf()), inf);
    EXPECT_TRUE(accepted);
}
