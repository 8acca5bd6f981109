// Helpers for tests that use the stand-ins of the outside programs.
#include "tests/support/StandIns.h"

#include <windows.h>

#include <stdexcept>

#include "core/Files.h"
#include "core/Handles.h"
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

IniDocument ReadRecord(const std::wstring& path) { return IniDocument::Parse(DecodeText(ReadBytes(path))); }

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
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    FileHandle output;
    std::wstring outputPath = currentFolder + L"\\process-output-" + std::to_wstring(::GetTickCount64()) + L".txt";
    if (capture) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        output.Reset(::CreateFileW(outputPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (!output) throw std::runtime_error("cannot create a file for a program's output");
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
    }
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, capture, capture ? DETACHED_PROCESS : 0, nullptr,
                          currentFolder.c_str(), &startup, &info))
        throw std::runtime_error("cannot start " + Ansi(commandLine));
    KernelHandle process(info.hProcess), thread(info.hThread);
    ::WaitForSingleObject(process.Get(), INFINITE);
    ProcessResult result;
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    result.exitCode = code;
    if (capture) {
        LARGE_INTEGER size{};
        ::GetFileSizeEx(output.Get(), &size);
        result.output.resize(static_cast<size_t>(size.QuadPart));
        DWORD done = 0;
        ::SetFilePointer(output.Get(), 0, nullptr, FILE_BEGIN);
        if (!result.output.empty())
            ::ReadFile(output.Get(), result.output.data(), static_cast<DWORD>(result.output.size()), &done, nullptr);
        result.output.resize(done);
    }
    return result;
}
