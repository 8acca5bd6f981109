// The preset file switches: export a preset to a file, import a file into a profile.
#include "app/PresetSwitches.h"

#include "app/PresetSwitchArgs.h"
#include "core/Console.h"
#include "core/Messages.h"
#include "core/ProfileNames.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/PresetRules.h"
#include "pebuilder/PresetStore.h"
#include "pebuilder/PresetTransfer.h"

namespace {

void Say(const std::wstring& text)
{
    for (const std::wstring& line : SplitLines(text)) ConsoleLine(line);
}

int Export(const TCurrentSettings& settings, const PresetSwitches& switches)
{
    if (!IsPresetKeyName(switches.preset) || !RegSubKeyExists(PresetsKey(settings), switches.preset)) {
        Say(FormatText(Str(RS_714), switches.preset));
        return kPresetExitNoPreset;
    }
    ExportPreset(settings, switches.preset, switches.file);
    Say(FormatText(Str(RS_711), switches.preset) + L" " + switches.file);
    return kPresetExitDone;
}

int Import(const TCurrentSettings& settings, const PresetSwitches& switches)
{
    PortablePreset preset;
    try {
        preset = ReadPresetFile(switches.file);
    } catch (const AppError& error) {
        Say(error.Message());
        return kPresetExitNotPresetFile;
    }
    ImportPlan plan = PlanImport(settings, preset);
    if (switches.as) plan.name = Trim(*switches.as);
    switch (CheckImportName(settings, plan.name)) {
    case ImportNameCheck::Invalid: Say(Str(RS_302) + L"\r\n" + plan.name); return kPresetExitNameRefused;
    case ImportNameCheck::Taken:
        Say(Str(RS_303) + L"\r\n" + plan.name + L"\r\n(/as \"Name\" imports it under another name.)");
        return kPresetExitNameRefused;
    case ImportNameCheck::Ok: break;
    }
    if (!plan.missing.empty()) {
        Say(Str(RS_708) + L"\r\n" + MissingPluginLines(plan.missing));
        if (!switches.skipMissing || plan.Empty()) {
            if (!plan.Empty()) Say(L"(/skip-missing imports the others.)");
            return kPresetExitMissingPlugins;
        }
    }
    if (plan.Empty()) {
        Say(Str(RS_715));
        return kPresetExitMissingPlugins;
    }
    StoreImport(settings, plan);
    Say(FormatText(Str(RS_712), plan.name));
    return kPresetExitDone;
}

}  // namespace

bool HasPresetSwitches(const std::vector<std::wstring>& arguments)
{
    return ParsePresetSwitches(arguments).present;
}

int RunPresetSwitches(const std::vector<std::wstring>& arguments)
{
    const PresetSwitchParse parse = ParsePresetSwitches(arguments);
    if (!parse.switches) {
        ConsoleLine(parse.error);
        for (const std::wstring& line : PresetSwitchUsage()) ConsoleLine(line);
        return kPresetExitUsage;
    }
    const PresetSwitches& switches = *parse.switches;
    int exitCode = kPresetExitFailed;
    RunCommand(nullptr, [&] {
        const std::optional<TCurrentSettings> settings = LoadNamedProfile(switches.profile.value_or(L""));
        if (!settings) {
            Say(FormatText(Str(RS_713), switches.profile ? *switches.profile : StoredProfileName()));
            exitCode = kPresetExitNoProfile;
            return;
        }
        exitCode = switches.import ? Import(*settings, switches) : Export(*settings, switches);
    });
    return exitCode;
}
