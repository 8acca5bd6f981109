// The key paths of the settings store: where each key lies, and the profile keys that
// are refused because they would address the Profiles key itself or another's keys.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Settings.h"
#include "core/SettingsKeys.h"

TEST(SettingsKeys, EveryKeyLiesWhereTheStoreKeepsIt)
{
    TCurrentSettings settings;
    settings.ProfileKeySuffix = ProfileKeySuffixOf(L"ソフト");
    const std::wstring profiles = L"Software\\Vesmor\\Kitwright\\Profiles";
    const struct {
        std::wstring key, expected;
    } cases[] = {
        {kProgramKey, L"Software\\Vesmor\\Kitwright"},
        {kSystemKey, L"Software\\Vesmor\\Kitwright\\System"},
        {kProfilesKey, profiles},
        {kTransientKey, L"Software\\Vesmor\\Kitwright\\Transient"},
        {kOldPresetsKey, L"Software\\Vesmor\\Kitwright\\Preset"},
        {kOldAppliedKey, profiles + L"\\Temp"},
        {settings.ProfileKeySuffix, L"\\ソフト"},
        {ProfileKey(settings), profiles + L"\\ソフト"},
        {ProfileKey(L"Work/Sub"), profiles + L"\\Work/Sub"},
        {PresetsKey(settings), profiles + L"\\ソフト\\Preset"},
        {PresetsKey(ProfileKey(L"A")), profiles + L"\\A\\Preset"},
        {PresetKey(settings, L"最小構成"), profiles + L"\\ソフト\\Preset\\最小構成"},
        {PresetKey(ProfileKey(L"A"), L"Net"), profiles + L"\\A\\Preset\\Net"},
        {PresetSettingsKey(settings, L"Net"), profiles + L"\\ソフト\\Preset\\Net\\PEBuilder"},
        {PresetSettingsKey(PresetKey(ProfileKey(L"A"), L"Net")), profiles + L"\\A\\Preset\\Net\\PEBuilder"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.key, c.expected);
}

TEST(SettingsKeys, AProfileKeyNeedsANameOfOneProfile)
{
    for (const std::wstring& name : {std::wstring(), std::wstring(L"Work\\Sub"), std::wstring(L"\\"),
                                    std::wstring(256, L'x')})
        EXPECT_THROW(ProfileKey(name), AppError) << testing::PrintToString(name);
    EXPECT_EQ(ProfileKey(std::wstring(255, L'x')), kProfilesKey + L"\\" + std::wstring(255, L'x'));

    // The loaded profile's key, and every key below it, needs a suffix that names one.
    TCurrentSettings settings;
    for (const wchar_t* suffix : {L"", L"\\", L"Work", L"\\P\\Preset\\Half", L"\\Work\\"}) {
        settings.ProfileKeySuffix = suffix;
        const std::string shown = testing::PrintToString(std::wstring(suffix));
        EXPECT_THROW(ProfileKey(settings), AppError) << shown;
        EXPECT_THROW(PresetsKey(settings), AppError) << shown;
        EXPECT_THROW(PresetKey(settings, L"Net"), AppError) << shown;
        EXPECT_THROW(PresetSettingsKey(settings, L"Net"), AppError) << shown;
    }
}
