// The PE Builder settings dialog's values read from and written to their two homes:
// [input] of input.inf, and a preset's own settings in the settings store.
#include "core/Error.h"
#include "core/IniFile.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/InputSettings.h"
#include "pebuilder/Plugins.h"

std::wstring PresetSettingsKey(const TCurrentSettings& settings, const std::wstring& presetName)
{
    return PresetKeyPath(settings, presetName) + L"\\" + RegName::PresetSettings;
}

bool PresetHasOwnSettings(const TCurrentSettings& settings, const std::wstring& presetName)
{
    return RegSubKeyExists(PresetKeyPath(settings, presetName), RegName::PresetSettings);
}

InputSettingsFields LoadInputSettingsFromFile(const std::wstring& infPath, int versionClass)
{
    IniDocument inf;
    try {
        inf = LoadIniFile(infPath).doc;
    } catch (const AppError&) {
        // Read as the INI readers read: an unreadable file has only defaults.
    }
    return LoadInputSettings(
        {[&](const wchar_t* name, const std::wstring& def) { return inf.ReadString(kInputSection, name, def); },
         [&](const wchar_t* name) { return inf.ReadInteger(kInputSection, name, 0); }},
        versionClass);
}

InputSettingsFields LoadInputSettingsFromRegistry(const std::wstring& key, int versionClass)
{
    return LoadInputSettings(
        {[&](const wchar_t* name, const std::wstring& def) { return ReadRegString(key, name, def); },
         [&](const wchar_t* name) { return ReadRegInteger(key, name, 0); }},
        versionClass);
}

void SaveInputSettingsToFile(const std::wstring& infPath, const std::vector<InputWrite>& writes)
{
    // Read before anything changes: a file that cannot be read is never overwritten.
    IniFile inf = LoadIniFile(infPath);
    for (const InputWrite& w : writes) {
        if (w.number)
            inf.doc.WriteInteger(kInputSection, w.key, *w.number);
        else
            inf.doc.WriteString(kInputSection, w.key, w.text);
    }
    SaveIniFile(inf);
}

void SaveInputSettingsToRegistry(const std::wstring& key, const std::vector<InputWrite>& writes)
{
    for (const InputWrite& w : writes) {
        if (w.number)
            WriteRegInteger(key, w.key, *w.number);
        else
            WriteRegString(key, w.key, w.text);
    }
}
