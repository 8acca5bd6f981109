// Killing the program in the middle of a plug-in switch or of an input.inf write: every
// file is wholly old or wholly new, and the next run removes the staged files the
// killed one left. Killing it in the middle of a plug-in folder sort: the next start
// moves every plug-in back, and nothing else. A child (fileloop.exe) rewrites the files in a loop and is killed
// with TerminateProcess at a random moment.
// KW_KILL_TRIALS sets the number of kills of each kind: 4 by default, 50 for the long run.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Handles.h"
#include "core/IniFile.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "pebuilder/PluginSort.h"
#include "pebuilder/Plugins.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

int Trials()
{
    const char* text = std::getenv("KW_KILL_TRIALS");
    int trials = text ? std::atoi(text) : 0;
    return trials > 0 ? trials : 4;
}

// Every file below folder by full path; staged files only counted.
void Walk(const std::wstring& folder, std::map<std::wstring, std::string>& files, int& staged)
{
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Walk(folder + L"\\" + name, files, staged);
        } else if (IsStagedFileName(name)) {
            ++staged;
        } else {
            files[folder + L"\\" + name] = ReadBytes(folder + L"\\" + name);
        }
    } while (::FindNextFileW(find.Get(), &data));
}

// Starts fileloop with args, waits for its first round, lets it run a random while and
// kills it.
void KillDuringLoop(const std::wstring& args, std::mt19937& random)
{
    static int count = 0;
    const std::wstring eventName =
        L"KwFileLoop" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++count);
    KernelHandle started(::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(started);
    ChildProcess child = StartChild(L"\"" + BinFolder() + L"\\fileloop.exe\" " + args + L" " + eventName);
    HANDLE both[] = {started.Get(), child.process.Get()};
    ASSERT_EQ(::WaitForMultipleObjects(2, both, FALSE, 20000), WAIT_OBJECT_0) << "the loop did not get going";
    ::Sleep(std::uniform_int_distribution<DWORD>(0, 60)(random));
    ASSERT_TRUE(::TerminateProcess(child.process.Get(), 9));
    ASSERT_EQ(::WaitForSingleObject(child.process.Get(), 20000), WAIT_OBJECT_0);
}

std::string Plugin(int n, bool enabled)
{
    // Long enough that a write takes a while and a torn one shows.
    return "[Version]\r\nSignature=$Windows NT$\r\n[PEBuilder]\r\nName=P" + std::to_string(n) +
           "\r\nEnable=" + (enabled ? "1" : "0") + "\r\n" + std::string(16000, ';') + "\r\n";
}

}  // namespace

TEST(CrashSafety, AKilledSwitchLeavesEveryPluginWholeAndTheNextOneCleansUp)
{
    EraseRegKey(kProgramKey);
    ScratchFolder pe;
    TCurrentSettings settings;
    settings.PEBuilder = pe.Path();
    settings.ProfileKeySuffix = L"\\Crash";
    std::map<std::wstring, std::pair<std::string, std::string>> valid;  // path: on, off
    for (int n = 0; n < 40; ++n) {
        const std::wstring folder = L"f" + std::to_wstring(n % 8);
        const std::wstring path = pe / (L"Plugin\\" + folder + L"\\p" + std::to_wstring(n) + L".inf");
        WriteBytes(path, Plugin(n, false));
        valid[path] = {Plugin(n, true), Plugin(n, false)};
        WriteRegString(PresetKey(settings, L"On"), std::to_wstring(n + 1),
                       L"P" + std::to_wstring(n) + L"::" + folder + L"\\");
    }
    std::mt19937 random(std::random_device{}());
    int leftovers = 0;
    for (int trial = 0; trial < Trials(); ++trial) {
        KillDuringLoop(L"switch \"" + pe.Path() + L"\" \\Crash On Off", random);
        std::map<std::wstring, std::string> files;
        Walk(pe / L"Plugin", files, leftovers);
        ASSERT_EQ(files.size(), valid.size());
        for (const auto& [path, bytes] : files) {
            ASSERT_TRUE(bytes == valid[path].first || bytes == valid[path].second)
                << "trial " << trial << ": torn file";
        }
    }
    std::printf("staged files left by %d killed switches: %d\n", Trials(), leftovers);

    ApplyPresetToPlugins(settings, L"On");
    std::map<std::wstring, std::string> files;
    int staged = 0;
    Walk(pe / L"Plugin", files, staged);
    EXPECT_EQ(staged, 0);
    for (const auto& [path, bytes] : files) EXPECT_EQ(bytes, valid[path].first);
    EraseRegKey(kProgramKey);
}

TEST(CrashSafety, AKilledIniWriteLeavesTheFileWholeAndTheNextOneCleansUp)
{
    ScratchFolder pe;
    const std::wstring path = pe / L"input.inf";
    WriteBytes(path, "[input]\r\nsource=C:\\short\\\r\noutdir=out\\\r\n\r\n");
    const std::string shortOne = ReadBytes(path);
    const std::string longOne = "[input]\r\nsource=" + std::string(3000, 'x') + "\r\noutdir=out\\\r\n\r\n";
    std::mt19937 random(std::random_device{}());
    int leftovers = 0;
    for (int trial = 0; trial < Trials(); ++trial) {
        KillDuringLoop(L"ini \"" + path + L"\"", random);
        std::map<std::wstring, std::string> files;
        Walk(pe.Path(), files, leftovers);
        ASSERT_EQ(files.size(), 1u);
        ASSERT_TRUE(files[path] == shortOne || files[path] == longOne) << "trial " << trial << ": torn file";
    }
    std::printf("staged files left by %d killed writes: %d\n", Trials(), leftovers);

    WriteIniString(path, L"input", L"source", L"C:\\short\\");
    std::map<std::wstring, std::string> files;
    int staged = 0;
    Walk(pe.Path(), files, staged);
    EXPECT_EQ(staged, 0);
    EXPECT_EQ(files[path], shortOne);
}

TEST(CrashSafety, AKilledSortLeavesEveryPluginInItsFolderAfterTheNextStartAndTakesInNothingElse)
{
    ScratchFolder pe;
    const std::wstring plugins = pe / L"Plugin", records = TempFolder() + L"\\KWRT_TMP";
    RemoveTree(records);
    std::map<std::wstring, std::string> want;
    for (int n = 0; n < 60; ++n) {
        const std::wstring path = plugins + L"\\p" + std::to_wstring(n) + L"\\p.inf";
        want[path] = "plug-in " + std::to_string(n);
        WriteBytes(path, want[path]);
    }
    want[plugins + L"\\readme.txt"] = "loose";
    WriteBytes(plugins + L"\\readme.txt", "loose");
    // Not this program's to move: what an older sort left in the temporary folder.
    WriteBytes(records + L"\\stale\\old.inf", "stale");

    std::mt19937 random(std::random_device{}());
    int cut = 0;
    for (int trial = 0; trial < Trials(); ++trial) {
        KillDuringLoop(L"sort \"" + pe.Path() + L"\"", random);
        for (const std::wstring& name : FolderEntryNames(records)) cut += name.ends_with(L".kwsort");
        // What the next start does.
        ASSERT_TRUE(ReturnInterruptedSorts(MoveFileOrFolder).empty()) << "trial " << trial;
        std::map<std::wstring, std::string> files;
        int staged = 0;
        Walk(plugins, files, staged);
        ASSERT_EQ(files, want) << "trial " << trial;
        ASSERT_EQ(FolderEntryNames(pe.Path()), std::vector<std::wstring>{L"Plugin"}) << "trial " << trial;
        ASSERT_EQ(FolderEntryNames(records), std::vector<std::wstring>{L"stale"}) << "trial " << trial;
    }
    std::printf("kills that cut a sort short: %d of %d\n", cut, Trials());
    EXPECT_EQ(ReadBytes(records + L"\\stale\\old.inf"), "stale");
    RemoveTree(records);
}
