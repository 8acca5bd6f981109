// What the programs that the commands start receive, argument by argument, as the C
// runtime splits their command lines: the recorder (bin/recorder.exe, KW_RECORD_ARGV)
// stands in for the ISO program, a plug-in's configuration program and the text editor.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Files.h"
#include "core/Process.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "pebuilder/IsoRun.h"
#include "pebuilder/PluginTools.h"
#include "tests/support/RecordedStarts.h"
#include "tests/support/ScratchInstallation.h"
#include "tests/support/ScriptedPrompt.h"

using Argv = std::vector<std::wstring>;

TEST(CommandLineArgv, EveryValueOfTheIsoTemplateIsOneArgument)
{
    ScratchInstallation pe;
    TCurrentSettings settings = pe.MakeCurrentProfile();
    settings.PEB_VER = 2;
    WriteBytes(pe.Path(L"PEOutput\\bootsect.bin"), std::string(2048, '\x90'));
    // Values that close their quotes and open new ones; the ISO file's folder part still
    // names the ISO folder, so that the run gets as far as the command.
    const std::wstring isofile = pe.IsoFolder() + L"\\pe.iso\" -o \"INJECTED.iso\" -x \"\\..\\pe.iso";
    pe.WriteInputInf(L"[input]\r\nsource=" + pe.Source() + L"\\\r\noutdir=PEOutput\\\r\nisofile=" + isofile +
                     L"\r\nvolumeid=VOL\" -sysid \"INJECTED\r\ndevice=0,1,0\\\r\ncustomdir=\r\n");
    settings.ExternalProgram =
        L"\"@Kitwright@\\recorder.exe\" -o \"@IsoFile@\" -volid @VolumeID@ -dev \"@device@\" -c \"@CustomDir@\" "
        L"@customdir@ \"@OutDir@\"";
    RecordedStarts starts(true);
    ScriptedPrompt prompt;
    ISO_PEBuilderExecute(settings, false, RunInputs{0, Str(RS_001), false, {}}, prompt);
    EXPECT_TRUE(prompt.messages.empty());
    const std::vector<RecordedStart> now = starts.WaitFor(1);
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0].program, L"recorder.exe");
    EXPECT_EQ(now[0].Argv(), (Argv{L"-o", isofile, L"-volid", L"VOL\" -sysid \"INJECTED", L"-dev", L"0,1,0\\", L"-c",
                                   L"", pe.Path(L"PEOutput")}));
    EraseRegKey(kProgramKey);
}

TEST(CommandLineArgv, ConfigurationProgramAndTextEditorGetTheirArgumentsWhole)
{
    ScratchFolder plugin;
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"\\recorder.exe").c_str(), (plugin / L"setup.exe").c_str(), FALSE));
    TDataStruct entry;
    entry.Folder = plugin.Path();
    entry.FullPath = plugin / L"my tool.inf";
    entry.ConfigCommand = L"setup.exe,@PluginFile@,\"a \"\"quoted\"\" b\",\"@PluginFile@ x\\\",/d:C:\\dir\\";
    RecordedStarts starts(true);
    RunProgram(PluginConfigCommandLine(entry), true);
    RunProgram(TextEditorCommandLine(plugin / L"setup.exe", entry.FullPath), true);
    const std::vector<RecordedStart> now = starts.Now();
    ASSERT_EQ(now.size(), 2u);
    EXPECT_EQ(now[0].Argv(), (Argv{entry.FullPath, L"a \"quoted\" b", entry.FullPath + L" x\\", L"/d:C:\\dir\\"}));
    EXPECT_EQ(now[1].Argv(), (Argv{entry.FullPath}));
}
