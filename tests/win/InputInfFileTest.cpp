// input.inf and Plugin_Builder.ini on real files, with presets in the real registry
// of this test's own Wine prefix (ANSI code page 932).
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/Installation.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring kSettings = kProfilesKey + L"\\p\\Preset\\mine\\PEBuilder";

class InputInfFile : public ::testing::Test {
protected:
    TCurrentSettings settings;  // this test's own profile settings

    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        settings.ProfileKeySuffix = L"\\p";
        settings.PEBuilder = pe_.Path();
        settings.PEB_VER = 0;
    }
    void TearDown() override { EraseRegKey(kProgramKey); }

    std::wstring Inf() const { return InputInfPath(pe_.Path()); }
    std::string InfText() const { return ReadBytes(Inf()); }

    ScratchFolder pe_;
};

}  // namespace

TEST_F(InputInfFile, EffectiveOutDirUsesTheProfilesFolderAndClass)
{
    EXPECT_EQ(EffectiveOutDir(settings, Inf()), L"");
    settings.PEB_VER = 1;
    EXPECT_EQ(EffectiveOutDir(settings, Inf()), pe_.Path() + L"\\");

    WriteBytes(Inf(), Ansi(L"[input]\r\noutdir=出力 \\\r\nuseAbsoluteOutput=1\r\n"));
    EXPECT_EQ(EffectiveOutDir(settings, Inf()), pe_.Path() + L"\\出力");
    settings.PEB_VER = 0;
    EXPECT_EQ(EffectiveOutDir(settings, Inf()), L"出力");
    settings.PEB_VER = 3;
    EXPECT_EQ(EffectiveOutDir(settings, Inf()), pe_.Path());
}

TEST_F(InputInfFile, CopyWritesTheKeysOfTheClassAndLeavesTheRest)
{
    settings.PEB_VER = 1;
    WriteRegString(kSettings, L"source", L"D:\\ソース\\");
    WriteRegString(kSettings, L"outdir", L"PEOutput\\");
    WriteRegString(kSettings, L"isofile", L"C:\\iso\\pe.iso");
    WriteRegString(kSettings, L"customdir", L"");
    WriteRegInteger(kSettings, L"buildiso", 1);
    WriteRegString(kSettings, L"verbose", L"1");  // integers stored as text count too
    WriteRegInteger(kSettings, L"skipfiles", 0);
    WriteRegInteger(kSettings, L"skipregistry", 1);
    WriteRegInteger(kSettings, L"burncd", 0);  // not PE Builder 3.0.33's
    WriteRegString(kSettings, L"device", L"0,1,0");
    WriteBytes(Inf(),
               "; PE Builder\r\n[input]\r\nsource = C:\\old\\\r\nburncd=1\r\nwhattodo=2\r\n\r\n[other]\r\nx = y\r\n");

    CopyPresetSettingsToInputInf(settings, kSettings, Inf(), pe_.Path());
    EXPECT_EQ(InfText(), Ansi(L"[input]\r\nsource=D:\\ソース\\\r\nburncd=1\r\nwhattodo=2\r\noutdir=PEOutput\\\r\n"
                              L"isofile=C:\\iso\\pe.iso\r\ncustomdir=\r\nbuildiso=1\r\nverbose=1\r\nskipfiles=0\r\n"
                              L"skipregistry=1\r\n\r\n[other]\r\nx=y\r\n\r\n"));
}

TEST_F(InputInfFile, MissingOutdirTakesTheCallersDefault)
{
    WriteRegString(kSettings, L"source", L"D:\\");
    CopyPresetSettingsToInputInf(settings, kSettings, Inf(), pe_.Path());
    EXPECT_EQ(InfText(), Ansi(L"[input]\r\nsource=D:\\\r\noutdir=" + pe_.Path() +
                              L"\r\nisofile=\r\ncustomdir=\r\nbuildiso=0\r\nverbose=0\r\n\r\n"));
    CopyPresetSettingsToInputInf(settings, kSettings, Inf(), L"", CopyOrder::IsoRun);
    EXPECT_EQ(InfText(),
              "[input]\r\nsource=D:\\\r\noutdir=\r\nisofile=\r\ncustomdir=\r\nbuildiso=0\r\nverbose=0\r\n\r\n");
}

TEST_F(InputInfFile, CopyOfTheNewestClassFillsEveryKey)
{
    settings.PEB_VER = 3;
    WriteRegString(kSettings, L"volumeid", L"TOVIPE");
    WriteRegInteger(kSettings, L"blankcdrw", 1);
    const std::string tail =
        "burncd=0\r\ndevice=\r\nblankcdrw=1\r\nISOduplicatesonce=0\r\nvolumeid=TOVIPE\r\n"
        "useAbsoluteOutput=0\r\nfulloutdir=" +
        Ansi(pe_.Path()) + "\r\n\r\n";
    const std::string head =
        "[input]\r\nsource=\r\noutdir=out\\\r\nisofile=\r\ncustomdir=\r\nbuildiso=0\r\n"
        "verbose=0\r\nskipfiles=0\r\nskipregistry=0\r\n";
    CopyPresetSettingsToInputInf(settings, kSettings, Inf(), L"out\\");
    EXPECT_EQ(InfText(), head + tail);

    // The ISO run lands blankcdrw before device when both are new.
    ASSERT_TRUE(::DeleteFileW(Inf().c_str()));
    CopyPresetSettingsToInputInf(settings, kSettings, Inf(), L"out\\", CopyOrder::IsoRun);
    std::string isoTail = tail;
    isoTail.replace(isoTail.find("device=\r\nblankcdrw=1"), 20, "blankcdrw=1\r\ndevice=");
    EXPECT_EQ(InfText(), head + isoTail);
}

TEST_F(InputInfFile, CopyIntoAFolderThatIsMissingFails)
{
    EXPECT_THROW(CopyPresetSettingsToInputInf(settings, kSettings, pe_ / L"gone\\input.inf", L""), AppError);
}

TEST_F(InputInfFile, TogglesByClass)
{
    const std::string start = "[input]\r\nskipfiles=1\r\nburncd=1\r\nbuildiso=0\r\n\r\n";
    WriteBytes(Inf(), start);
    WriteCustomToggles(settings, Inf(), {0, 1});
    EXPECT_EQ(InfText(), "[input]\r\nskipfiles=1\r\nburncd=1\r\nbuildiso=1\r\n\r\n");

    settings.PEB_VER = 1;
    WriteBytes(Inf(), start);
    WriteCustomToggles(settings, Inf(), {1, 0, 1});
    EXPECT_EQ(InfText(), "[input]\r\nskipfiles=1\r\nburncd=1\r\nbuildiso=1\r\nskipregistry=0\r\n\r\n");

    settings.PEB_VER = 2;
    WriteBytes(Inf(), start);
    WriteCustomToggles(settings, Inf(), {0, 1, 0, 0});
    EXPECT_EQ(InfText(), "[input]\r\nskipfiles=0\r\nburncd=0\r\nbuildiso=0\r\nskipregistry=1\r\n\r\n");

    settings.PEB_VER = 3;
    EXPECT_THROW(WriteCustomToggles(settings, Inf(), {1, 1, 1}), AppError);
}

TEST_F(InputInfFile, PluginBuilderSettingsOnlyWhereTheFileExists)
{
    ScratchFolder plb;
    const std::wstring ini = PluginBuilderIniPath(plb.Path());
    EXPECT_FALSE(WritePluginBuilderSetting(plb.Path(), kPluginPathKey, L"C:\\pe\\Plugin"));
    EXPECT_FALSE(FileExists(ini));
    EXPECT_FALSE(WritePluginBuilderSetting(L"", kPluginPathKey, L"C:\\pe\\Plugin"));

    WriteBytes(ini, "[System]\r\nLanguage = Japanese\r\n");
    EXPECT_TRUE(WritePluginBuilderSetting(plb.Path(), kPluginPathKey, L"C:\\ぺ\\Plugin"));
    EXPECT_TRUE(WritePluginBuilderSetting(plb.Path() + L"\\", kSourcePathKey, L"D:\\"));
    EXPECT_EQ(ReadBytes(ini),
              Ansi(L"[System]\r\nLanguage=Japanese\r\nPluginPath=C:\\ぺ\\Plugin\r\nSourcePath=D:\\\r\n\r\n"));
}
