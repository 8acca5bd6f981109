// The shell's file moves and folder browser, the NTFS test and the temporary folder,
// against Wine's real shell and file systems.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <atomic>

#include <gtest/gtest.h>

#include "core/Files.h"
#include "core/Shell.h"
#include "core/Text.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

TEST(ShellFileOperation, MovesAFolderWithItsFilesIntoAnExistingFolder)
{
    ScratchFolder scratch;
    WriteBytes(scratch / L"src\\ネット\\net.inf", "[PEBuilder]\r\n");
    WriteBytes(scratch / L"src\\ネット\\files\\a.txt", "a");
    MakeFolders(scratch / L"dest");

    EXPECT_TRUE(ShellFileOperation(ShellMove, scratch / L"src\\ネット", scratch / L"dest"));
    EXPECT_FALSE(DirectoryExists(scratch / L"src\\ネット"));
    EXPECT_EQ(ReadBytes(scratch / L"dest\\ネット\\net.inf"), "[PEBuilder]\r\n");
    EXPECT_EQ(ReadBytes(scratch / L"dest\\ネット\\files\\a.txt"), "a");
}

TEST(ShellFileOperation, MovesTheContentsOfAFolderIntoAnExistingFolder)
{
    ScratchFolder scratch;
    WriteBytes(scratch / L"src\\one\\1.inf", "1");
    WriteBytes(scratch / L"src\\two\\2.inf", "2");
    WriteBytes(scratch / L"src\\top.txt", "t");
    MakeFolders(scratch / L"dest");

    MoveFileOrFolder(scratch / L"src\\*.*", scratch / L"dest");
    EXPECT_EQ(ReadBytes(scratch / L"dest\\one\\1.inf"), "1");
    EXPECT_EQ(ReadBytes(scratch / L"dest\\two\\2.inf"), "2");
    EXPECT_EQ(ReadBytes(scratch / L"dest\\top.txt"), "t");
    EXPECT_TRUE(DirectoryExists(scratch / L"src"));
    EXPECT_FALSE(FileExists(scratch / L"src\\top.txt"));
}

TEST(ShellFileOperation, CopiesRenamesAndDeletes)
{
    ScratchFolder scratch;
    WriteBytes(scratch / L"a.txt", "a");
    EXPECT_TRUE(ShellFileOperation(ShellCopy, scratch / L"a.txt", scratch / L"b.txt"));
    EXPECT_EQ(ReadBytes(scratch / L"b.txt"), "a");
    EXPECT_TRUE(ShellFileOperation(ShellRename, scratch / L"b.txt", scratch / L"c.txt"));
    EXPECT_FALSE(FileExists(scratch / L"b.txt"));
    EXPECT_EQ(ReadBytes(scratch / L"c.txt"), "a");
    EXPECT_TRUE(ShellFileOperation(ShellDelete, scratch / L"c.txt", L""));
    EXPECT_FALSE(FileExists(scratch / L"c.txt"));
    EXPECT_TRUE(FileExists(scratch / L"a.txt"));
}

// No error dialog appears (it would block the test, and a user's sort). What the
// shell answers for the move is its own affair: the program does not pass it on.
TEST(ShellFileOperation, AMissingSourceShowsNoDialog)
{
    ScratchFolder scratch;
    MakeFolders(scratch / L"dest");
    EXPECT_FALSE(ShellFileOperation(ShellCopy, scratch / L"nothing", scratch / L"dest"));
    ShellFileOperation(ShellMove, scratch / L"nothing", scratch / L"dest");
    MoveFileOrFolder(scratch / L"nothing", scratch / L"dest");
    EXPECT_TRUE(DirectoryExists(scratch / L"dest"));
    EXPECT_FALSE(DirectoryExists(scratch / L"dest\\nothing"));
}

TEST(IsNtfsVolume, FolderDrivesReportNtfs)
{
    ScratchFolder scratch;
    EXPECT_TRUE(IsNtfsVolume(L"C:\\"));
    EXPECT_TRUE(IsNtfsVolume(L"C:\\pebuilder"));  // need not exist: only the drive counts
    EXPECT_TRUE(IsNtfsVolume(L"c:"));
    EXPECT_TRUE(IsNtfsVolume(scratch.Path()));
    EXPECT_TRUE(IsNtfsVolume(L"C:\\file.txt:stream"));
}

TEST(IsNtfsVolume, OtherFileSystemsAreNotNtfs)
{
    // The test prefix's D: is a CD-ROM drive over a folder; Wine reports it as "CDFS".
    wchar_t fileSystem[MAX_PATH + 1] = {};
    ASSERT_TRUE(::GetVolumeInformationW(L"D:\\", nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1));
    ASSERT_STRNE(fileSystem, L"NTFS");
    EXPECT_FALSE(IsNtfsVolume(L"D:\\"));
    EXPECT_FALSE(IsNtfsVolume(L"d:\\i386"));
}

TEST(IsNtfsVolume, AVolumeThatCannotBeQueriedIsNotNtfs)
{
    DWORD drives = ::GetLogicalDrives();
    wchar_t unused = 0;
    for (wchar_t letter = L'Z'; letter >= L'E' && !unused; --letter)
        if (!(drives & (1u << (letter - L'A')))) unused = letter;
    ASSERT_NE(unused, 0);
    EXPECT_FALSE(IsNtfsVolume(std::wstring(1, unused) + L":\\pebuilder"));
    EXPECT_FALSE(IsNtfsVolume(L"\\\\nohost\\noshare\\pebuilder"));
}

TEST(TempFolder, IsTheSystemsTemporaryFolderWithoutTrailingBackslash)
{
    wchar_t system[MAX_PATH + 1];
    DWORD length = ::GetTempPathW(MAX_PATH + 1, system);
    ASSERT_GT(length, 0u);
    std::wstring folder = TempFolder();
    EXPECT_EQ(folder + L"\\", std::wstring(system, length));
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_TRUE(DirectoryExists(folder));
}

TEST(TempFolder, FollowsTheEnvironment)
{
    ScratchFolder scratch;
    wchar_t saved[MAX_PATH + 1];
    DWORD length = ::GetEnvironmentVariableW(L"TMP", saved, MAX_PATH + 1);
    ::SetEnvironmentVariableW(L"TMP", (scratch.Path() + L"\\").c_str());
    std::wstring folder = TempFolder();
    ::SetEnvironmentVariableW(L"TMP", length ? saved : nullptr);
    EXPECT_EQ(folder, scratch.Path());
}

// The text of the tree's selected item, as a user would see it.
std::wstring SelectedItemText(HWND tree)
{
    wchar_t text[MAX_PATH] = L"";
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    if (!item.hItem || !::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {};
    return text;
}

class BrowseForFolderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr))); }
    void TearDown() override { ::CoUninitialize(); }
};

// The browser starts on the given folder, so OK alone returns it.
//
// Wine opens the tree towards the preselected folder one level at a time after the
// browser shows, and about one browser in twenty (either style, measured) stops a level
// short. The driver therefore waits until the selection has reached the folder and
// cancels the browser when it never does; a few browsers are allowed for one that
// arrives. A browser that was never told the folder never arrives, and fails.
TEST_F(BrowseForFolderTest, OkReturnsThePreselectedFolder)
{
    ScratchFolder scratch;
    MakeFolders(scratch / L"プラグイン");
    for (bool newStyle : {true, false}) {
        std::atomic<bool> arrived = false;
        std::wstring folder;
        bool chosen = false;
        for (int attempt = 0; attempt < 4 && !arrived; ++attempt) {
            folder = scratch / L"プラグイン";
            DialogDriver driver(L"#32770", L"", [&arrived](HWND browser) {
                HWND tree = ::FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
                for (int i = 0; tree && i < 300 && !arrived; ++i) {
                    arrived = SelectedItemText(tree) == L"プラグイン";
                    if (!arrived) ::Sleep(10);
                }
                int button = arrived ? IDOK : IDCANCEL;
                ::PostMessageW(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(browser, button)));
            });
            chosen = BrowseForFolder(nullptr, L"Choose", folder, newStyle);
            EXPECT_TRUE(driver.Acted());
        }
        ASSERT_TRUE(arrived) << "new style " << newStyle << ": the selection never reached the folder";
        EXPECT_TRUE(chosen) << "new style " << newStyle;
        EXPECT_TRUE(SameText(folder, scratch / L"プラグイン"))
            << "new style " << newStyle << ": " << testing::PrintToString(folder);
    }
}

TEST_F(BrowseForFolderTest, CancelLeavesTheFolderAlone)
{
    std::wstring folder = L"C:\\windows";
    DialogDriver driver(L"#32770", L"", [](HWND browser) {
        ::PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(browser, IDCANCEL)));
    });
    EXPECT_FALSE(BrowseForFolder(nullptr, L"Choose", folder, true));
    EXPECT_EQ(folder, L"C:\\windows");
}
