// Steps that the build and the ISO run share.
#include "pebuilder/RunSteps.h"

#include "core/Files.h"
#include "core/Process.h"
#include "core/Text.h"
#include "pebuilder/BuildRules.h"
#include "pebuilder/Installation.h"
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

uint32_t RunPEBuilder(const std::wstring& folder, const std::wstring& params, bool wait, RunWatch* watch)
{
    const std::wstring commandLine = PEBuilderCommandLine(folder, params);
    try {
        if (!watch) return RunProgram(commandLine, wait);
        watch->PEBuilderStarting();
        ChildProcess child = StartProcess(commandLine);
        uint32_t exitCode = WaitForProcess(child, commandLine, [&] { watch->PEBuilderRunning(false); });
        watch->PEBuilderRunning(true);
        watch->ProgramEnded(commandLine, exitCode);
        return exitCode;
    } catch (const RunFailure&) {
        throw;
    } catch (const AppError& error) {
        throw RunFailure(RunOutcome::PEBuilderFailed, error.Message());
    }
}

std::optional<std::vector<std::wstring>> ReadPEBuilderLog(const std::wstring& folder)
{
    std::optional<std::wstring> text = ReadTextQuietly(PEBuilderLogPath(folder));
    if (!text) return std::nullopt;
    return SplitLines(*text);
}

bool PEBuilderSucceeded(const std::wstring& folder, uint32_t exitCode)
{
    if (exitCode != 0) return false;
    std::optional<std::vector<std::wstring>> lines = ReadPEBuilderLog(folder);
    return lines && LogShowsSuccess(*lines);
}
