// pebuilder.exe stand-in: a PE Builder simulator for Kitwright's tests and demo. It
// records how it was started (pebuilder.record), does what input.inf's whattodo asks in
// miniature (an output folder with bootsect.bin; an ISO image through mkisofs.exe beside
// it) and writes pebuilder.log; pebuilder.sim chooses its exit code, last log line and
// a delay. It is not PE Builder and makes nothing bootable.
#include <windows.h>

#include <vector>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Handles.h"
#include "core/Text.h"
#include "core/WinError.h"
#include "standins/common/StandIn.h"
#include "standins/pebuilder/SimTasks.h"

namespace {

struct PluginState {
    std::wstring relativePath;  // below the folder "Plugin"
    std::wstring enable;        // the Enable value, or "none"
};

// Every *.inf below folder, depth first, with the Enable value of its [PEBuilder] section.
void ScanPlugins(const std::wstring& folder, const std::wstring& relative, std::vector<PluginState>& states)
{
    ForEachFolderEntry(folder, [&](const FolderEntry& entry) {
        const std::wstring& name = entry.name;
        std::wstring path = folder + L"\\" + name;
        if (entry.IsFolder()) {
            ScanPlugins(path, relative + name + L"\\", states);
        } else if (name.size() > 4 && SameText(name.substr(name.size() - 4), L".inf")) {
            auto bytes = TryReadFileBytes(path);
            auto enable = bytes ? IniDocument::Parse(DecodeText(*bytes)).Find(L"PEBuilder", L"Enable") : std::nullopt;
            states.push_back({relative + name, enable ? *enable : L"none"});
        }
    });
}

// What the simulator found at its start, before it does anything.
IniDocument StartRecord(const std::optional<std::wstring>& input, const std::vector<PluginState>& plugins)
{
    IniDocument record;
    RecordStart(record);
    WriteRecordValue(record, L"Run", L"InputInf", input ? L"present" : L"missing");
    if (input) {
        // Line by line, numbered from 1, so that empty lines and the order survive.
        std::vector<std::wstring> lines = SplitLines(*input);
        for (size_t i = 0; i < lines.size(); ++i)
            WriteRecordValue(record, L"InputInf", std::to_wstring(i + 1), lines[i]);
    }
    for (const PluginState& plugin : plugins) WriteRecordValue(record, L"Plugins", plugin.relativePath, plugin.enable);
    return record;
}

std::vector<std::wstring> EnabledPlugins(const std::vector<PluginState>& plugins)
{
    std::vector<std::wstring> enabled;
    for (const PluginState& plugin : plugins)
        if (Trim(plugin.enable) == L"1") enabled.push_back(plugin.relativePath);
    return enabled;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring folder = ExeFolder();
    const std::wstring logPath = folder + L"\\pebuilder.log";
    SimLog log(logPath);
    log.Add(L"PE Builder simulator: a stand-in used by Kitwright's tests and demo, not PE Builder.");
    log.Add(L"Command line: " + std::wstring(::GetCommandLineW()));
    int exitCode = 0;
    try {
        std::optional<std::wstring> input;
        if (auto bytes = TryReadFileBytes(folder + L"\\input.inf")) input = DecodeText(*bytes);
        std::vector<PluginState> plugins;
        ScanPlugins(folder + L"\\Plugin", L"", plugins);
        SaveRecord(folder + L"\\pebuilder.record", StartRecord(input, plugins));

        IniDocument settings = LoadSimulatorSettings(L"pebuilder.sim");
        SimulateDelay(settings);
        exitCode = settings.ReadInteger(L"Simulator", L"ExitCode", 0);
        if (exitCode == 0) {
            SimTask task{folder, IniDocument::Parse(input.value_or(L"")), EnabledPlugins(plugins)};
            RunSimTask(task, log);
        } else {
            log.Add(L"Simulated failure: nothing done, exit code " + std::to_wstring(exitCode) + L".");
        }
        log.Add(settings.ReadString(L"Simulator", L"LogLastLine", L"Done."));
    } catch (const AppError& error) {
        // A failure of the simulator's own work: said plainly, whatever pebuilder.sim chose.
        log.Add(L"Simulator failed: " + error.Message());
        exitCode = 1;
    }
    if (log.Failed() && exitCode == 0) exitCode = 1;
    return exitCode;
}
