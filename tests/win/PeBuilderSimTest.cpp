// The PE Builder simulator that the build tests and the demo start as pebuilder.exe:
// what it records of its start, what input.inf and pebuilder.sim make it do.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Files.h"
#include "core/Text.h"
#include "tests/support/StandIns.h"
#include "tests/support/TestSupport.h"

namespace {

// A scratch PE Builder folder holding the simulator (and mkisofs.exe for ISO images).
class PeBuilderSimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallStandIn(L"pebuilder.exe", pb_);
        InstallStandIn(L"mkisofs.exe", pb_);
    }

    std::wstring Pb(std::wstring_view relative) const { return scratch_ / (L"pb\\" + std::wstring(relative)); }
    void WriteInput(const std::wstring& text) { WriteBytes(Pb(L"input.inf"), Ansi(text)); }

    ProcessResult Run(const std::wstring& params = L"-auto -exit")
    {
        return RunProcess(L"\"" + pb_ + L"\\pebuilder.exe\" " + params, scratch_.Path());
    }

    std::vector<std::wstring> LogLines() const { return SplitLines(Wide(ReadBytes(Pb(L"pebuilder.log")))); }

    ScratchFolder scratch_;
    const std::wstring pb_ = scratch_ / L"pb";
};

TEST_F(PeBuilderSimTest, RecordsItsStartExactly)
{
    const std::wstring input = L"[input]\r\nsource=C:\\xp\\\r\n\r\noutdir=  PEOutput\\\r\nwhattodo=7\r\n";
    WriteInput(input);
    auto plugin = [](const std::string& enableLine) {
        return "[Version]\r\nSignature=\"$Windows NT$\"\r\n[PEBuilder]\r\nName=\"x\"\r\n" + enableLine + "\r\n";
    };
    WriteBytes(Pb(L"Plugin\\a\\a.inf"), plugin("Enable=1"));
    WriteBytes(Pb(L"Plugin\\net\\tools\\t.INF"), plugin("enable = 0"));
    WriteBytes(Pb(L"Plugin\\ソフト\\表示.inf"), Ansi(L"[PEBuilder]\r\nName=表示\r\nEnable=1\r\n"));
    WriteBytes(Pb(L"Plugin\\readme.inf"), "[Version]\r\nSignature=\"$Chicago$\"\r\n");
    WriteBytes(Pb(L"Plugin\\a\\notes.txt"), "Enable=1\r\n");

    // An empty parameter list still leaves the blank after the program's path.
    std::wstring commandLine = L"\"" + pb_ + L"\\pebuilder.exe\" ";
    ProcessResult result = RunProcess(commandLine, scratch_.Path());
    EXPECT_EQ(result.exitCode, 0u);

    IniDocument record = ReadRecord(Pb(L"pebuilder.record"));
    EXPECT_EQ(RecordValue(record, L"Run", L"CommandLine"), commandLine);
    EXPECT_EQ(RecordValue(record, L"Run", L"CurrentFolder"), scratch_.Path());
    EXPECT_EQ(RecordValue(record, L"Run", L"InputInf"), L"present");
    EXPECT_EQ(RecordedInputInf(record), input);
    EXPECT_EQ(RecordValue(record, L"Plugins", L"a\\a.inf"), L"1");
    EXPECT_EQ(RecordValue(record, L"Plugins", L"net\\tools\\t.INF"), L"0");
    EXPECT_EQ(RecordValue(record, L"Plugins", L"ソフト\\表示.inf"), L"1");
    EXPECT_EQ(RecordValue(record, L"Plugins", L"readme.inf"), L"none");
    EXPECT_EQ(RecordValue(record, L"Plugins", L"a\\notes.txt"), std::nullopt);

    // whattodo 7 asks for nothing it knows: nothing is built.
    EXPECT_FALSE(DirectoryExists(Pb(L"PEOutput")));
    EXPECT_EQ(LogLines().back(), L"Done.");
}

TEST_F(PeBuilderSimTest, RecordsAMissingInputInf)
{
    Run();
    IniDocument record = ReadRecord(Pb(L"pebuilder.record"));
    EXPECT_EQ(RecordValue(record, L"Run", L"InputInf"), L"missing");
    EXPECT_EQ(RecordedInputInf(record), L"");
}

TEST_F(PeBuilderSimTest, BuildMakesTheOutputFolderRelativeToItsOwnFolder)
{
    WriteInput(L"[input]\r\nsource=C:\\xp\\\r\noutdir=out\\pe \\\r\nbuildiso=0\r\nwhattodo=2\r\n");
    WriteBytes(Pb(L"Plugin\\on\\on.inf"), "[PEBuilder]\r\nName=On\r\nEnable=1\r\n");
    WriteBytes(Pb(L"Plugin\\off\\off.inf"), "[PEBuilder]\r\nName=Off\r\nEnable=0\r\n");

    EXPECT_EQ(Run().exitCode, 0u);
    EXPECT_EQ(ReadBytes(Pb(L"out\\pe\\bootsect.bin")).size(), 2048u);
    EXPECT_EQ(ReadBytes(Pb(L"out\\pe\\plugins.txt")), "on\\on.inf\r\n");
    EXPECT_TRUE(FileExists(Pb(L"out\\pe\\i386\\system32\\simulator.txt")));
    auto lines = LogLines();
    EXPECT_NE(lines.front().find(L"not PE Builder"), std::wstring::npos);
    EXPECT_EQ(lines.back(), L"Done.");
    EXPECT_FALSE(FileExists(Pb(L"pebuilder.iso")));
}

TEST_F(PeBuilderSimTest, BuildWithAbsoluteOutputMakesTheIsoImage)
{
    const std::wstring out = scratch_ / L"absolute out";
    const std::wstring iso = scratch_ / L"images\\pe.iso";
    MakeFolders(scratch_ / L"images");
    WriteInput(L"[input]\r\noutdir=ignored\\\r\nuseAbsoluteOutput=1\r\nfulloutdir=" + out + L"\\\r\nisofile=" + iso +
               L"\r\nbuildiso=1\r\nvolumeid=SIMTEST\r\nwhattodo=0\r\n");

    EXPECT_EQ(Run().exitCode, 0u);
    EXPECT_EQ(ReadBytes(out + L"\\bootsect.bin").size(), 2048u);
    EXPECT_FALSE(DirectoryExists(Pb(L"ignored")));
    std::string image = ReadBytes(iso);
    ASSERT_GT(image.size(), 0x8800u);
    EXPECT_EQ(image.substr(0x8001, 5), "CD001");
    EXPECT_EQ(image.substr(0x8028, 7), "SIMTEST");
}

TEST_F(PeBuilderSimTest, WhattodoThreeMakesOnlyTheIsoImage)
{
    WriteBytes(Pb(L"PEOutput\\bootsect.bin"), std::string(2048, 'b'));
    WriteBytes(Pb(L"PEOutput\\keep.txt"), "kept");
    WriteInput(L"[input]\r\noutdir=PEOutput\r\nisofile=" + Pb(L"pe.iso") + L"\r\nbuildiso=0\r\nwhattodo=3\r\n");

    EXPECT_EQ(Run().exitCode, 0u);
    EXPECT_EQ(ReadBytes(Pb(L"PEOutput\\bootsect.bin")), std::string(2048, 'b'));
    EXPECT_FALSE(FileExists(Pb(L"PEOutput\\plugins.txt")));
    EXPECT_EQ(ReadBytes(Pb(L"pe.iso")).substr(0x8001, 5), "CD001");
}

TEST_F(PeBuilderSimTest, SimFileChoosesExitCodeAndLastLogLine)
{
    WriteInput(L"[input]\r\noutdir=PEOutput\\\r\nwhattodo=2\r\n");
    WriteSimulatorSettings(Pb(L"pebuilder.sim"), 3, L"Build Terminated by user... [<<]");

    EXPECT_EQ(Run().exitCode, 3u);
    EXPECT_EQ(LogLines().back(), L"Build Terminated by user... [<<]");
    // A simulated failure builds nothing, but the start is recorded all the same.
    EXPECT_FALSE(DirectoryExists(Pb(L"PEOutput")));
    EXPECT_TRUE(FileExists(Pb(L"pebuilder.record")));
}

TEST_F(PeBuilderSimTest, FailingIsoRunFailsTheSimulatorPlainly)
{
    WriteInput(L"[input]\r\noutdir=PEOutput\\\r\nisofile=" + (scratch_ / L"no such folder\\pe.iso") +
               L"\r\nbuildiso=1\r\nwhattodo=2\r\n");
    WriteSimulatorSettings(Pb(L"pebuilder.sim"), 0, L"Chosen last line");

    EXPECT_EQ(Run().exitCode, 1u);
    std::wstring last = LogLines().back();
    EXPECT_TRUE(last.starts_with(L"Simulator failed: mkisofs.exe ended with exit code ")) << Ansi(last);
    EXPECT_TRUE(FileExists(Pb(L"PEOutput\\bootsect.bin")));
}

}  // namespace
