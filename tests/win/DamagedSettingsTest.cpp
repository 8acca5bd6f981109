// The real program started on damaged settings: each kind of damage is reported at most
// once, by name, and the main window still opens on a whole profile, with nothing
// written where a damaged value would have pointed.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/Registry.h"
#include "core/Settings.h"
#include "tests/support/ChooserDriver.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring K = kProgramKey;
const std::wstring kDefault = kProfilesKey + L"\\デフォルト";

void SetBinary(const std::wstring& key, const wchar_t* name)
{
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_BINARY, "\x10\x20\x30", 3), ERROR_SUCCESS);
}

struct ClassSearch {
    const wchar_t* className;
    HWND found = nullptr;
};

BOOL CALLBACK MatchClass(HWND child, LPARAM data)
{
    auto* search = reinterpret_cast<ClassSearch*>(data);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (::lstrcmpiW(name, search->className) != 0) return TRUE;
    search->found = child;
    return FALSE;
}

HWND FirstChildOfClass(HWND parent, const wchar_t* className)
{
    ClassSearch search{className};
    ::EnumChildWindows(parent, MatchClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What one start showed: the error boxes in order (each answered with OK), and the
// preset list and its row height once the main window was there.
struct Start {
    std::vector<std::wstring> reports;
    bool mainWindow = false;
    std::vector<std::wstring> presets;
    int rowHeight = 0;
    DWORD exitCode = 0;
};

Start RunToMainWindow(const std::wstring& exe)
{
    Start start;
    ChildProcess child = StartChild(L"\"" + exe + L"\"");
    for (int round = 0; round < 100 && !start.mainWindow; ++round) {
        if (HWND box = WaitForWindow(child.id, L"#32770", 100)) {
            start.reports.push_back(MessageBoxText(box));
            ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            while (::IsWindow(box)) ::Sleep(10);
        } else if (HWND main = WaitForWindow(child.id, L"TMain_Form", 100)) {
            start.mainWindow = true;
            Settle(main);
            HWND list = FirstChildOfClass(main, L"ListBox");
            start.presets = ListItems(list);
            start.rowHeight = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
            ::PostMessageW(main, WM_CLOSE, 0, 0);
        }
    }
    start.exitCode = start.mainWindow ? WaitForExit(child) : CloseWindowsUntilExit(child);
    return start;
}

struct DamageCase {
    const char* what;
    std::function<void()> damage;
    const char* languageFile;                 // beside the program, or null
    const wchar_t* reportNames;               // what the one error box names; null: no box
    std::function<void(const Start&)> check;  // after the program has ended
};

}  // namespace

TEST(DamagedSettings, EachKindOfDamageIsReportedOnceAndTheProfileStillLoads)
{
    ScratchFolder folder, pebuilder;
    const std::wstring exe = folder / L"Kitwright.exe";
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"\\Kitwright.exe").c_str(), exe.c_str(), FALSE));
    WriteBytes(pebuilder / L"input.inf", "[input]\r\n");
    const std::wstring longName(256, L'z');  // sorted after "one"

    const DamageCase cases[] = {
        {"a colour stored as binary", [] { SetBinary(K, L"UnselectedBackColor"); }, nullptr, L"UnselectedBackColor",
         [](auto&) { EXPECT_FALSE(RegValueExists(K, L"UnselectedBackColor")); }},
        {"the window state stored as binary", [] { SetBinary(K, L"FormState"); }, nullptr, L"\\FormState",
         [](auto&) { EXPECT_EQ(ReadRegInteger(K, L"FormState", -1), 0); }},
        {"a profile value stored as binary", [] { SetBinary(kDefault, L"PEB_VER"); }, nullptr, L"PEB_VER",
         [](auto&) { EXPECT_FALSE(RegValueExists(kDefault, L"PEB_VER")); }},
        {"a profile name that is a preset's path",
         [] {
             WriteRegString(kProfilesKey + L"\\P\\Preset\\Half", L"001", L"Half::half\\");
             WriteRegString(kSystemKey, L"Profile", L"P\\Preset\\Half");
         },
         nullptr, L"System\\Profile",
         [](auto&) {
             EXPECT_FALSE(RegValueExists(kSystemKey, L"Profile"));
             EXPECT_FALSE(RegValueExists(kProfilesKey + L"\\P\\Preset\\Half", L"PEBuilder"));
             EXPECT_FALSE(RegSubKeyExists(kProfilesKey + L"\\P\\Preset\\Half", L"Preset"));
         }},
        {"an empty profile name", [] { WriteRegString(kSystemKey, L"Profile", L""); }, nullptr, L"System\\Profile",
         [](auto&) { EXPECT_FALSE(RegValueExists(kProfilesKey, L"PEBuilder")); }},
        {"a language file without a default profile name", [] { DeleteRegValue(kSystemKey, L"Profile"); },
         "[Strings]\r\nRS_601=\r\n", nullptr, [](auto&) { EXPECT_FALSE(RegValueExists(kProfilesKey, L"PEBuilder")); }},
        {"a language file whose default profile name holds a backslash", [] { DeleteRegValue(kSystemKey, L"Profile"); },
         "[Strings]\r\nRS_601=A\\B\r\n", nullptr, [](auto&) { EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"A")); }},
        {"a preset key name of 256 characters",
         [&] { WriteRegString(kDefault + L"\\Preset\\" + longName, L"001", L"x::x\\"); }, nullptr, nullptr,
         [&](const Start& start) { EXPECT_EQ(start.presets.back(), longName); }},
        {"a language file's absurd font size", [] {}, "[Font01]\r\nSize=1\r\n", nullptr,
         [](const Start& start) { EXPECT_GE(start.rowHeight, 8); }},  // 6 points at least
    };

    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.what);
        EraseRegKey(K);
        WriteRegString(kSystemKey, L"Profile", L"デフォルト");
        WriteRegString(kDefault, L"PEBuilder", pebuilder.Path());
        WriteRegString(kDefault + L"\\Preset\\one", L"001", L"x::x\\");
        ::DeleteFileW((folder / L"Kitwright.rsl").c_str());
        if (c.languageFile) WriteBytes(folder / L"Kitwright.rsl", c.languageFile);
        c.damage();

        Start start = RunToMainWindow(exe);
        EXPECT_EQ(start.exitCode, 0u);
        ASSERT_EQ(start.reports.size(), c.reportNames ? 1u : 0u) << testing::PrintToString(start.reports);
        if (c.reportNames) {
            EXPECT_NE(start.reports[0].find(c.reportNames), std::wstring::npos) << start.reports[0];
        }
        // The profile's own presets: the window loaded the default profile whole.
        ASSERT_TRUE(start.mainWindow);
        ASSERT_GE(start.presets.size(), 2u);
        EXPECT_EQ(start.presets[1], L"one");
        c.check(start);
    }
    EraseRegKey(K);
}
