// Presets in the settings store and the transient keys of the preset editor.
#include "pebuilder/PresetStore.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/IniFile.h"
#include "core/RegistryNames.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/Installation.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetRules.h"
#include "pebuilder/SettingsSource.h"

namespace {

// What earlier versions kept in one transient key shared by every instance: a preset
// set aside while it was replaced, with the value naming where it belongs back.
const wchar_t kLegacyReplaced[] = L"Replaced";
const std::wstring kLegacyReplacedKey = SubKeyPath(kTransientKey, kLegacyReplaced);
const wchar_t kLegacyReplacedFrom[] = L"ReplacedFrom";

// Puts a preset that an earlier version set aside back in its place, and drops what
// else its shared transient key held.
void RestoreLegacySave()
{
    std::wstring from = ReadRegString(kTransientKey, kLegacyReplacedFrom, L"");
    // The value names a key that is erased: never trust it beyond the profiles.
    if (StartsWithText(from, SubKeyPath(kProfilesKey, L"")) && RegSubKeyExists(kTransientKey, kLegacyReplaced)) {
        EraseRegKey(from);
        MoveRegKey(kLegacyReplacedKey, from);
    }
    DeleteRegValue(kTransientKey, kLegacyReplacedFrom);
    for (const wchar_t* name : {kLegacyReplaced, L"Saving", L"Applied"}) EraseRegKey(SubKeyPath(kTransientKey, name));
}

// Runs recovery after a failed step without letting its own failure hide the first one.
void RestoreQuietly(const std::function<void()>& restore)
{
    try {
        restore();
    } catch (...) {
    }
}

// Whether the two names are one registry key: the registry compares key names
// ordinally without regard to case.
bool SameKeyName(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

void Store(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName,
           const std::function<void(const std::wstring& staging)>& stageValues)
{
    // A preset stored under a name the check refuses ("none", made outside the program)
    // may keep that name.
    if (!IsStorablePresetName(newName) && !(IsPresetKeyName(newName) && newName == oldName))
        throw AppError(L"The preset name \"" + newName + L"\" cannot be stored.");
    SettingsLock lock;
    const std::wstring presets = PresetsKey(settings);
    const std::wstring newKey = PresetKey(settings, newName);
    const std::wstring oldKey = PresetKey(settings, oldName);
    const bool oldExists = !oldName.empty() && RegSubKeyExists(presets, oldName);
    const bool sameKey = oldExists && SameKeyName(oldName, newName);
    // Checked again here, where nothing can come between the check and the write: the
    // name may have been taken since the editor checked it.
    if (!sameKey && RegSubKeyExists(presets, newName)) throw AppError(Str(RS_303) + L"\r\n" + newName);

    // The new content, complete, before anything that exists changes.
    BeginStaging();
    stageValues(StagingKey());
    if (oldExists) CopyRegKey(PresetSettingsKey(oldKey), PresetSettingsKey(StagingKey()));
    CommitStaged(newKey, oldExists && !sameKey ? oldKey : L"");
    // The applied selection: nothing transient outlives the save.
    DropOwnTransientKey();
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

std::vector<std::wstring> ListPresetNames(const TCurrentSettings& settings)
{
    const std::wstring profile = ProfileKey(settings);
    std::vector<std::wstring> names;
    {
        SettingsLock lock;
        if (RegSubKeyExists(profile, RegName::Preset)) ListRegSubKeys(PresetsKey(profile), names);
    }
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size())) == CSTR_LESS_THAN;
    });
    return names;
}

void WritePluginValues(const std::wstring& key, const std::vector<std::wstring>& pluginKeys)
{
    for (size_t i = 0; i < pluginKeys.size(); ++i) WriteRegString(key, PresetValueName(i + 1), pluginKeys[i]);
}

std::wstring AppliedSelectionKey() { return SubKeyPath(OwnTransientKey(), L"Applied"); }

void WriteAppliedSelection(const std::vector<std::wstring>& pluginKeys)
{
    // Held, so that no instance removes the empty transient key while this one's is made.
    SettingsLock lock;
    EraseRegKey(AppliedSelectionKey());
    try {
        WritePluginValues(AppliedSelectionKey(), pluginKeys);
    } catch (...) {
        RestoreQuietly([] { EraseRegKey(AppliedSelectionKey()); });
        throw;
    }
}

void SavePreset(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName,
                const std::vector<std::wstring>& pluginKeys)
{
    Store(settings, oldName, newName, [&](const std::wstring& staging) { WritePluginValues(staging, pluginKeys); });
}

void SaveAppliedSelection(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName)
{
    Store(settings, oldName, newName,
          [](const std::wstring& staging) { CopyRegKey(AppliedSelectionKey(), staging); });
}

void StoreNewPreset(const TCurrentSettings& settings, const std::wstring& name,
                    const std::vector<std::wstring>& pluginKeys, const std::vector<InputWrite>* ownSettings)
{
    Store(settings, L"", name, [&](const std::wstring& staging) {
        WritePluginValues(staging, pluginKeys);
        if (!ownSettings) return;
        const std::wstring key = PresetSettingsKey(staging);
        // Settings that are all defaults are still the preset's own: the key says so.
        CreateRegKey(key);
        for (const InputWrite& write : *ownSettings) {
            if (write.number)
                WriteRegInteger(key, write.key, *write.number);
            else
                WriteRegString(key, write.key, write.text);
        }
    });
}

void DeletePreset(const TCurrentSettings& settings, const std::wstring& name)
{
    // An empty name would name the Preset key itself, with every preset in it.
    if (name.empty()) return;
    // Through the journal, so that a kill cannot leave the preset without its own
    // settings but with its plug-ins.
    EraseKeyWhole(PresetKey(settings, name));
}

void CleanUpTransientKeys()
{
    SettingsLock lock;
    FinishInterruptedWrites();
    RestoreLegacySave();
    DropOwnTransientKey();
    if (HoldsOnlyPluginValues(kOldAppliedKey)) EraseRegKey(kOldAppliedKey);
}

void WritePluginBuilderSourcePath(const TCurrentSettings& settings, int selectedIndex, const std::wstring& selectedName)
{
    // Nothing is read for a Plugin Builder that has no settings file to take it.
    if (settings.PluginBuilder.empty() || !FileExists(PluginBuilderIniPath(settings.PluginBuilder))) return;
    const std::wstring source = SettingsSource(settings, selectedIndex, selectedName).ReadString(L"source");
    WritePluginBuilderSetting(settings.PluginBuilder, kSourcePathKey, source);
}
