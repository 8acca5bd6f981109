// The Plugin_Builder.exe stand-in: it records how it was started and ends as told.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/StandIns.h"
#include "tests/support/TestSupport.h"

TEST(PluginBuilderSim, RecordsCommandLineAndFolder)
{
    ScratchFolder scratch;
    const std::wstring folder = scratch / L"Plugin Builder";
    InstallStandIn(L"Plugin_Builder.exe", folder);
    const std::wstring commandLine =
        L"\"" + folder + L"\\Plugin_Builder.exe\" \"" + (scratch / L"プラグイン\\a.inf") + L"\"";

    EXPECT_EQ(RunProcess(commandLine, scratch.Path()).exitCode, 0u);
    IniDocument record = ReadRecord(folder + L"\\Plugin_Builder.record");
    EXPECT_EQ(RecordValue(record, L"Run", L"CommandLine"), commandLine);
    EXPECT_EQ(RecordValue(record, L"Run", L"CurrentFolder"), scratch.Path());

    WriteSimulatorSettings(folder + L"\\Plugin_Builder.sim", 4);
    EXPECT_EQ(RunProcess(commandLine, folder).exitCode, 4u);
    EXPECT_EQ(RecordValue(ReadRecord(folder + L"\\Plugin_Builder.record"), L"Run", L"CurrentFolder"), folder);
}
