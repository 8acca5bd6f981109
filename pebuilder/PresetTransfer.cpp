// Presets written to preset files and read back into a profile.
#include "pebuilder/PresetTransfer.h"

#include "core/Files.h"
#include "core/Registry.h"
#include "core/SettingsLock.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/Installation.h"
#include "pebuilder/PluginEntry.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetRules.h"
#include "pebuilder/PresetStore.h"

namespace {

std::vector<CataloguePlugin> ScanCatalogue(const TCurrentSettings& settings)
{
    StringList catalogue;
    ScanPluginFolder(PluginFolderPath(settings.PEBuilder), catalogue);
    return CataloguePlugins(catalogue, settings.PEBuilder);
}

std::wstring RefusalText(const std::wstring& file, const ParsedPresetFile& parsed)
{
    switch (parsed.problem) {
    case PresetFileProblem::NotPresetFile: return FormatText(Str(RS_704), file);
    case PresetFileProblem::NewerFormat: return FormatText(Str(RS_707), file);
    default: return FormatText(Str(RS_705), file) + L"\r\n" + FormatText(Str(RS_706), std::to_wstring(parsed.line));
    }
}

}  // namespace

PortablePreset PortablePresetOf(const TCurrentSettings& settings, const std::wstring& presetName)
{
    PortablePreset preset;
    preset.name = presetName;
    std::vector<std::wstring> keys;
    {
        // The keys and the settings of one save, never half of another instance's.
        SettingsLock lock;
        if (!IsPresetKeyName(presetName) || !RegSubKeyExists(PresetsKey(settings), presetName))
            throw AppError(L"There is no preset \"" + presetName + L"\" in the profile \"" +
                           settings.ProfileKeySuffix.substr(1) + L"\".");
        keys = LoadPresetPluginKeys(settings, presetName);
        if (PresetHasOwnSettings(settings, presetName)) {
            const std::wstring key = PresetSettingsKey(settings, presetName);
            preset.settings.emplace();
            for (const InputKey& input : InputKeys()) {
                if (!input.inPreset || !RegValueExists(key, input.name)) continue;
                std::wstring value = input.type == InputValueType::Integer
                                         ? std::to_wstring(ReadRegInteger(key, input.name, 0))
                                         : ReadRegString(key, input.name, L"");
                if (input.isPath) value = PortablePath(value, settings.PEBuilder);
                preset.settings->push_back({input.name, std::move(value)});
            }
        }
    }
    preset.plugins = PortablePluginsOf(keys, ScanCatalogue(settings));
    return preset;
}

void ExportPreset(const TCurrentSettings& settings, const std::wstring& presetName, const std::wstring& file)
{
    const std::string bytes = WritePresetFile(PortablePresetOf(settings, presetName));
    WriteFileAtomic(file, bytes);
}

PresetFileRefused::PresetFileRefused(const std::wstring& file, const ParsedPresetFile& parsed)
    : AppError(RefusalText(file, parsed)), problem(parsed.problem)
{
}

PortablePreset ReadPresetFile(const std::wstring& file)
{
    // A preset file is a few kilobytes; anything near the limit is no preset file.
    std::optional<std::string> bytes = TryReadFileBytes(file, 16u << 20);
    if (!bytes) throw AppError(L"The preset file \"" + file + L"\" does not exist.");
    ParsedPresetFile parsed = ParsePresetFile(*bytes);
    if (parsed.problem != PresetFileProblem::None) throw PresetFileRefused(file, parsed);
    return std::move(parsed.preset);
}

ImportPlan PlanImport(const TCurrentSettings& settings, const PortablePreset& preset)
{
    ImportPlan plan;
    plan.name = preset.name;
    PluginMatch match = MatchPlugins(preset.plugins, ScanCatalogue(settings));
    plan.keys = std::move(match.keys);
    plan.missing = std::move(match.missing);
    if (preset.settings) {
        plan.ownSettings.emplace();
        for (const PortableSetting& setting : *preset.settings) {
            for (const InputKey& input : InputKeys()) {
                if (setting.key != input.name) continue;
                if (input.type == InputValueType::Integer)
                    plan.ownSettings->push_back({setting.key, L"", ParseInteger(setting.value).value_or(0)});
                else
                    plan.ownSettings->push_back(
                        {setting.key, input.isPath ? LocalPath(setting.value, settings.PEBuilder) : setting.value, {}});
            }
        }
    }
    return plan;
}

ImportNameCheck CheckImportName(const TCurrentSettings& settings, const std::wstring& name)
{
    if (!IsStorablePresetName(name)) return ImportNameCheck::Invalid;
    return RegSubKeyExists(PresetsKey(settings), name) ? ImportNameCheck::Taken : ImportNameCheck::Ok;
}

void StoreImport(const TCurrentSettings& settings, const ImportPlan& plan)
{
    StoreNewPreset(settings, plan.name, plan.keys, plan.ownSettings ? &*plan.ownSettings : nullptr);
}
