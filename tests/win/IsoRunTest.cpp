// The ISO command and the template's file wrapper against a scratch PE Builder
// installation: the mkisofs stand-in makes real images, the simulator records.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/IsoRun.h"
#include "tests/support/ScratchInstallation.h"
#include "tests/support/ScriptedPrompt.h"

namespace {

const std::wstring kPresetKey = kProfilesKey + L"\\Test\\Preset\\Own";

class IsoRun : public ::testing::Test {
protected:
    TCurrentSettings settings;  // this test's own profile settings

    void SetUp() override
    {
        settings = pe.MakeCurrentProfile();
        settings.PEB_VER = 2;
        settings.ISOParams = L"-auto -exit";
        settings.UseExtProgram_ISO = true;
        WriteBytes(pe.Path(L"PEOutput\\bootsect.bin"), std::string(2048, '\x90'));
        WriteBytes(pe.Path(L"PEOutput\\i386\\winnt.sif"), "[Data]\r\n");
        WriteInf(pe.IsoFolder() + L"\\pe.iso");
    }
    void TearDown() override
    {
        WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
        EndProgram(pe.Path(L"pebuilder.exe"));
        EraseRegKey(kProgramKey);
    }

    void WriteInf(const std::wstring& isofile, const std::wstring& source = L"")
    {
        pe.WriteInputInf(L"[input]\r\nsource=" + (source.empty() ? pe.Source() : source) +
                         L"\\\r\noutdir=PEOutput\\\r\n"
                         L"isofile= " +
                         isofile + L" \r\nbuildiso=0\r\nburncd=0\r\nvolumeid=TESTPE\r\n");
    }

    static RunInputs LastBuild() { return RunInputs{0, Str(RS_001), false, {}}; }
    std::wstring Input(const wchar_t* key) const { return pe.ReadInputInf().ReadString(L"input", key, L"-"); }
    std::wstring Image() const { return pe.IsoFolder() + L"\\pe.iso"; }

    ScratchInstallation pe;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(IsoRun, ChecksComeBeforeTheQuestion)
{
    // Without build output as well, the ISO folder is still the first complaint.
    ::DeleteFileW(pe.Path(L"PEOutput\\bootsect.bin").c_str());
    for (const std::wstring& isofile : {std::wstring(L"pe.iso"), pe.Folder() + L"\\missing\\pe.iso", std::wstring()}) {
        SCOPED_TRACE(testing::PrintToString(isofile));
        WriteInf(isofile);
        prompt.messages.clear();
        ISO_PEBuilderExecute(settings, true, LastBuild(), prompt);
        EXPECT_EQ(prompt.messages,
                  (std::vector<PromptMessage>{{L"Error", Str(RS_012) + L"\r\n" + Str(RS_003), Str(RS_100)}}));
    }
    WriteInf(Image());
    prompt.messages.clear();
    ISO_PEBuilderExecute(settings, true, LastBuild(), prompt);
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Error", Str(RS_014), Str(RS_100)}}));
    EXPECT_FALSE(FileExists(Image()));
}

TEST_F(IsoRun, NoToTheQuestionChangesNothing)
{
    const std::string inf = pe.InputInfBytes();
    prompt.answers = {false};
    ISO_PEBuilderExecute(settings, true, RunInputs{0, Str(RS_001), true, {1, 1, 0, 1}}, prompt);
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Ask", Str(RS_015), Str(RS_103)}}));
    EXPECT_EQ(pe.InputInfBytes(), inf);
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    EXPECT_FALSE(FileExists(Image()));
}

TEST_F(IsoRun, ExternalProgramMakesABootableImageAfterTheCustomToggles)
{
    prompt.answers = {true};
    ISO_PEBuilderExecute(settings, true, RunInputs{0, Str(RS_001), true, {0, 1, 1, 0}}, prompt);
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(Input(L"skipregistry"), L"1");
    EXPECT_EQ(Input(L"skipfiles"), L"0");
    EXPECT_EQ(Input(L"buildiso"), L"1");
    EXPECT_EQ(Input(L"burncd"), L"0");
    EXPECT_EQ(Input(L"whattodo"), L"-");
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    ASSERT_TRUE(FileExists(Image()));
    EXPECT_TRUE(IsBootableIsoImage(ReadBytes(Image())));
}

TEST_F(IsoRun, WithoutSenderTheExternalProgramRunsWhateverTheSettingAndNothingIsAsked)
{
    settings.UseExtProgram_ISO = false;
    ISO_PEBuilderExecute(settings, false, LastBuild(), prompt);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(pe.Started());
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    ASSERT_TRUE(FileExists(Image()));
    EXPECT_TRUE(IsBootableIsoImage(ReadBytes(Image())));
}

TEST_F(IsoRun, ExternalProgramNeedsTheInstallSourceAfterTheQuestionAndTheToggles)
{
    WriteInf(Image(), pe.Folder() + L"\\nosource");
    prompt.answers = {true};
    ISO_PEBuilderExecute(settings, true, RunInputs{0, Str(RS_001), true, {0, 1, 1, 0}}, prompt);
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{
                                   {L"Ask", Str(RS_015), Str(RS_103)},
                                   {L"Error", Str(RS_016) + L"\r\n" + Str(RS_007), Str(RS_100)},
                               }));
    EXPECT_EQ(Input(L"skipregistry"), L"1");
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    EXPECT_FALSE(FileExists(Image()));
}

TEST_F(IsoRun, MissingExternalProgramIsReportedWithItsCommandLineFromInputInfAsAnswered)
{
    settings.ExternalProgram = L"\"@PEBuilder@\\nosuch.exe\" -o \"@IsoFile@\" \"@OutDir@\"";
    // The output folder is changed while the question is shown: the command takes the new one.
    prompt.whileAsking = [&] {
        pe.WriteInputInf(L"[input]\r\nsource=" + pe.Source() + L"\r\noutdir=Other\\\r\nisofile=" + Image() + L"\r\n");
    };
    prompt.answers = {true};
    try {
        ISO_PEBuilderExecute(settings, true, LastBuild(), prompt);
        FAIL() << "no error";
    } catch (const AppError& error) {
        const std::wstring command =
            L"\"" + pe.Folder() + L"\\nosuch.exe\" -o \"" + Image() + L"\" \"" + pe.Folder() + L"\\Other\"";
        EXPECT_NE(error.Message().find(command), std::wstring::npos) << error.what();
    }
}

TEST_F(IsoRun, PEBuilderPathWritesOutdirAndWhattodoAndNeverChecksTheSource)
{
    settings.UseExtProgram_ISO = false;
    settings.ISOParams = L"";
    WriteInf(Image(), pe.Folder() + L"\\nosource");
    prompt.answers = {true};
    ISO_PEBuilderExecute(settings, true, LastBuild(), prompt);
    EXPECT_EQ(prompt.messages.size(), 1u);
    ASSERT_TRUE(pe.Started());
    EXPECT_EQ(pe.Recorded(L"Run", L"CommandLine"), L"\"" + pe.Folder() + L"\\pebuilder.exe\" ");
    IniDocument start = pe.InputInfAtStart();
    EXPECT_EQ(start.ReadString(L"input", L"outdir", L"-"), L"PEOutput");
    EXPECT_EQ(start.ReadString(L"input", L"whattodo", L"-"), L"3");
    EXPECT_EQ(Input(L"whattodo"), L"3");
}

TEST_F(IsoRun, PresetSettingsAreCopiedWithAnEmptyDefaultOutdir)
{
    settings.PEB_VER = 0;
    WriteRegString(kPresetKey + L"\\PEBuilder", L"isofile", Image());
    WriteRegString(kPresetKey + L"\\PEBuilder", L"source", pe.Source() + L"\\");
    prompt.answers = {true};
    ISO_PEBuilderExecute(settings, true, RunInputs{1, L"Own", false, {}}, prompt);
    EXPECT_EQ(Input(L"outdir"), L"");
    // Class 0 takes the empty outdir as it stands, so no build output is found.
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Error", Str(RS_014), Str(RS_100)}}));
}

TEST_F(IsoRun, TemplateFileWrapperReadsInputInfOnce)
{
    settings.PEB_VER = 1;
    pe.WriteInputInf(L"[input]\r\noutdir=out \\\r\nisofile=C:\\iso\\x.iso\r\nvolumeid=@SourcePath@\r\nsource=D:\\\r\n");
    EXPECT_EQ(ExpandIsoTemplate(settings, L"@kitwright@|@OUTDIR@|@IsoFile@|@VolumeID@|@device@|@verbose@",
                                pe.InputInf()),
              BinFolder() + L"|" + pe.Folder() + L"\\out|C:\\iso\\x.iso|@SourcePath@||0");
    EXPECT_EQ(ExpandIsoTemplate(settings, L"@PEBuilder@\\@CustomDir@", pe.Path(L"missing.inf")),
              pe.Folder() + L"\\");
}
