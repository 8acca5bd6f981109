// The plug-in folder sort on a real tree, with the shell's real moves. Wine lists a
// folder's entries sorted by name whatever their creation order, so the order of the
// sort is checked through the moves it makes, recorded on their way to the shell.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "pebuilder/PluginSort.h"
#include "core/Process.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestSupport.h"

namespace {

class PluginSort : public ::testing::Test {
protected:
    TCurrentSettings settings;  // this test's own profile settings

    void SetUp() override
    {
        RemoveTree(temp);
        settings = TCurrentSettings{};
        settings.PEBuilder = scratch / L"pebuilder";
        for (const wchar_t* name : {L"b", L"A", L"c"})
            WriteBytes(Plugin(name) + L"\\" + name + L".inf", "[Version]\r\n");
        WriteBytes(Plugin(L"readme.txt"), "loose file");
        WriteBytes(Plugin(L".svn\\entries"), "dot folder");
        WriteBytes(Plugin(L"sys\\sys.inf"), "system folder");
        ::SetFileAttributesW(Plugin(L"sys").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM);
    }
    void TearDown() override
    {
        ::SetFileAttributesW(Plugin(L"sys").c_str(), FILE_ATTRIBUTE_DIRECTORY);
        ::SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(temp.c_str());
        RemoveTree(temp);
    }

    std::wstring Plugin(std::wstring_view name = L"") const
    {
        return settings.PEBuilder + L"\\Plugin" + (name.empty() ? L"" : L"\\" + std::wstring(name));
    }
    // The real move, recorded.
    MoveRoutine Recorder()
    {
        return [this](const std::wstring& source, const std::wstring& target) {
            moves.push_back(source + L" -> " + target);
            MoveFileOrFolder(source, target);
        };
    }
    static std::set<std::wstring> Entries(const std::wstring& folder)
    {
        const std::vector<std::wstring> names = FolderEntryNames(folder);
        return std::set<std::wstring>(names.begin(), names.end());
    }

    // The staging folder of the sort that was recorded: the target of its first move.
    std::wstring Staging() const
    {
        if (moves.empty()) return L"";
        const std::wstring& first = moves.front();
        return first.substr(first.find(L" -> ") + 4);
    }

    ScratchFolder scratch;
    const std::wstring temp = TempFolder() + L"\\KWRT_TMP";  // the records, one a sort
    ScriptedPrompt prompt;
    std::vector<std::wstring> moves;
};

}  // namespace

TEST_F(PluginSort, NoMovesNothing)
{
    prompt.answers = {false};
    PluginSortClick(settings, prompt, Recorder());
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Ask", Str(RS_010), Str(RS_101)}}));
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(Entries(scratch / L"pebuilder"), (std::set<std::wstring>{L"Plugin"}));
}

TEST_F(PluginSort, FoldersComeBackOneByOneInNameOrderThenEverythingElse)
{
    ASSERT_TRUE(::GetFileAttributesW(Plugin(L"sys").c_str()) & FILE_ATTRIBUTE_SYSTEM);
    const std::set<std::wstring> before = Entries(Plugin());
    prompt.answers = {true};
    PluginSortClick(settings, prompt, Recorder());
    // The staging folder is the run's own, beside the plug-in folder; it and the record
    // naming it are gone afterwards.
    const std::wstring p = Plugin(), t = Staging();
    EXPECT_TRUE(t.starts_with(p + L".kwsort-" + std::to_wstring(::GetCurrentProcessId()) + L"-")) << t;
    EXPECT_EQ(moves, (std::vector<std::wstring>{p + L"\\*.* -> " + t, t + L"\\A -> " + p, t + L"\\b -> " + p,
                                                t + L"\\c -> " + p, t + L"\\*.* -> " + p}));
    EXPECT_EQ(Entries(Plugin()), before);
    EXPECT_FALSE(DirectoryExists(t));
    EXPECT_TRUE(Entries(temp).empty());
    EXPECT_EQ(ReadBytes(Plugin(L"sys\\sys.inf")), "system folder");
    EXPECT_EQ(ReadBytes(Plugin(L".svn\\entries")), "dot folder");
    EXPECT_EQ(ReadBytes(Plugin(L"A\\A.inf")), "[Version]\r\n");
    EXPECT_EQ(prompt.messages,
              (std::vector<PromptMessage>{{L"Ask", Str(RS_010), Str(RS_101)}, {L"Inform", Str(RS_011), Str(RS_101)}}));
}

TEST_F(PluginSort, WhatAnotherRunLeftInTheTemporaryFolderIsNotMovedIn)
{
    // A folder and a file no record claims, as an older sort left them.
    WriteBytes(temp + L"\\B0\\old.inf", "left over");
    WriteBytes(temp + L"\\old.txt", "left over");
    const std::set<std::wstring> before = Entries(Plugin());
    prompt.answers = {true};
    PluginSortClick(settings, prompt, Recorder());
    EXPECT_EQ(moves.size(), 5u);
    EXPECT_EQ(Entries(Plugin()), before);
    EXPECT_EQ(Entries(temp), (std::set<std::wstring>{L"B0", L"old.txt"}));
    EXPECT_EQ(prompt.messages.back(), (PromptMessage{L"Inform", Str(RS_011), Str(RS_101)}));
}

TEST_F(PluginSort, AStagingFolderGoesBackOnlyOnceTheProcessThatMadeItHasEnded)
{
    // A process that runs until it is killed stands for a sort in progress.
    ScratchFolder other;
    ChildProcess child = StartChild(L"\"" + BinFolder() + L"\\fileloop.exe\" ini \"" + (other / L"x.ini") + L"\" -");
    FILETIME created{}, unused{};
    ASSERT_TRUE(::GetProcessTimes(child.process.Get(), &created, &unused, &unused, &unused));
    const uint64_t started = (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    // Its record, and one with its id but another start: a process that has ended, whose
    // id the system gave again.
    auto stage = [&](uint64_t start, const std::wstring& folder) {
        const std::wstring staging = Plugin() + L".kwsort-" + folder;
        WriteBytes(staging + L"\\" + folder + L"\\p.inf", "staged");
        WriteBytes(temp + L"\\" + std::to_wstring(child.id) + L"-" + std::to_wstring(start) + L"-1.kwsort",
                   "\xEF\xBB\xBF" + WideToAnsi(Plugin() + L"\r\n" + staging + L"\r\n"));
        return staging;
    };
    const std::wstring running = stage(started, L"running"), ended = stage(started + 1, L"ended");

    EXPECT_TRUE(ReturnInterruptedSorts(MoveFileOrFolder).empty());
    EXPECT_EQ(ReadBytes(running + L"\\running\\p.inf"), "staged");
    EXPECT_EQ(ReadBytes(Plugin(L"ended\\p.inf")), "staged");
    EXPECT_FALSE(DirectoryExists(ended));

    ASSERT_TRUE(::TerminateProcess(child.process.Get(), 9));
    ASSERT_EQ(::WaitForSingleObject(child.process.Get(), 20000), WAIT_OBJECT_0);
    EXPECT_TRUE(ReturnInterruptedSorts(MoveFileOrFolder).empty());
    EXPECT_EQ(ReadBytes(Plugin(L"running\\p.inf")), "staged");
    EXPECT_FALSE(DirectoryExists(running));
    EXPECT_TRUE(Entries(temp).empty());
}

TEST_F(PluginSort, UncreatableTemporaryFolderMovesNothing)
{
    WriteBytes(temp, "a file in the folder's place");
    const std::set<std::wstring> before = Entries(Plugin());
    prompt.answers = {true};
    try {
        PluginSortClick(settings, prompt, Recorder());
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_NE(error.Message().find(temp), std::wstring::npos) << error.what();
    }
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(Entries(Plugin()), before);
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST_F(PluginSort, MissingPluginFolderMovesNothing)
{
    RemoveTree(Plugin());
    WriteBytes(temp + L"\\stray\\x.inf", "left over");
    prompt.answers = {true};
    EXPECT_THROW(PluginSortClick(settings, prompt, Recorder()), AppError);
    EXPECT_TRUE(moves.empty());
    EXPECT_FALSE(DirectoryExists(Plugin()));
    EXPECT_EQ(ReadBytes(temp + L"\\stray\\x.inf"), "left over");
}

TEST_F(PluginSort, EntriesLeftInTheStagingFolderAreNamedAndGoBackAtTheNextStart)
{
    prompt.answers = {true};
    // The last move fails: everything that was not moved back by name stays staged.
    MoveRoutine failingLast = [&](const std::wstring& source, const std::wstring& target) {
        moves.push_back(source + L" -> " + target);
        if (moves.size() < 5) MoveFileOrFolder(source, target);
    };
    try {
        PluginSortClick(settings, prompt, failingLast);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_NE(error.Message().find(Staging()), std::wstring::npos) << error.what();
    }
    EXPECT_EQ(moves.size(), 5u);
    EXPECT_EQ(Entries(Staging()), (std::set<std::wstring>{L".svn", L"readme.txt", L"sys"}));
    EXPECT_EQ(prompt.messages.size(), 1u);
    EXPECT_TRUE(ReturnInterruptedSorts(MoveFileOrFolder).empty());
    EXPECT_EQ(ReadBytes(Plugin(L"readme.txt")), "loose file");
    EXPECT_FALSE(DirectoryExists(Staging()));
    EXPECT_TRUE(Entries(temp).empty());
}
