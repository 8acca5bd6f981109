// The settings source of a preset-list entry.
#include "pebuilder/SettingsSource.h"

#include "core/IniFile.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "pebuilder/Installation.h"
#include "pebuilder/Plugins.h"

SettingsSource::SettingsSource(const TCurrentSettings& settings, int selectedIndex, const std::wstring& selectedText)
    : inputInf_(settings.PEBuilder + L"\\" + kInputInfName)
{
    if (selectedIndex < 1 || selectedText.empty()) return;
    const std::wstring presetKey = PresetKey(settings, selectedText);
    if (RegSubKeyExists(presetKey, RegName::PresetSettings)) key_ = PresetSettingsKey(presetKey);
}

std::wstring SettingsSource::ReadString(std::wstring_view name, std::wstring_view def) const
{
    if (IsPresetKey()) return ReadRegString(key_, std::wstring(name), std::wstring(def));
    return ReadIniString(inputInf_, kInputSection, std::wstring(name), std::wstring(def));
}

int32_t SettingsSource::ReadInteger(std::wstring_view name, int32_t def) const
{
    if (IsPresetKey()) return ReadRegInteger(key_, std::wstring(name), def);
    return ReadIniInteger(inputInf_, kInputSection, std::wstring(name), def);
}

std::vector<int32_t> SettingsSource::ReadIntegers(std::initializer_list<const wchar_t*> names) const
{
    std::vector<int32_t> values;
    if (IsPresetKey()) {
        for (const wchar_t* name : names) values.push_back(ReadRegInteger(key_, name, 0));
        return values;
    }
    const IniDocument file = ReadIniDocument(inputInf_);
    for (const wchar_t* name : names) values.push_back(file.ReadInteger(kInputSection, name, 0));
    return values;
}
