// Unattended builds: the same build as the main window's, with the console for its
// messages, every program waited for, and an exit code that says how it went.
#include "app/UnattendedBuild.h"

#include <windows.h>

#include <optional>

#include "app/CommandLine.h"
#include "app/PresetSwitchArgs.h"
#include "core/Console.h"
#include "core/ConsolePrompt.h"
#include "core/Files.h"
#include "core/IniFile.h"
#include "core/Messages.h"
#include "core/ProfileNames.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/SettingsLock.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/BuildLock.h"
#include "pebuilder/BuildRules.h"
#include "pebuilder/BuildRun.h"
#include "pebuilder/Installation.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/IsoRun.h"
#include "pebuilder/LogFollow.h"
#include "pebuilder/PresetRules.h"
#include "pebuilder/PresetStore.h"

namespace {

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// Echoes PE Builder's log as it grows, and lets the ISO program write where these
// lines go.
class ConsoleWatch : public RunWatch {
public:
    explicit ConsoleWatch(std::wstring log) : log_(std::move(log)) {}

    void PEBuilderStarting() override { follower_ = LogFollower(ReadLog().value_or("")); }
    void PEBuilderRunning(bool ended) override
    {
        // A log that cannot be read now (held without sharing, not yet made) is read
        // at the next look; the lines are kept until then.
        if (std::optional<std::string> bytes = ReadLog())
            for (const std::string& line : follower_.Take(*bytes, ended)) ConsoleLine(AnsiToWide(line));
    }
    ProcessOptions ProgramOptions() const override
    {
        const ConsoleSharing sharing = ConsoleForChildren();
        ProcessOptions options;
        options.output = sharing.output;
        options.noConsoleWindow = !sharing.console;  // no console of its own pops up either
        return options;
    }
    void ProgramEnded(const std::wstring& commandLine, uint32_t exitCode) override
    {
        ConsoleNote(L"exit code " + std::to_wstring(exitCode) + L" from " + commandLine);
    }

private:
    std::optional<std::string> ReadLog() const
    {
        try {
            return TryReadFileBytes(log_);
        } catch (const AppError&) {
            return std::nullopt;
        }
    }

    std::wstring log_;
    LogFollower follower_;
};

std::wstring Seconds(uint64_t milliseconds)
{
    return std::to_wstring(milliseconds / 1000) + L"." + std::to_wstring(milliseconds % 1000 / 100) + L" s";
}

std::wstring Joined(const std::vector<std::wstring>& parts)
{
    std::wstring text;
    for (const std::wstring& part : parts) text += (text.empty() ? L"" : L", ") + part;
    return text;
}

// What the run is, in words: "the preset "Net" of the profile "Lab" (custom: files, iso)".
std::wstring Description(const BuildRequest& request, const std::wstring& profile, int versionClass,
                         const RunInputs& inputs)
{
    std::wstring text = request.lastBuild ? L"the last-build entry" : L"the preset " + Quoted(request.preset);
    text += L" of the profile " + Quoted(profile);
    if (!inputs.CustomStyle) return text + L" (standard)";
    std::vector<std::wstring> on;
    const std::vector<std::wstring> names = ToggleNames(versionClass);
    for (size_t i = 0; i < names.size(); ++i)
        if (inputs.Toggles[i] == 1) on.push_back(names[i]);
    return text + L" (custom: " + (on.empty() ? L"nothing" : Joined(on)) + L")";
}

// Where the run left its results, read from input.inf as the run left it.
std::wstring Results(const TCurrentSettings& settings, int versionClass, bool isoOnly)
{
    const IniDocument inf = LoadIniFile(InputInfPath(settings.PEBuilder)).doc;
    std::wstring text = L"output folder " + EffectiveOutDir(inf, settings.PEBuilder, versionClass);
    if (isoOnly || inf.ReadInteger(kInputSection, L"buildiso", 0) == 1)
        text += L"; ISO image " + Trim(inf.ReadString(kInputSection, L"isofile", L""));
    return text;
}

const wchar_t* OutcomeText(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::CheckFailed: return L"a check failed";
    case RunOutcome::PluginsNotSwitched: return L"a plug-in file could not be switched";
    case RunOutcome::PEBuilderFailed: return L"PE Builder failed or was stopped";
    case RunOutcome::IsoFailed: return L"the ISO step failed";
    default: return L"the run did not end as asked";
    }
}

int Build(const BuildRequest& request)
{
    const std::wstring profile = request.profile.empty() ? StoredProfileName() : request.profile;
    const std::optional<TCurrentSettings> loaded = LoadNamedProfile(profile);
    if (!loaded) {
        ConsoleNote(L"There is no profile " + Quoted(profile) + L".");
        return kExitUnknownName;
    }
    const TCurrentSettings& settings = *loaded;
    // Where the main window would open a settings dialog, or keep its build buttons off.
    if (settings.PEBuilder.empty()) {
        ConsoleNote(L"The profile " + Quoted(profile) +
                    L" names no PE Builder folder: set it in the program settings.");
        return kExitCheckFailed;
    }
    for (const std::wstring& needed : {PEBuilderExePath(settings.PEBuilder), InputInfPath(settings.PEBuilder)}) {
        if (!FileExists(needed)) {
            ConsoleNote(L"The PE Builder folder of the profile " + Quoted(profile) + L" lacks " + needed + L".");
            return kExitCheckFailed;
        }
    }

    RunInputs inputs{0, Str(RS_001), false, {}};
    if (!request.lastBuild) {
        bool exists = false;
        {
            SettingsLock lock;  // a preset another instance is still writing is not there yet
            exists = IsPresetKeyName(request.preset) && RegSubKeyExists(PresetsKey(settings), request.preset);
        }
        if (!exists) {
            ConsoleNote(L"The profile " + Quoted(profile) + L" has no preset " + Quoted(request.preset) + L".");
            return kExitUnknownName;
        }
        inputs = RunInputs{1, request.preset, false, {}};
    }
    const int versionClass = VersionClassOf(settings.PEB_VER);
    if (request.custom) {
        NamedToggles toggles = TogglesSkipping(versionClass, request.skips);
        if (!toggles.unknown.empty()) {
            ConsoleNote(L"/skip " + Quoted(toggles.unknown) + L": the PE Builder of the profile " + Quoted(profile) +
                        L" (version class " + std::to_wstring(versionClass) + L") has the parts " +
                        Joined(ToggleNames(versionClass)) + L".");
            return kExitBadArguments;
        }
        inputs.CustomStyle = true;
        inputs.Toggles = toggles.cells;
    }

    const std::wstring what = Description(request, profile, versionClass, inputs);
    BuildLock lock(settings.PEBuilder, [&] {
        ConsoleNote(L"Another build of the PE Builder folder " + settings.PEBuilder + L" runs: waiting for it to end.");
    });
    ConsoleNote((request.isoOnly ? L"Making the ISO image for " : L"Building ") + what + L" with PE Builder in " +
                settings.PEBuilder + L".");
    const uint64_t start = ::GetTickCount64();
    ConsolePrompt prompt;
    ConsoleWatch watch(PEBuilderLogPath(settings.PEBuilder));
    RunOutcome outcome = RunOutcome::Succeeded;
    try {
        outcome = request.isoOnly ? ISO_PEBuilderExecute(settings, true, inputs, prompt, &watch)
                                  : Exec_PEBuilderExecute(settings, inputs, prompt, &watch);
    } catch (const RunFailure& failure) {
        prompt.Error(failure.Message());
        outcome = failure.Outcome();
    }
    const std::wstring took = Seconds(::GetTickCount64() - start);
    const int exitCode = ExitCodeOf(outcome);
    if (exitCode == kExitSucceeded)
        ConsoleNote((request.isoOnly ? L"Made the ISO image for " : L"Built ") + what + L" in " + took + L": " +
                    Results(settings, versionClass, request.isoOnly));
    else
        ConsoleNote(L"Failed with exit code " + std::to_wstring(exitCode) + L" (" + OutcomeText(outcome) + L") after " +
                    took + L": " + what + L".");
    return exitCode;
}

}  // namespace

int RunUnattendedBuild(const std::vector<std::wstring>& arguments)
{
    const ParsedBuildSwitches parsed = ParseBuildSwitches(arguments);
    if (!parsed.error.empty()) {
        ConsoleNote(parsed.error);
        ConsoleNote(L"Kitwright.exe /? lists the switches.");
        return kExitBadArguments;
    }
    if (parsed.request.help) {
        // Every switch that works with no window: the build's, then the preset files'.
        for (const std::wstring& line : BuildUsage()) ConsoleLine(line);
        ConsoleLine(L"");
        for (const std::wstring& line : PresetSwitchUsage()) ConsoleLine(line);
        return kExitSucceeded;
    }
    int exitCode = kExitFailed;
    RunCommand(nullptr, [&] { exitCode = Build(parsed.request); });
    return exitCode;
}
