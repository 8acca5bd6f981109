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
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/TestSupport.h"

namespace {

class PluginSort : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTree(temp);
        CurrentSettings = TCurrentSettings{};
        CurrentSettings.PEBuilder = scratch / L"pebuilder";
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
        return CurrentSettings.PEBuilder + L"\\Plugin" + (name.empty() ? L"" : L"\\" + std::wstring(name));
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

    ScratchFolder scratch;
    const std::wstring temp = TempFolder() + L"\\KWRT_TMP";
    ScriptedPrompt prompt;
    std::vector<std::wstring> moves;
};

}  // namespace

TEST_F(PluginSort, NoMovesNothing)
{
    prompt.answers = {false};
    PluginSortClick(CurrentSettings, prompt, Recorder());
    EXPECT_EQ(prompt.messages, (std::vector<PromptMessage>{{L"Ask", Str(RS_010), Str(RS_101)}}));
    EXPECT_TRUE(moves.empty());
    EXPECT_FALSE(DirectoryExists(temp));
}

TEST_F(PluginSort, FoldersComeBackOneByOneInNameOrderThenEverythingElse)
{
    ASSERT_TRUE(::GetFileAttributesW(Plugin(L"sys").c_str()) & FILE_ATTRIBUTE_SYSTEM);
    const std::set<std::wstring> before = Entries(Plugin());
    prompt.answers = {true};
    PluginSortClick(CurrentSettings, prompt, Recorder());
    const std::wstring p = Plugin(), t = temp;
    EXPECT_EQ(moves, (std::vector<std::wstring>{p + L"\\*.* -> " + t, t + L"\\A -> " + p, t + L"\\b -> " + p,
                                                t + L"\\c -> " + p, t + L"\\*.* -> " + p}));
    EXPECT_EQ(Entries(Plugin()), before);
    EXPECT_TRUE(Entries(temp).empty());
    EXPECT_EQ(ReadBytes(Plugin(L"sys\\sys.inf")), "system folder");
    EXPECT_EQ(ReadBytes(Plugin(L".svn\\entries")), "dot folder");
    EXPECT_EQ(ReadBytes(Plugin(L"A\\A.inf")), "[Version]\r\n");
    EXPECT_EQ(prompt.messages,
              (std::vector<PromptMessage>{{L"Ask", Str(RS_010), Str(RS_101)}, {L"Inform", Str(RS_011), Str(RS_101)}}));
}

TEST_F(PluginSort, LeftoverTemporaryFolderIsSortedIn)
{
    WriteBytes(temp + L"\\B0\\old.inf", "left over");
    WriteBytes(temp + L"\\old.txt", "left over");
    prompt.answers = {true};
    PluginSortClick(CurrentSettings, prompt, Recorder());
    const std::wstring p = Plugin(), t = temp;
    EXPECT_EQ(moves, (std::vector<std::wstring>{p + L"\\*.* -> " + t, t + L"\\A -> " + p, t + L"\\b -> " + p,
                                                t + L"\\B0 -> " + p, t + L"\\c -> " + p, t + L"\\*.* -> " + p}));
    EXPECT_EQ(ReadBytes(Plugin(L"B0\\old.inf")), "left over");
    EXPECT_EQ(ReadBytes(Plugin(L"old.txt")), "left over");
    EXPECT_TRUE(Entries(temp).empty());
    EXPECT_EQ(prompt.messages.back(), (PromptMessage{L"Inform", Str(RS_011), Str(RS_101)}));
}

TEST_F(PluginSort, UncreatableTemporaryFolderMovesNothing)
{
    WriteBytes(temp, "a file in the folder's place");
    const std::set<std::wstring> before = Entries(Plugin());
    prompt.answers = {true};
    try {
        PluginSortClick(CurrentSettings, prompt, Recorder());
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
    EXPECT_THROW(PluginSortClick(CurrentSettings, prompt, Recorder()), AppError);
    EXPECT_TRUE(moves.empty());
    EXPECT_FALSE(DirectoryExists(Plugin()));
    EXPECT_EQ(ReadBytes(temp + L"\\stray\\x.inf"), "left over");
}

TEST_F(PluginSort, EntriesLeftInTheTemporaryFolderAreNamedInsteadOfCompletion)
{
    prompt.answers = {true};
    // The last move fails: everything that was not moved back by name stays in temp.
    MoveRoutine failingLast = [&](const std::wstring& source, const std::wstring& target) {
        moves.push_back(source);
        if (moves.size() < 5) MoveFileOrFolder(source, target);
    };
    try {
        PluginSortClick(CurrentSettings, prompt, failingLast);
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_NE(error.Message().find(temp), std::wstring::npos) << error.what();
    }
    EXPECT_EQ(moves.size(), 5u);
    EXPECT_EQ(Entries(temp), (std::set<std::wstring>{L".svn", L"readme.txt", L"sys"}));
    EXPECT_EQ(prompt.messages.size(), 1u);
    MoveFileOrFolder(temp + L"\\*.*", Plugin());
}
