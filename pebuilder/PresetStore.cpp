// Presets in the settings store and the transient keys of the preset editor.
#include "pebuilder/PresetStore.h"

#include <windows.h>

#include <functional>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/IniFile.h"
#include "core/RegistryNames.h"
#include "core/Text.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/Installation.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetRules.h"

namespace {

// A preset's new content, assembled before it takes the preset's place.
const std::wstring kSavingKey = kTransientKey + L"\\Saving";
// A preset set aside while a key of the same name replaces it.
const std::wstring kReplacedKey = kTransientKey + L"\\Replaced";
// A value of kTransientKey: the key path the set-aside preset belongs back at.
const wchar_t kReplacedFrom[] = L"ReplacedFrom";
// Where earlier versions kept the applied selection: among the profiles.
const std::wstring kLegacyAppliedKey = kProfilesKey + L"\\Temp";

std::wstring SettingsKeyOf(const std::wstring& presetKey) { return presetKey + L"\\" + RegName::PresetSettings; }

// Puts a preset set aside by a save that did not finish back in its place, and drops
// whatever else that save left.
void RestoreInterruptedSave()
{
    std::wstring from = ReadRegString(kTransientKey, kReplacedFrom, L"");
    // The value names a key that is erased: never trust it beyond the profiles.
    if (StartsWithText(from, kProfilesKey + L"\\") && RegSubKeyExists(kTransientKey, L"Replaced")) {
        EraseRegKey(from);
        MoveRegKey(kReplacedKey, from);
    }
    DeleteRegValue(kTransientKey, kReplacedFrom);
    EraseRegKey(kReplacedKey);
    EraseRegKey(kSavingKey);
}

// Runs recovery after a failed step without letting its own failure hide the first one.
void RestoreQuietly(const std::function<void()>& restore)
{
    try {
        restore();
    } catch (...) {
    }
}

void Store(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName,
           const std::function<void()>& stageValues)
{
    if (!IsStorablePresetName(newName)) throw AppError(L"The preset name \"" + newName + L"\" cannot be stored.");
    RestoreInterruptedSave();
    const std::wstring presets = PresetsKey(settings);
    const std::wstring newKey = PresetKeyPath(settings, newName);
    const std::wstring oldKey = PresetKeyPath(settings, oldName);
    const bool oldExists = !oldName.empty() && RegSubKeyExists(presets, oldName);
    // The registry decides whether the names are one key: the same name, or another
    // letter case of it.
    const bool inPlace = oldExists && RegSubKeyExists(presets, newName);

    // The new content, complete, before anything that exists changes.
    stageValues();
    if (oldExists) CopyRegKey(SettingsKeyOf(oldKey), SettingsKeyOf(kSavingKey));
    try {
        if (inPlace) {
            CopyRegKey(oldKey, kReplacedKey);
            WriteRegString(kTransientKey, kReplacedFrom, oldKey);
            EraseRegKey(oldKey);
        }
        EraseRegKey(newKey);
        MoveRegKey(kSavingKey, newKey);
        if (inPlace) DeleteRegValue(kTransientKey, kReplacedFrom);
    } catch (...) {
        RestoreQuietly([&] {
            if (!inPlace) EraseRegKey(newKey);
            RestoreInterruptedSave();
        });
        throw;
    }
    if (oldExists && !inPlace) EraseRegKey(oldKey);
    // The set-aside copy, the applied selection: nothing transient outlives the save.
    EraseRegKey(kTransientKey);
}

bool IsDigits(std::wstring_view text)
{
    return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring_view::npos;
}

// Whether the key holds values "001"... naming plug-ins ("name::folder\") and nothing
// else: no subkey, no value of another name or type.
bool HoldsOnlyPluginValues(const std::wstring& key)
{
    RegKey handle;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, handle.Receive()) != ERROR_SUCCESS) return false;
    DWORD subKeys = 0, values = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyW(handle.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, &maxName,
                           &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    if (subKeys != 0 || values == 0) return false;
    std::wstring name(maxName + 1, L'\0');
    std::wstring data(maxData / sizeof(wchar_t) + 1, L'\0');
    for (DWORD index = 0; index < values; ++index) {
        DWORD nameLength = maxName + 1, type = 0, size = maxData;
        if (::RegEnumValueW(handle.Get(), index, name.data(), &nameLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
            return false;
        std::wstring_view text(data.data(), size / sizeof(wchar_t));
        if (type != REG_SZ || nameLength < 3 || !IsDigits(std::wstring_view(name.data(), nameLength)) ||
            text.find(L"::") == std::wstring_view::npos)
            return false;
    }
    return true;
}

}  // namespace

std::wstring PresetsKey(const TCurrentSettings& settings) { return settings.ProfileKey() + L"\\" + RegName::Preset; }

void WritePluginValues(const std::wstring& key, const std::vector<std::wstring>& pluginKeys)
{
    for (size_t i = 0; i < pluginKeys.size(); ++i) WriteRegString(key, PresetValueName(i + 1), pluginKeys[i]);
}

void WriteAppliedSelection(const std::vector<std::wstring>& pluginKeys)
{
    EraseRegKey(kAppliedSelectionKey);
    try {
        WritePluginValues(kAppliedSelectionKey, pluginKeys);
    } catch (...) {
        RestoreQuietly([] { EraseRegKey(kAppliedSelectionKey); });
        throw;
    }
}

void SavePreset(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName,
                const std::vector<std::wstring>& pluginKeys)
{
    Store(settings, oldName, newName, [&] { WritePluginValues(kSavingKey, pluginKeys); });
}

void SaveAppliedSelection(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName)
{
    Store(settings, oldName, newName, [] { CopyRegKey(kAppliedSelectionKey, kSavingKey); });
}

void DeletePreset(const TCurrentSettings& settings, const std::wstring& name)
{
    // An empty name would name the Preset key itself, with every preset in it.
    if (!name.empty()) EraseRegKey(PresetKeyPath(settings, name));
}

void CleanUpTransientKeys()
{
    RestoreInterruptedSave();
    EraseRegKey(kTransientKey);
    if (HoldsOnlyPluginValues(kLegacyAppliedKey)) EraseRegKey(kLegacyAppliedKey);
}

void WritePluginBuilderSourcePath(const TCurrentSettings& settings, int selectedIndex, const std::wstring& selectedName)
{
    // Nothing is read for a Plugin Builder that has no settings file to take it.
    if (settings.PluginBuilder.empty() || !FileExists(PluginBuilderIniPath(settings.PluginBuilder))) return;
    std::wstring source;
    const std::wstring presetKey = PresetKeyPath(settings, selectedName);
    if (selectedIndex > 0 && !selectedName.empty() && RegSubKeyExists(presetKey, RegName::PresetSettings))
        source = ReadRegString(SettingsKeyOf(presetKey), L"source", L"");
    else
        source = ReadIniString(InputInfPath(settings.PEBuilder), kInputSection, L"source", L"");
    WritePluginBuilderSetting(settings.PluginBuilder, kSourcePathKey, source);
}
