// Helpers for tests that use the stand-ins of the outside programs: installing them in
// a scratch folder, choosing their behaviour, starting programs, reading their records.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/Ini.h"

// Copies BinFolder()\name (pebuilder.exe, mkisofs.exe, Plugin_Builder.exe) into folder.
void InstallStandIn(const std::wstring& name, const std::wstring& folder);

// Writes the [Simulator] file (pebuilder.sim, Plugin_Builder.sim) at path.
void WriteSimulatorSettings(const std::wstring& path, int32_t exitCode, const std::wstring& logLastLine = L"Done.",
                            int32_t delayMs = 0);

// A stand-in's record (pebuilder.record, Plugin_Builder.record).
IniDocument ReadRecord(const std::wstring& path);
// A recorded value without the double quotes it is stored in; nothing when absent.
std::optional<std::wstring> RecordValue(const IniDocument& record, const std::wstring& section,
                                        const std::wstring& key);
// The lines of input.inf that pebuilder.record holds, each followed by CR LF.
std::wstring RecordedInputInf(const IniDocument& record);

struct ProcessResult {
    uint32_t exitCode = 0;
    std::string output;  // standard output and error together, when captured
};
// Starts the command line in currentFolder with CreateProcess and waits for it; with
// capture, its standard output and error go into one file that is read back.
ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& currentFolder, bool capture = false);
