// Starting other programs: real child processes, their exit codes and failures.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/Process.h"
#include "core/WinError.h"
#include "tests/support/TestSupport.h"

namespace {

std::wstring ExitWith() { return L"\"" + BinFolder() + L"\\exitwith.exe\""; }

}  // namespace

TEST(RunProgram, WaitsForTheChildAndReturnsItsExitCode)
{
    EXPECT_EQ(RunProgram(ExitWith() + L" 3", true), 3u);
    EXPECT_EQ(RunProgram(ExitWith() + L" 0", true), 0u);
    EXPECT_EQ(RunProgram(ExitWith() + L" 300", true), 300u);  // all 32 bits, not a byte
}

TEST(RunProgram, WithoutWaitReturnsZeroWhileTheChildStillRuns)
{
    // The child ends only when released, so RunProgram can only return first if it
    // does not wait.
    std::wstring name = L"kw-run-" + std::to_wstring(::GetCurrentProcessId());
    KernelHandle started(::CreateEventW(nullptr, TRUE, FALSE, (name + L"-started").c_str()));
    KernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, (name + L"-release").c_str()));
    ASSERT_TRUE(started && release);

    EXPECT_EQ(RunProgram(ExitWith() + L" 7 " + name + L"-started " + name + L"-release", false), 0u);
    EXPECT_EQ(::WaitForSingleObject(started.Get(), INFINITE), WAIT_OBJECT_0);
    ::SetEvent(release.Get());
}

TEST(RunProgram, AQuotedProgramPathMayHoldBlanks)
{
    ScratchFolder scratch;
    std::wstring program = scratch / L"with blank\\exit with.exe";
    MakeFolders(scratch / L"with blank");
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"\\exitwith.exe").c_str(), program.c_str(), FALSE));
    EXPECT_EQ(RunProgram(L"\"" + program + L"\" 4", true), 4u);
}

TEST(RunProgram, TheChildGetsThisProgramsShowState)
{
    STARTUPINFOW own{};
    own.cb = sizeof own;
    ::GetStartupInfoW(&own);
    uint32_t expected = own.wShowWindow | ((own.dwFlags & STARTF_USESHOWWINDOW) ? 0x10000 : 0);
    EXPECT_EQ(RunProgram(ExitWith() + L" startup", true), expected);
}

TEST(RunProgram, AMissingProgramThrowsWithTheCommandLineAndTheSystemsReason)
{
    ScratchFolder scratch;
    std::wstring commandLine = L"\"" + (scratch / L"missing.exe") + L"\" 1";
    for (bool wait : {false, true}) {
        try {
            RunProgram(commandLine, wait);
            ADD_FAILURE() << "no error for a missing program";
        } catch (const AppError& error) {
            EXPECT_NE(error.Message().find(commandLine), std::wstring::npos);
            EXPECT_NE(error.Message().find(SystemMessage(ERROR_FILE_NOT_FOUND)), std::wstring::npos) << error.what();
        }
    }
}

TEST(RunCaptured, RunsInTheGivenFolderAndReadsBothStreamsBack)
{
    ScratchFolder scratch;
    MakeFolders(scratch / L"work");
    const std::wstring outputPath = scratch / L"out.txt";
    CapturedRun run = RunCaptured(ExitWith() + L" folder", scratch / L"work", outputPath);
    EXPECT_EQ(run.exitCode, 6u);
    EXPECT_NE(run.output.find(Ansi(scratch / L"work")), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("error"), std::string::npos) << run.output;
    EXPECT_FALSE(FileExists(outputPath));  // the scratch file goes with the run
}

TEST(StartProcess, AMissingFolderThrowsWithTheCommandLine)
{
    ScratchFolder scratch;
    try {
        StartProcess(ExitWith() + L" 1", ProcessOptions{scratch / L"missing", nullptr});
        ADD_FAILURE() << "no error for a missing folder";
    } catch (const AppError& error) {
        EXPECT_NE(error.Message().find(ExitWith()), std::wstring::npos) << error.what();
    }
}
