// Helpers for tests that use the stand-ins of the outside programs.
#include "tests/support/StandIns.h"

#include <windows.h>

#include <stdexcept>

#include "core/Files.h"
#include "core/Process.h"
#include "core/Text.h"
#include "tests/support/TestSupport.h"

void InstallStandIn(const std::wstring& name, const std::wstring& folder)
{
    MakeFolders(folder);
    if (!::CopyFileW((BinFolder() + L"\\" + name).c_str(), (folder + L"\\" + name).c_str(), FALSE))
        throw std::runtime_error("cannot copy a stand-in into a test folder");
}

void WriteSimulatorSettings(const std::wstring& path, int32_t exitCode, const std::wstring& logLastLine,
                            int32_t delayMs)
{
    std::wstring text = L"[Simulator]\r\nExitCode=" + std::to_wstring(exitCode) + L"\r\nLogLastLine=" + logLastLine +
                        L"\r\nDelayMs=" + std::to_wstring(delayMs) + L"\r\n";
    WriteBytes(path, EncodeText(text, TextEncoding::Utf8Bom, path));
}

IniDocument ReadRecord(const std::wstring& path)
{
    // A stand-in puts its new record in place by renaming the still open staged file, and
    // closes it a moment later: a read in that moment is refused as a sharing violation.
    for (int attempt = 1;; ++attempt) {
        try {
            return IniDocument::Parse(DecodeText(ReadBytes(path)));
        } catch (const std::exception&) {
            if (attempt == 100 || !FileExists(path)) throw;
            ::Sleep(20);
        }
    }
}

std::optional<std::wstring> RecordValue(const IniDocument& record, const std::wstring& section, const std::wstring& key)
{
    auto value = record.Find(section, key);
    if (!value || value->size() < 2 || value->front() != L'"' || value->back() != L'"') return value;
    return value->substr(1, value->size() - 2);
}

std::wstring RecordedInputInf(const IniDocument& record)
{
    std::wstring text;
    for (int line = 1;; ++line) {
        auto value = RecordValue(record, L"InputInf", std::to_wstring(line));
        if (!value) return text;
        text += *value + L"\r\n";
    }
}

ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& currentFolder, bool capture)
{
    if (!capture) {
        ChildProcess child = StartProcess(commandLine, ProcessOptions{currentFolder, nullptr});
        return ProcessResult{WaitForProcess(child, commandLine), {}};
    }
    const std::wstring outputPath =
        currentFolder + L"\\process-output-" + std::to_wstring(::GetTickCount64()) + L".txt";
    CapturedRun run = RunCaptured(commandLine, currentFolder, outputPath);
    return ProcessResult{run.exitCode, std::move(run.output)};
}
