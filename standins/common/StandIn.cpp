// What the stand-ins share: their own folder, their .sim settings, their records.
#include "standins/common/StandIn.h"

#include <windows.h>

#include "core/Files.h"
#include "core/Text.h"

std::wstring ExeFolder() { return ExtractFileDir(ExecutablePath()); }

std::wstring CurrentFolder()
{
    DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(length, L'\0');
    length = ::GetCurrentDirectoryW(length, folder.data());
    folder.resize(length);
    return folder;
}

IniDocument LoadSimulatorSettings(const std::wstring& name)
{
    auto bytes = TryReadFileBytes(ExeFolder() + L"\\" + name);
    return bytes ? IniDocument::Parse(DecodeText(*bytes)) : IniDocument();
}

void WriteRecordValue(IniDocument& record, const std::wstring& section, const std::wstring& key,
                      const std::wstring& value)
{
    record.WriteString(section, key, L"\"" + value + L"\"");
}

void SaveRecord(const std::wstring& path, const IniDocument& record)
{
    WriteFileAtomic(path, EncodeText(record.Serialize(), TextEncoding::Utf8Bom, path));
}

void RecordStart(IniDocument& record)
{
    WriteRecordValue(record, L"Run", L"CommandLine", ::GetCommandLineW());
    WriteRecordValue(record, L"Run", L"CurrentFolder", CurrentFolder());
}

void SimulateDelay(const IniDocument& settings)
{
    int32_t delay = settings.ReadInteger(L"Simulator", L"DelayMs", 0);
    if (delay > 0) ::Sleep(static_cast<DWORD>(delay));
}
