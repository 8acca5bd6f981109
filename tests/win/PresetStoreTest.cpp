// Presets in the real registry of this test's own Wine prefix, below the commands: a
// preset named PEBuilder, the applied selection, failures part-way that leave the old
// preset whole, the clean-up of transient keys and Plugin Builder's source path.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Files.h"
#include "core/IniFile.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "core/Handles.h"
#include "pebuilder/InputSettings.h"
#include "pebuilder/PresetStore.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using Names = std::vector<std::wstring>;

std::wstring ValueOf(const std::wstring& key, const std::wstring& name) { return ReadRegString(key, name, L"<none>"); }

Names SubKeys(const std::wstring& key)
{
    Names names;
    ListRegSubKeys(key, names);
    return names;
}

Names Values(const std::wstring& key)
{
    Names lines;
    ListRegValues(key, lines);
    return lines;
}

DWORD TypeOf(const std::wstring& key, const std::wstring& name)
{
    DWORD type = REG_NONE;
    ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &type, nullptr, nullptr);
    return type;
}

// A key the registry keeps in memory only: it refuses to hold lasting subkeys, so that
// creating one below it fails as a full or refusing registry would.
void MakeVolatileKey(const std::wstring& key)
{
    // Keys made on the way would be volatile too: the parent is made lasting first.
    WriteRegString(ExtractFileDir(key), L"", L"");
    DeleteRegValue(ExtractFileDir(key), L"");
    HKEY handle;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(handle);
}

// The message of the AppError the call raises; empty when it raises none.
template <typename Call>
std::wstring ErrorOf(Call&& call)
{
    try {
        call();
    } catch (const AppError& error) {
        return error.Message();
    }
    return L"";
}

class PresetStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        settings.ProfileKeySuffix = L"\\Test";
        settings.PEBuilder = scratch / L"pe";
        settings.PluginBuilder = scratch / L"plb";
    }
    void TearDown() override { EraseRegKey(kProgramKey); }

    std::wstring Preset(const std::wstring& name) const { return PresetsKey(settings) + L"\\" + name; }
    std::wstring OwnSettings(const std::wstring& name) const { return Preset(name) + L"\\PEBuilder"; }

    // A preset with plug-in values and, when asked, its own settings with a number.
    void Make(const std::wstring& name, const Names& keys, bool ownSettings = false)
    {
        WritePluginValues(Preset(name), keys);
        if (!ownSettings) return;
        WriteRegString(OwnSettings(name), L"source", L"D:\\" + name + L"\\");
        WriteRegInteger(OwnSettings(name), L"buildiso", 1);
    }

    void ExpectOwnSettings(const std::wstring& name, const std::wstring& of)
    {
        EXPECT_EQ(ValueOf(OwnSettings(name), L"source"), L"D:\\" + of + L"\\");
        EXPECT_EQ(TypeOf(OwnSettings(name), L"buildiso"), static_cast<DWORD>(REG_DWORD));
    }

    void ExpectNoTransientKeys() { EXPECT_FALSE(RegSubKeyExists(kProgramKey, L"Transient")); }

    ScratchFolder scratch;
    TCurrentSettings settings;
};

}  // namespace

TEST_F(PresetStore, APresetNamedPEBuilderIsAPresetLikeAnyOther)
{
    Make(L"PEBuilder", {L"P::p\\"});
    Make(L"Net", {L"N::n\\"}, true);
    SavePreset(settings, L"Net", L"Network", {L"N::n\\"});
    EXPECT_EQ(Values(Preset(L"PEBuilder")), (Names{L"001=P::p\\"}));
    EXPECT_FALSE(RegSubKeyExists(Preset(L"PEBuilder"), L"PEBuilder"));
    ExpectOwnSettings(L"Network", L"Net");

    SavePreset(settings, L"PEBuilder", L"PE", {L"Q::q\\"});
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Network", L"PE"}));
    ExpectOwnSettings(L"Network", L"Net");
}

TEST_F(PresetStore, RefusesNamesThatWouldNestKeys)
{
    Make(L"a", {L"A::a\\"});
    EXPECT_THROW(SavePreset(settings, L"", L"a\\b", {L"B::b\\"}), AppError);
    EXPECT_THROW(SavePreset(settings, L"a", L"", {L"B::b\\"}), AppError);
    EXPECT_EQ(Values(Preset(L"a")), (Names{L"001=A::a\\"}));
    EXPECT_TRUE(SubKeys(Preset(L"a")).empty());
}

TEST_F(PresetStore, TheAppliedSelectionIsStoredUnderTheGivenName)
{
    Make(L"Tools", {L"A::a\\"}, true);
    WriteAppliedSelection({L"A::a\\", L"B::b\\", L"C::c\\"});
    WriteAppliedSelection({L"A::a\\", L"C::c\\"});
    EXPECT_EQ(Values(AppliedSelectionKey()), (Names{L"001=A::a\\", L"002=C::c\\"}));
    SaveAppliedSelection(settings, L"Tools", L"Kit");
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Kit"}));
    EXPECT_EQ(Values(Preset(L"Kit")), (Names{L"001=A::a\\", L"002=C::c\\"}));
    ExpectOwnSettings(L"Kit", L"Tools");
    ExpectNoTransientKeys();

    // An Apply with nothing ticked leaves no selection; storing it empties the preset.
    WriteAppliedSelection({});
    SaveAppliedSelection(settings, L"", L"Nothing");
    EXPECT_FALSE(RegSubKeyExists(PresetsKey(settings), L"Nothing"));
}

TEST_F(PresetStore, AFailureWhileWritingTheNewContentLeavesTheOldPresetWhole)
{
    Make(L"Tools", {L"A::a\\", L"B::b\\"}, true);
    MakeVolatileKey(kTransientKey);
    EXPECT_THROW(SavePreset(settings, L"Tools", L"Kit", {L"C::c\\"}), AppError);
    EXPECT_THROW(SavePreset(settings, L"Tools", L"Tools", {L"C::c\\"}), AppError);
    EXPECT_THROW(WriteAppliedSelection({L"C::c\\"}), AppError);
    EXPECT_FALSE(RegSubKeyExists(OwnTransientKey(), L"Applied"));
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Tools"}));
    EXPECT_EQ(Values(Preset(L"Tools")), (Names{L"001=A::a\\", L"002=B::b\\"}));
    ExpectOwnSettings(L"Tools", L"Tools");
}

TEST_F(PresetStore, ARenameThatCannotTakeItsPlaceLeavesTheOldPresetWhole)
{
    // Presets below a key that takes no lasting subkeys: the new one cannot be made.
    MakeVolatileKey(PresetsKey(settings));
    MakeVolatileKey(Preset(L"Tools"));
    WriteRegString(Preset(L"Tools"), L"001", L"A::a\\");
    std::wstring error = ErrorOf([&] { SavePreset(settings, L"Tools", L"Kit", {L"C::c\\"}); });
    EXPECT_NE(error.find(L"Preset\\Kit"), std::wstring::npos) << testing::PrintToString(error);
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Tools"}));
    EXPECT_EQ(Values(Preset(L"Tools")), (Names{L"001=A::a\\"}));
    EXPECT_FALSE(RegSubKeyExists(OwnTransientKey(), L"Staged"));
    EXPECT_FALSE(RegValueExists(OwnTransientKey(), L"Target"));
}

// Once the old content is gone, the save is finished rather than undone: the staged
// content is complete, and the journal says where it belongs.
TEST_F(PresetStore, ASaveThatFailedInPlaceIsFinishedAtTheNextCleanUp)
{
    MakeVolatileKey(PresetsKey(settings));
    MakeVolatileKey(Preset(L"Tools"));
    WriteRegString(Preset(L"Tools"), L"001", L"A::a\\");
    MakeVolatileKey(OwnSettings(L"Tools"));
    WriteRegInteger(OwnSettings(L"Tools"), L"buildiso", 1);
    std::wstring error = ErrorOf([&] { SavePreset(settings, L"Tools", L"TOOLS", {L"C::c\\"}); });
    EXPECT_NE(error.find(L"Preset\\TOOLS"), std::wstring::npos) << testing::PrintToString(error);
    EXPECT_TRUE(RegValueExists(OwnTransientKey(), L"Target"));

    EraseRegKey(PresetsKey(settings));  // what refused the keys is gone
    CleanUpTransientKeys();
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"TOOLS"}));
    EXPECT_EQ(Values(Preset(L"TOOLS")), (Names{L"001=C::c\\"}));
    EXPECT_EQ(ReadRegInteger(OwnSettings(L"TOOLS"), L"buildiso", 0), 1);
    ExpectNoTransientKeys();
}

TEST_F(PresetStore, CleanUpRemovesOnlyWhatIsUnmistakablyTransient)
{
    const std::wstring oldApplied = kProfilesKey + L"\\Temp";
    WriteRegString(oldApplied, L"001", L"A::a\\");
    WriteRegString(oldApplied, L"002", L"B::b\\");
    WriteAppliedSelection({L"A::a\\"});
    CleanUpTransientKeys();
    EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"Temp"));
    ExpectNoTransientKeys();

    // A profile named Temp: settings of its own, or presets, or a value of another kind.
    struct Profile {
        const wchar_t* name;
        const wchar_t* value;
    };
    for (auto [name, value] : {Profile{L"PEBuilder", L"C:\\pe"}, Profile{L"001", L"no plug-in"}}) {
        EraseRegKey(oldApplied);
        WriteRegString(oldApplied, L"001", L"A::a\\");
        WriteRegString(oldApplied, name, value);
        CleanUpTransientKeys();
        EXPECT_TRUE(RegSubKeyExists(kProfilesKey, L"Temp")) << name;
    }
    EraseRegKey(oldApplied);
    WriteRegString(oldApplied, L"001", L"A::a\\");
    WriteRegInteger(oldApplied, L"PEB_VER", 3);
    CleanUpTransientKeys();
    EXPECT_TRUE(RegSubKeyExists(kProfilesKey, L"Temp"));
    EraseRegKey(oldApplied);
    WriteRegString(oldApplied + L"\\Preset\\Net", L"001", L"A::a\\");
    CleanUpTransientKeys();
    EXPECT_TRUE(RegSubKeyExists(kProfilesKey, L"Temp"));
}

TEST_F(PresetStore, DeleteTakesTheOwnSettingsAndNeverTheWholePresetKey)
{
    Make(L"Tools", {L"A::a\\"}, true);
    Make(L"Net", {L"N::n\\"});
    DeletePreset(settings, L"");
    EXPECT_EQ(SubKeys(PresetsKey(settings)).size(), 2u);
    DeletePreset(settings, L"tools");
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Net"}));
}

TEST_F(PresetStore, PluginBuilderSourcePathOnlyWhereItsSettingsFileIs)
{
    const std::wstring ini = settings.PluginBuilder + L"\\Plugin_Builder.ini";
    WriteBytes(settings.PEBuilder + L"\\input.inf", "[input]\r\nsource=D:\\xp\\\r\n");
    Make(L"Plain", {L"A::a\\"});
    WritePluginBuilderSourcePath(settings, 0, L"[last build]");
    EXPECT_FALSE(FileExists(ini));  // never created

    // A preset without settings of its own builds from input.inf.
    WriteBytes(ini, "[System]\r\nPluginPath=x\r\nSourcePath=\r\n");
    WritePluginBuilderSourcePath(settings, 2, L"Plain");
    EXPECT_EQ(ReadIniString(ini, L"System", L"SourcePath", L"?"), L"D:\\xp\\");
    EXPECT_EQ(ReadIniString(ini, L"System", L"PluginPath", L"?"), L"x");
}

// The check and the write are one step: a name that another instance took after the
// editor checked it is refused there, and neither preset changes. A preset stored as
// "none" outside the program keeps its name and its values.
TEST_F(PresetStore, NeverTakesAnotherPresetsNameAndKeepsOneStoredAsNone)
{
    Make(L"Tools", {L"A::a\\"}, true);
    Make(L"Net", {L"N::n\\"}, true);
    for (const wchar_t* taken : {L"Net", L"NET"}) {
        std::wstring error = ErrorOf([&] { SavePreset(settings, L"Tools", taken, {L"C::c\\"}); });
        EXPECT_NE(error.find(L"プリセット名は既に存在しています"), std::wstring::npos) << testing::PrintToString(error);
        WriteAppliedSelection({L"C::c\\"});
        EXPECT_THROW(SaveAppliedSelection(settings, L"", taken), AppError);
    }
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Net", L"Tools"}));
    EXPECT_EQ(Values(Preset(L"Net")), (Names{L"001=N::n\\"}));
    ExpectOwnSettings(L"Net", L"Net");
    ExpectOwnSettings(L"Tools", L"Tools");

    Make(L"none", {L"A::a\\"}, true);
    EXPECT_THROW(SavePreset(settings, L"Tools", L"none", {}), AppError);
    SavePreset(settings, L"none", L"none", {L"B::b\\"});
    EXPECT_EQ(Values(Preset(L"none")), (Names{L"001=B::b\\"}));
    ExpectOwnSettings(L"none", L"none");
}

// Clean-up finishes the journalled step of an instance that has ended, whether its
// process id is free or reused by another program, and leaves a running one's keys.
TEST_F(PresetStore, CleanUpFinishesWhatEndedInstancesBeganAndLeavesRunningOnes)
{
    ChildProcess running = StartChild(L"\"" + BinFolder() + L"\\exitwith.exe\" 0 KwStoreStarted KwStoreRelease");
    KernelHandle started(::CreateEventW(nullptr, TRUE, FALSE, L"KwStoreStarted"));
    KernelHandle release(::CreateEventW(nullptr, TRUE, FALSE, L"KwStoreRelease"));
    ASSERT_EQ(::WaitForSingleObject(started.Get(), 20000), WAIT_OBJECT_0);
    FILETIME created{}, unused{};
    ::GetProcessTimes(running.process.Get(), &created, &unused, &unused, &unused);
    const uint64_t start = (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    const std::wstring pid = std::to_wstring(running.id);
    // Owner key name: the preset its journal puts in place.
    for (const auto& [owner, preset] : {std::pair{std::wstring(L"4000000000-1"), L"Gone"}, {pid + L"-1", L"Reused"},
                                        {pid + L"-" + std::to_wstring(start), L"Running"}}) {
        const std::wstring key = kTransientKey + L"\\" + owner;
        WritePluginValues(key + L"\\Applied", {L"A::a\\"});
        WritePluginValues(key + L"\\Staged", {L"S::s\\"});
        WriteRegString(key, L"Target", Preset(preset));
    }
    CleanUpTransientKeys();
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Gone", L"Reused"}));
    EXPECT_EQ(Values(Preset(L"Reused")), (Names{L"001=S::s\\"}));
    EXPECT_EQ(SubKeys(kTransientKey), (Names{pid + L"-" + std::to_wstring(start)}));
    ::SetEvent(release.Get());
    EXPECT_EQ(WaitForExit(running), 0u);

    // An earlier version's shared transient key: the preset it set aside goes back.
    Make(L"Tools", {L"A::a\\"});
    MoveRegKey(Preset(L"Tools"), kTransientKey + L"\\Replaced");
    WriteRegString(kTransientKey, L"ReplacedFrom", Preset(L"Tools"));
    CleanUpTransientKeys();
    EXPECT_EQ(Values(Preset(L"Tools")), (Names{L"001=A::a\\"}));
    ExpectNoTransientKeys();
}

// A preset's own PE Builder settings are written whole or not at all, keep the values
// the dialog does not write, and are never written for a preset that is gone.
TEST_F(PresetStore, OwnSettingsAreWrittenWholeOrNotAtAll)
{
    Make(L"Tools", {L"A::a\\"}, true);
    WriteRegString(OwnSettings(L"Tools"), L"fulloutdir", L"E:\\out\\");
    const std::vector<InputWrite> writes = {{L"source", L"F:\\new\\", {}}, {L"buildiso", L"", 0}};
    MakeVolatileKey(kTransientKey);
    EXPECT_THROW(SaveInputSettingsToRegistry(OwnSettings(L"Tools"), writes), AppError);
    ExpectOwnSettings(L"Tools", L"Tools");
    EXPECT_EQ(ReadRegInteger(OwnSettings(L"Tools"), L"buildiso", 0), 1);
    EraseRegKey(kTransientKey);

    SaveInputSettingsToRegistry(OwnSettings(L"Tools"), writes);
    EXPECT_EQ(ValueOf(OwnSettings(L"Tools"), L"source"), L"F:\\new\\");
    EXPECT_EQ(ReadRegInteger(OwnSettings(L"Tools"), L"buildiso", 1), 0);
    EXPECT_EQ(ValueOf(OwnSettings(L"Tools"), L"fulloutdir"), L"E:\\out\\");
    EXPECT_EQ(Values(Preset(L"Tools")), (Names{L"001=A::a\\"}));

    EXPECT_THROW(SaveInputSettingsToRegistry(OwnSettings(L"Gone"), writes), AppError);
    EXPECT_EQ(SubKeys(PresetsKey(settings)), (Names{L"Tools"}));
    ExpectNoTransientKeys();
}
