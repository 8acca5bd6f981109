// The build command against a scratch PE Builder installation: the PE Builder
// simulator records what it was given, the mkisofs stand-in makes real images.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/BuildRun.h"
#include "tests/support/ScratchInstallation.h"
#include "tests/support/ScriptedPrompt.h"

namespace {

const std::wstring kPresetKey = kProfilesKey + L"\\Test\\Preset\\Mine";

class BuildRun : public ::testing::Test {
protected:
    TCurrentSettings settings;  // this test's own profile settings

    void SetUp() override
    {
        settings = pe.MakeCurrentProfile();
        settings.PEB_VER = 1;
        settings.BuildParams = L"-auto -exit -overwrite";
        pe.WritePlugin(L"alpha\\alpha.inf", L"Alpha", 0);
        pe.WritePlugin(L"net\\beta\\beta.inf", L"Beta", 1);
        WriteRegString(kPresetKey, L"001", L"alpha::ALPHA\\");
        MakeFolders(pe.Path(L"PEOutput"));
        WriteClass1Inf(L"PEOutput\\");
    }
    void TearDown() override
    {
        EndProgram(pe.Path(L"pebuilder.exe"));
        WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
        EraseRegKey(kProgramKey);
    }

    void WriteClass1Inf(const std::wstring& outdir, const std::wstring& extra = L"")
    {
        pe.WriteInputInf(L"[input]\r\nsource=" + pe.Source() + L"\\\r\noutdir=" + outdir + L"\r\nisofile=" +
                         pe.IsoFolder() +
                         L"\\pe.iso\r\ncustomdir=\r\nbuildiso=0\r\nverbose=0\r\nskipfiles=0\r\n"
                         L"skipregistry=0\r\n" +
                         extra + L"\r\n[Other]\r\nkept=yes\r\n");
    }

    static RunInputs LastBuild() { return RunInputs{0, Str(RS_001), false, {}}; }
    static RunInputs Preset() { return RunInputs{1, L"Mine", false, {}}; }
    static RunInputs Custom(std::vector<int> toggles) { return RunInputs{0, Str(RS_001), true, std::move(toggles)}; }

    std::wstring ExpectedCommandLine() const
    {
        return L"\"" + pe.Folder() + L"\\pebuilder.exe\" " + settings.BuildParams;
    }
    std::wstring Input(const wchar_t* key) const { return pe.ReadInputInf().ReadString(L"input", key, L"-"); }
    bool ImageMade() const { return FileExists(pe.IsoFolder() + L"\\pe.iso"); }

    ScratchInstallation pe;
    ScriptedPrompt prompt;
};

}  // namespace

TEST_F(BuildRun, ChecksComeFirstWithTheirExactMessages)
{
    struct Case {
        const wchar_t* what;
        std::function<void()> spoil;
        std::wstring message;
    };
    const std::vector<Case> cases = {
        // Without a source as well: the output folder is checked first.
        {L"output folder missing", [&] { pe.WriteInputInf(L"[input]\r\noutdir=NoSuchFolder\\\r\n"); },
         Str(RS_002) + L"\r\n" + Str(RS_003)},
        {L"empty source", [&] { pe.WriteInputInf(L"[input]\r\noutdir=PEOutput\\\r\nsource= \\\r\n"); },
         Str(RS_004) + L"\r\n" + Str(RS_003)},
        {L"source folder missing",
         [&] { pe.WriteInputInf(L"[input]\r\noutdir=PEOutput\r\nsource=" + pe.Source() + L"x\\\r\n"); },
         Str(RS_004) + L"\r\n" + Str(RS_003)},
        {L"no OS files",
         [&] {
             WriteClass1Inf(L"PEOutput\\");
             ::DeleteFileW((pe.Source() + L"\\i386\\SHELL32.DL_").c_str());
         },
         Str(RS_006) + L"\r\n" + Str(RS_007)},
    };
    const std::string plugin = pe.PluginBytes(L"alpha\\alpha.inf");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.what)));
        c.spoil();
        const std::string inf = pe.InputInfBytes();
        prompt.messages.clear();
        EXPECT_EQ(Exec_PEBuilderExecute(settings, Preset(), prompt), RunOutcome::CheckFailed);
        EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Error", c.message, Str(RS_100)}}));
        EXPECT_EQ(pe.InputInfBytes(), inf);
        EXPECT_EQ(pe.PluginBytes(L"alpha\\alpha.inf"), plugin);
        EXPECT_FALSE(pe.Started());
    }
}

TEST_F(BuildRun, NoToTheQuestionChangesNothing)
{
    const std::string inf = pe.InputInfBytes();
    const std::string alpha = pe.PluginBytes(L"alpha\\alpha.inf");
    prompt.answers = {false};
    EXPECT_EQ(Exec_PEBuilderExecute(settings, Preset(), prompt), RunOutcome::Declined);
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Ask", Str(RS_023), Str(RS_103)}}));
    EXPECT_EQ(pe.InputInfBytes(), inf);
    EXPECT_EQ(pe.PluginBytes(L"alpha\\alpha.inf"), alpha);
    EXPECT_FALSE(pe.Started());
}

TEST_F(BuildRun, PresetIsAppliedBeforePEBuilderStartsWithTheExactCommandLine)
{
    prompt.answers = {true};
    EXPECT_EQ(Exec_PEBuilderExecute(settings, Preset(), prompt), RunOutcome::Succeeded);
    ASSERT_TRUE(pe.Started());
    EXPECT_EQ(pe.Recorded(L"Run", L"CommandLine"), ExpectedCommandLine());
    EXPECT_EQ(pe.Recorded(L"Plugins", L"alpha\\alpha.inf"), L"1");
    EXPECT_EQ(pe.Recorded(L"Plugins", L"net\\beta\\beta.inf"), L"0");
    EXPECT_EQ(pe.InputInfAtStart().ReadString(L"input", L"whattodo", L"-"), L"2");
    EXPECT_EQ(pe.InputInfAtStart().ReadString(L"Other", L"kept", L"-"), L"yes");
    // Waited for: the simulator's log is complete when the command returns.
    EXPECT_EQ(SplitLines(Wide(ReadBytes(pe.Path(L"pebuilder.log")))).back(), L"Done.");
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(BuildRun, LastBuildEntryLeavesPluginsAloneAndEmptyParamsKeepTheBlank)
{
    settings.BuildParams = L"";
    const std::string alpha = pe.PluginBytes(L"alpha\\alpha.inf");
    const std::string beta = pe.PluginBytes(L"net\\beta\\beta.inf");
    prompt.answers = {true};
    Exec_PEBuilderExecute(settings, LastBuild(), prompt);
    ASSERT_TRUE(pe.Started());
    EXPECT_EQ(pe.Recorded(L"Run", L"CommandLine"), L"\"" + pe.Folder() + L"\\pebuilder.exe\" ");
    EXPECT_EQ(pe.PluginBytes(L"alpha\\alpha.inf"), alpha);
    EXPECT_EQ(pe.PluginBytes(L"net\\beta\\beta.inf"), beta);
    wchar_t current[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_TRUE(SameText(pe.Recorded(L"Run", L"CurrentFolder"), current));
}

TEST_F(BuildRun, ReadOnlyInstallSourceGivesWhattodoZero)
{
    const std::wstring marker = pe.Source() + L"\\i386\\SHELL32.DL_";
    ::SetFileAttributesW(marker.c_str(), FILE_ATTRIBUTE_READONLY);
    prompt.answers = {true};
    Exec_PEBuilderExecute(settings, LastBuild(), prompt);
    ::SetFileAttributesW(marker.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(pe.Started());
    EXPECT_EQ(pe.InputInfAtStart().ReadString(L"input", L"whattodo", L"-"), L"0");
    EXPECT_EQ(Input(L"whattodo"), L"0");
}

TEST_F(BuildRun, PresetSettingsAreCopiedWithThePEBuilderFolderAsDefaultOutdir)
{
    settings.PEB_VER = 0;
    WriteRegString(kPresetKey + L"\\PEBuilder", L"source", pe.Source() + L"\\");
    WriteRegInteger(kPresetKey + L"\\PEBuilder", L"verbose", 1);
    prompt.answers = {true};
    Exec_PEBuilderExecute(settings, Preset(), prompt);
    ASSERT_TRUE(pe.Started());
    IniDocument start = pe.InputInfAtStart();
    EXPECT_EQ(start.ReadString(L"input", L"outdir", L"-"), pe.Folder());
    EXPECT_EQ(start.ReadString(L"input", L"verbose", L"-"), L"1");
    EXPECT_EQ(start.ReadString(L"input", L"isofile", L"-"), L"");
}

TEST_F(BuildRun, WithoutWaitTheCommandReturnsWhilePEBuilderStillRuns)
{
    settings.PEB_WAIT = false;
    pe.SimulateRun(0, L"Finished late.", 120000);
    prompt.answers = {true};
    EXPECT_EQ(Exec_PEBuilderExecute(settings, LastBuild(), prompt), RunOutcome::Started);
    // Had the command waited, the simulator would have written its log's last line.
    std::optional<std::string> log = TryReadFileBytes(pe.Path(L"pebuilder.log"));
    EXPECT_TRUE(!log || log->find("Finished late.") == std::string::npos) << *log;
    EndProgram(pe.Path(L"pebuilder.exe"));
}

TEST_F(BuildRun, SkippedBuildWithExternalIsoWritesTheEmptyLogAndMakesTheImage)
{
    settings.UseExtProgram_BLD = true;
    WriteBytes(pe.Path(L"PEOutput\\bootsect.bin"), std::string(2048, '\x90'));
    WriteBytes(pe.Path(L"PEOutput\\i386\\winnt.sif"), "[Data]\r\n");
    prompt.answers = {true};
    Exec_PEBuilderExecute(settings, Custom({0, 0, 1}), prompt);
    EXPECT_FALSE(pe.Started());
    EXPECT_EQ(ReadBytes(pe.Path(L"pebuilder.log")), "\r\n");
    EXPECT_EQ(Input(L"skipregistry"), L"1");
    EXPECT_EQ(Input(L"skipfiles"), L"1");
    EXPECT_EQ(Input(L"buildiso"), L"1");
    EXPECT_EQ(prompt.messages.size(), 1u);  // the build's question only
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    ASSERT_TRUE(ImageMade());
    EXPECT_TRUE(IsBootableIsoImage(ReadBytes(pe.IsoFolder() + L"\\pe.iso")));

    // A log that cannot be written stops the run with buildiso as the user had it.
    ASSERT_TRUE(::SetFileAttributesW(pe.Path(L"pebuilder.log").c_str(), FILE_ATTRIBUTE_READONLY));
    prompt.answers = {true};
    EXPECT_THROW(Exec_PEBuilderExecute(settings, Custom({0, 0, 1}), prompt), AppError);
    ::SetFileAttributesW(pe.Path(L"pebuilder.log").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Input(L"buildiso"), L"1");
    EXPECT_FALSE(pe.Started());
}

TEST_F(BuildRun, SkippedBuildWithoutExternalIsoStillStartsPEBuilder)
{
    prompt.answers = {true};
    Exec_PEBuilderExecute(settings, Custom({0, 0, 1}), prompt);
    ASSERT_TRUE(pe.Started());
    IniDocument start = pe.InputInfAtStart();
    EXPECT_EQ(start.ReadString(L"input", L"skipregistry", L"-"), L"1");
    EXPECT_EQ(start.ReadString(L"input", L"skipfiles", L"-"), L"1");
    EXPECT_EQ(start.ReadString(L"input", L"buildiso", L"-"), L"1");
}

TEST_F(BuildRun, ExternalIsoFollowsOnlyAGoodExitAndLog)
{
    settings.UseExtProgram_BLD = true;
    WriteClass1Inf(L"PEOutput\\", L"buildiso=1\r\n");
    struct Case {
        int exitCode;
        std::wstring lastLine;
        bool image;  // made without waiting: the outcome is Started, else PEBuilderFailed
    };
    const std::vector<Case> cases = {
        {0, L"12:00:01 Terminated by user...", false},
        {0, L"[<<] Error: cannot copy", false},
        {2, L"Done.", false},
        {0, L"terminated by user... [<] finished", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lastLine));
        ::DeleteFileW((pe.IsoFolder() + L"\\pe.iso").c_str());
        ::DeleteFileW(pe.Path(L"pebuilder.record").c_str());
        pe.SimulateRun(c.exitCode, c.lastLine);
        prompt.answers = {true};
        EXPECT_EQ(Exec_PEBuilderExecute(settings, LastBuild(), prompt),
                  c.image ? RunOutcome::Started : RunOutcome::PEBuilderFailed);
        ASSERT_TRUE(pe.Started());
        // PE Builder itself was kept from making the image, and buildiso is back.
        EXPECT_EQ(pe.InputInfAtStart().ReadString(L"input", L"buildiso", L"-"), L"0");
        EXPECT_EQ(Input(L"buildiso"), L"1");
        WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
        EXPECT_EQ(ImageMade(), c.image);
        if (c.image) {
            EXPECT_TRUE(IsBootableIsoImage(ReadBytes(pe.IsoFolder() + L"\\pe.iso")));
        }
    }
}

TEST_F(BuildRun, WithTheImageToFollowPEBuilderIsWaitedForEvenWithoutWait)
{
    settings.PEB_WAIT = false;
    settings.UseExtProgram_BLD = true;
    WriteClass1Inf(L"PEOutput\\", L"buildiso=1\r\n");
    // A previous run's log that would stop the image, and no build output yet: only
    // this run's log and output, both there once PE Builder has ended, let it through.
    WriteBytes(pe.Path(L"pebuilder.log"), "old run\r\nTerminated by user...\r\n");
    pe.SimulateRun(0, L"Done.", 1500);
    prompt.answers = {true};
    Exec_PEBuilderExecute(settings, LastBuild(), prompt);
    EXPECT_EQ(SplitLines(Wide(ReadBytes(pe.Path(L"pebuilder.log")))).back(), L"Done.");
    EXPECT_EQ(prompt.messages.size(), 1u);  // the build's question, no missing-output error
    EXPECT_EQ(Input(L"buildiso"), L"1");
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    ASSERT_TRUE(ImageMade());
    EXPECT_TRUE(IsBootableIsoImage(ReadBytes(pe.IsoFolder() + L"\\pe.iso")));

    // The other way round: a previous good log and output, and this run fails late.
    ::DeleteFileW((pe.IsoFolder() + L"\\pe.iso").c_str());
    WriteBytes(pe.Path(L"pebuilder.log"), "old run\r\nDone.\r\n");
    pe.SimulateRun(0, L"[<<] Error: cannot copy", 1500);
    prompt.answers = {true};
    Exec_PEBuilderExecute(settings, LastBuild(), prompt);
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    EXPECT_FALSE(ImageMade());
}

TEST_F(BuildRun, MissingPEBuilderIsReportedAndNothingFollows)
{
    settings.UseExtProgram_BLD = true;
    WriteClass1Inf(L"PEOutput\\", L"buildiso=1\r\n");
    WriteBytes(pe.Path(L"PEOutput\\bootsect.bin"), std::string(2048, '\x90'));
    ::DeleteFileW(pe.Path(L"pebuilder.exe").c_str());
    prompt.answers = {true};
    try {
        Exec_PEBuilderExecute(settings, LastBuild(), prompt);
        FAIL() << "no error";
    } catch (const RunFailure& error) {
        EXPECT_EQ(error.Outcome(), RunOutcome::PEBuilderFailed);
        EXPECT_NE(error.Message().find(ExpectedCommandLine()), std::wstring::npos) << error.what();
    }
    EXPECT_EQ(Input(L"buildiso"), L"1");
    WaitUntilProgramEnds(pe.Path(L"mkisofs.exe"));
    EXPECT_FALSE(ImageMade());
}

TEST_F(BuildRun, UnwritablePluginStopsBeforeAnyFileChanges)
{
    const std::wstring beta = pe.Path(L"Plugin\\net\\beta\\beta.inf");
    ::SetFileAttributesW(beta.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string alpha = pe.PluginBytes(L"alpha\\alpha.inf");
    const std::string betaBytes = pe.PluginBytes(L"net\\beta\\beta.inf");
    const std::string inf = pe.InputInfBytes();
    prompt.answers = {true};
    try {
        Exec_PEBuilderExecute(settings, Preset(), prompt);
        ADD_FAILURE() << "no error";
    } catch (const RunFailure& failure) {
        EXPECT_EQ(failure.Outcome(), RunOutcome::PluginsNotSwitched);
        EXPECT_NE(failure.Message().find(beta), std::wstring::npos) << failure.what();
    }
    ::SetFileAttributesW(beta.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(pe.PluginBytes(L"alpha\\alpha.inf"), alpha);
    EXPECT_EQ(pe.PluginBytes(L"net\\beta\\beta.inf"), betaBytes);
    EXPECT_EQ(pe.InputInfBytes(), inf);
    EXPECT_FALSE(pe.Started());
}

TEST_F(BuildRun, UnwritableInputInfStopsBeforeAnyPluginChanges)
{
    const std::wstring path = pe.Path(L"input.inf");
    const std::string alpha = pe.PluginBytes(L"alpha\\alpha.inf");
    const std::string inf = pe.InputInfBytes();
    // Held open by another program that shares reading only, then read-only.
    for (bool held : {true, false}) {
        FileHandle holder;
        if (held)
            holder.Reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        else
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        prompt.answers = {true};
        EXPECT_THROW(Exec_PEBuilderExecute(settings, Preset(), prompt), AppError) << held;
        holder.Reset();
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(pe.PluginBytes(L"alpha\\alpha.inf"), alpha) << held;
        EXPECT_EQ(pe.InputInfBytes(), inf) << held;
        EXPECT_FALSE(pe.Started()) << held;
    }
}
