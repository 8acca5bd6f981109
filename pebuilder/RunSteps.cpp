// Steps that the build and the ISO run share.
#include "pebuilder/RunSteps.h"

#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Text.h"
#include "pebuilder/Plugins.h"

std::wstring TwoPartMessage(StringId first, StringId second) { return Str(first) + L"\r\n" + Str(second); }

void CopySelectedPresetSettings(const TCurrentSettings& settings, const RunInputs& inputs, const std::wstring& inputInf,
                                const std::wstring& defaultOutDir, CopyOrder order)
{
    if (!inputs.IsPreset()) return;
    const std::wstring presetKey = PresetKeyPath(settings, inputs.SelectedText);
    if (RegSubKeyExists(presetKey, RegName::PresetSettings))
        CopyPresetSettingsToInputInf(settings, presetKey + L"\\" + RegName::PresetSettings, inputInf, defaultOutDir,
                                     order);
}

std::wstring SourceFolderOf(const IniDocument& inputInf) { return InputFolderValue(inputInf, L"source"); }

void ApplyCustomToggles(IniDocument& inputInf, int versionClass, const std::vector<int>& toggles)
{
    for (const ToggleWrite& write : CustomToggleWrites(versionClass, toggles))
        inputInf.WriteInteger(kInputSection, write.key, write.value);
}
