// Steps that the build and the ISO run share.
#include "pebuilder/RunSteps.h"

#include "pebuilder/SettingsSource.h"

std::wstring TwoPartMessage(StringId first, StringId second) { return Str(first) + L"\r\n" + Str(second); }

void CopySelectedPresetSettings(const TCurrentSettings& settings, const RunInputs& inputs, const std::wstring& inputInf,
                                const std::wstring& defaultOutDir, CopyOrder order)
{
    const SettingsSource source(settings, inputs.SelectedIndex, inputs.SelectedText);
    if (source.IsPresetKey())
        CopyPresetSettingsToInputInf(settings, source.RegistryKey(), inputInf, defaultOutDir, order);
}

std::wstring SourceFolderOf(const IniDocument& inputInf) { return InputFolderValue(inputInf, L"source"); }

void ApplyCustomToggles(IniDocument& inputInf, int versionClass, const std::vector<int>& toggles)
{
    for (const ToggleWrite& write : CustomToggleWrites(versionClass, toggles))
        inputInf.WriteInteger(kInputSection, write.key, write.value);
}
