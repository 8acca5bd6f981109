// Presets shared by several running instances and saved while a kill may come: two
// helper processes saving, applying and cleaning up at once (each erased the other's
// applied selection before), and the real program killed while it saves a preset under
// a new name. KW_KILL_TRIALS sets the number of kills: 3 by default.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/Process.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/SettingsLock.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetRules.h"
#include "pebuilder/PresetStore.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using Names = std::vector<std::wstring>;

// A control of another process's window, by class and, when given, caption.
HWND Control(HWND window, const wchar_t* className, const wchar_t* text = nullptr)
{
    for (HWND child = ::FindWindowExW(window, nullptr, className, nullptr); child;
         child = ::FindWindowExW(window, child, className, nullptr))
        if (!text || WindowText(child) == text) return child;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (HWND found = Control(child, className, text)) return found;
    return nullptr;
}

Names ListItems(HWND list)
{
    Names items(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < items.size(); ++i) {
        wchar_t text[512] = {};
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items[i] = text;
    }
    return items;
}

int Trials()
{
    const char* text = std::getenv("KW_KILL_TRIALS");
    int trials = text ? std::atoi(text) : 0;
    return trials > 0 ? trials : 3;
}

// The profile "Shared" on an installation of count plug-ins, all enabled, P1000...
class PresetSharing : public ::testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        settings.ProfileKeySuffix = L"\\Shared";
        settings.PEBuilder = scratch / L"pe";
        WriteBytes(scratch / L"pe\\input.inf", "[input]\r\n");
        WriteRegString(kSystemKey, L"Profile", L"Shared");
        WriteRegString(ProfileKey(settings), L"PEBuilder", settings.PEBuilder);
    }
    void TearDown() override { EraseRegKey(kProgramKey); }

    Names MakePlugins(int count) const
    {
        Names keys;
        for (int i = 1000; i < 1000 + count; ++i) {
            const std::string name = "P" + std::to_string(i);
            const std::wstring wide(name.begin(), name.end());
            WriteBytes(scratch / (L"pe\\Plugin\\" + wide + L"\\p.inf"),
                       "[Version]\r\nSignature=$Windows NT$\r\n[PEBuilder]\r\nName=" + name + "\r\nEnable=1\r\n");
            keys.push_back(wide + L"::" + wide + L"\\");
        }
        return keys;
    }

    HWND Start(ChildProcess& program)
    {
        program = StartChild(L"\"" + BinFolder() + L"\\Kitwright.exe\"");
        return WaitForWindow(program.id, L"TMain_Form", 60000);
    }

    ScratchFolder scratch;
    TCurrentSettings settings;
};

}  // namespace

TEST_F(PresetSharing, ASettingsLockThatCouldNotBeOpenedIsOpenedAtTheNextTry)
{
    // The name taken by another kind of object stands for any refusal (on Windows, an
    // elevated instance's rules): the next lock works again without a restart.
    KernelHandle squatter(
        ::CreateEventW(nullptr, FALSE, FALSE, (L"Local\\Vesmor.Kitwright.Settings." + CurrentUserSid()).c_str()));
    ASSERT_TRUE(squatter);
    EXPECT_THROW(SettingsLock(), AppError);
    squatter.Reset();
    EXPECT_NO_THROW(SettingsLock());
}

TEST_F(PresetSharing, TwoInstancesSavingAtOnceLoseMixAndHalfWriteNothing)
{
    const unsigned rounds = 8;
    KernelHandle go(::CreateEventW(nullptr, TRUE, FALSE, L"KwPresetSharingGo"));
    ChildProcess a, b;
    for (auto [child, tag] : {std::pair{&a, L"A"}, std::pair{&b, L"B"}})
        *child = StartChild(L"\"" + BinFolder() + L"\\fileloop.exe\" presets \\Shared " + tag + L" " +
                            std::to_wstring(rounds) + L" KwPresetSharingGo");
    ::SetEvent(go.Get());
    EXPECT_EQ(WaitForExit(a, 60000), 0u);
    EXPECT_EQ(WaitForExit(b, 60000), 0u);

    // Every save of either instance is there, whole and its own; of each name both
    // wanted, one instance's preset, whole.
    const std::wstring presets = PresetsKey(settings);
    auto expectWhole = [&](const std::wstring& name, const std::wstring& prefix) {
        Names values = ValueLines(presets + L"\\" + name);
        ASSERT_EQ(values.size(), 150u) << testing::PrintToString(name);
        for (size_t i = 0; i < values.size(); ++i)
            ASSERT_EQ(values[i], PresetValueName(i + 1) + L"=" + prefix + std::to_wstring(i) + L"::p\\")
                << testing::PrintToString(name);
    };
    Names expected;
    for (unsigned r = 0; r < rounds; ++r) {
        const std::wstring n = std::to_wstring(r);
        for (const std::wstring tag : {L"A", L"B"}) {
            expectWhole(tag + L"-" + n + L" renamed", tag + L" " + n + L" ");
            expectWhole(tag + L"-" + n + L" applied", tag + L" applied " + n + L" ");
            expected.insert(expected.end(), {tag + L"-" + n + L" applied", tag + L"-" + n + L" renamed"});
        }
        const std::wstring shared = L"Shared-" + n;
        const std::wstring owner = ReadRegString(presets + L"\\" + shared, L"001", L"?").substr(0, 1);
        expectWhole(shared, owner + L" " + n + L" ");
        expected.push_back(shared);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SortedSubKeys(presets), expected);
    EXPECT_FALSE(RegSubKeyExists(kProgramKey, L"Transient"));
}

TEST_F(PresetSharing, AKillDuringASaveUnderANewNameNeverListsAPartialPreset)
{
    const Names keys = MakePlugins(600);
    const std::wstring presets = PresetsKey(settings);
    WritePluginValues(presets + L"\\Big", keys);
    WriteRegString(presets + L"\\Big\\PEBuilder", L"source", L"D:\\src\\");
    std::wstring name = L"Big";
    std::mt19937 random(std::random_device{}());
    int midway = 0;
    for (int trial = 0; trial < Trials(); ++trial) {
        ChildProcess program;
        HWND main = Start(program);
        ASSERT_NE(main, nullptr);
        HWND list = Control(main, L"ListBox");
        const Names items = ListItems(list);
        const int index = static_cast<int>(std::find(items.begin(), items.end(), name) - items.begin());
        ASSERT_LT(index, static_cast<int>(items.size())) << testing::PrintToString(items);
        ::SendMessageW(list, LB_SETCURSEL, index, 0);
        ::SendMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
        ::PostMessageW(Control(main, L"Button", L"編集(&E)"), BM_CLICK, 0, 0);
        HWND editor = WaitForWindow(program.id, L"TPreset_Form", 60000);
        ASSERT_NE(editor, nullptr);
        const std::wstring next = L"Big " + std::to_wstring(trial);
        ::SendMessageW(Control(editor, L"Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(next.c_str()));
        ::PostMessageW(Control(editor, L"Button", L"OK"), BM_CLICK, 0, 0);
        // Killed once the new name has appeared, a moment later at random.
        for (DWORD start = ::GetTickCount(); !RegSubKeyExists(presets, next) && ::GetTickCount() - start < 30000;)
            ::Sleep(1);
        ::Sleep(std::uniform_int_distribution<DWORD>(0, 15)(random));
        ASSERT_TRUE(::TerminateProcess(program.process.Get(), 9));
        ASSERT_EQ(::WaitForSingleObject(program.process.Get(), 20000), WAIT_OBJECT_0);
        for (const std::wstring& owner : SortedSubKeys(kTransientKey))
            midway += RegValueExists(kTransientKey + L"\\" + owner, L"Target");

        // What the next start, or any other instance, sees: one preset, whole.
        SettingsLock lock;
        const Names names = SortedSubKeys(presets);
        ASSERT_EQ(names.size(), 1u) << "trial " << trial << ": " << testing::PrintToString(names);
        ASSERT_TRUE(names[0] == name || names[0] == next) << testing::PrintToString(names);
        name = names[0];
        ASSERT_EQ(LoadPresetPluginKeys(settings, name).size(), keys.size()) << "trial " << trial;
        ASSERT_EQ(ReadRegString(presets + L"\\" + name + L"\\PEBuilder", L"source", L""), L"D:\\src\\");
    }
    std::printf("kills in the middle of putting the preset in place: %d of %d\n", midway, Trials());

    // The real program's list after the kills.
    ChildProcess program;
    HWND main = Start(program);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ListItems(Control(main, L"ListBox")).back(), name);
    EXPECT_EQ(ListItems(Control(main, L"ListBox")).size(), 2u);
    EXPECT_EQ(CloseWindowsUntilExit(program), 0u);
    EXPECT_EQ(SortedSubKeys(kTransientKey), Names{});
}
