// input.inf on disk: the effective output folder, a preset's settings copied in, and
// the custom-build toggles, each change set written in one go.
#include "core/Error.h"
#include "core/IniFile.h"
#include "core/Registry.h"
#include "core/SettingsLock.h"
#include "pebuilder/InputInf.h"

std::wstring EffectiveOutDir(const TCurrentSettings& settings, const std::wstring& infPath)
{
    IniDocument inf;
    try {
        inf = LoadIniFile(infPath).doc;
    } catch (const AppError&) {
        // Read like ReadIniString: an unreadable file has only defaults.
    }
    return EffectiveOutDir(inf, settings.PEBuilder, settings.PEB_VER);
}

void CopyPresetSettingsToInputInf(const TCurrentSettings& settings, const std::wstring& settingsKey,
                                  const std::wstring& infPath, const std::wstring& outdirDefault, CopyOrder order)
{
    IniFile inf = LoadIniFile(infPath);
    // All values from one version of the preset's settings, never half of another
    // instance's write.
    SettingsLock lock;
    for (const InputKey& key : PresetSettingKeys(settings.PEB_VER, order)) {
        if (key.type == InputValueType::Integer) {
            inf.doc.WriteInteger(kInputSection, key.name, ReadRegInteger(settingsKey, key.name, 0));
            continue;
        }
        std::wstring def;
        if (key.name == std::wstring_view(L"outdir")) def = outdirDefault;
        if (key.name == std::wstring_view(L"fulloutdir")) def = settings.PEBuilder;
        inf.doc.WriteString(kInputSection, key.name, ReadRegString(settingsKey, key.name, def));
    }
    SaveIniFile(inf);
}

void WriteCustomToggles(const TCurrentSettings& settings, const std::wstring& infPath, const std::vector<int>& toggles)
{
    std::vector<ToggleWrite> writes = CustomToggleWrites(settings.PEB_VER, toggles);
    IniFile inf = LoadIniFile(infPath);
    for (const ToggleWrite& w : writes) inf.doc.WriteInteger(kInputSection, w.key, w.value);
    SaveIniFile(inf);
}
