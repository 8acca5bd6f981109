// The PE Builder settings dialog's values read from and written to their two homes:
// [input] of input.inf, and a preset's own settings in the settings store.
#include "core/Error.h"
#include "core/IniFile.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/SettingsLock.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/InputSettings.h"
#include "pebuilder/Plugins.h"

bool PresetHasOwnSettings(const TCurrentSettings& settings, const std::wstring& presetName)
{
    return RegSubKeyExists(PresetKey(settings, presetName), RegName::PresetSettings);
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
    // Never half of another instance's write.
    SettingsLock lock;
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
    SettingsLock lock;
    // The preset may have been deleted or renamed by another instance meanwhile: its
    // settings alone would make a preset of them.
    const std::wstring preset = key.substr(0, key.rfind(L'\\'));
    const size_t cut = preset.rfind(L'\\');
    if (!RegSubKeyExists(preset.substr(0, cut), preset.substr(cut + 1)))
        throw AppError(L"The preset " + preset + L" no longer exists; its settings were not saved.");
    // Staged whole, values this dialog does not write kept, then put in place in one
    // journalled step: never old and new mixed.
    BeginStaging();
    CopyRegKey(key, StagingKey());
    for (const InputWrite& w : writes) {
        if (w.number)
            WriteRegInteger(StagingKey(), w.key, *w.number);
        else
            WriteRegString(StagingKey(), w.key, w.text);
    }
    CommitStaged(key);
}

void ErasePresetSettings(const std::wstring& key)
{
    SettingsLock lock;
    EraseRegKey(key);
}
