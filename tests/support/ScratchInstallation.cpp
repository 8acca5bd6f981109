// A PE Builder installation in a scratch folder for the build and ISO tests.
#include "tests/support/ScratchInstallation.h"

#include <windows.h>
#include <tlhelp32.h>

#include <stdexcept>
#include <vector>

#include "core/Files.h"
#include "core/Handles.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "tests/support/StandIns.h"

namespace {

// The process ids whose image is exePath.
std::vector<DWORD> ProcessesOf(const std::wstring& exePath)
{
    std::vector<DWORD> ids;
    KernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        if (!SameText(entry.szExeFile, ExtractFileName(exePath))) continue;
        KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t image[MAX_PATH * 2];
        DWORD size = MAX_PATH * 2;
        if (process && ::QueryFullProcessImageNameW(process.Get(), 0, image, &size) &&
            SameText(std::wstring(image, size), exePath))
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

}  // namespace

ScratchInstallation::ScratchInstallation()
    : folder_(scratch_ / L"pebuilder"), source_(scratch_ / L"xp cd"), isoFolder_(scratch_ / L"iso")
{
    MakeFolders(folder_ + L"\\Plugin");
    MakeFolders(isoFolder_);
    InstallStandIn(L"pebuilder.exe", folder_);
    InstallStandIn(L"mkisofs.exe", folder_);
    WriteBytes(source_ + L"\\i386\\SHELL32.DL_", "compressed shell32");
}

TCurrentSettings ScratchInstallation::MakeCurrentProfile() const
{
    EraseRegKey(kProgramKey);
    TCurrentSettings settings;
    settings.ProfileKeySuffix = ProfileKeySuffixOf(L"Test");
    settings.PEBuilder = folder_;
    settings.PEB_WAIT = true;
    return settings;
}

void ScratchInstallation::WriteInputInf(std::wstring_view text) const { WriteBytes(InputInf(), Ansi(text)); }

IniDocument ScratchInstallation::ReadInputInf() const { return IniDocument::Parse(Wide(InputInfBytes())); }

void ScratchInstallation::WritePlugin(std::wstring_view relative, std::wstring_view name, int enable) const
{
    WriteBytes(Path(L"Plugin\\") + std::wstring(relative),
               Ansi(L"; a plug-in of the test installation\r\n[Version]\r\nSignature= \"$Windows NT$\"\r\n\r\n"
                    L"[PEBuilder]\r\nName=\"" +
                    std::wstring(name) + L"\"\r\nEnable=" + std::to_wstring(enable) +
                    L"\r\n\r\n[SourceDisksFiles]\r\nfile.exe=2\r\n"));
}

void ScratchInstallation::SimulateRun(int exitCode, std::wstring_view lastLogLine, int delayMs) const
{
    WriteSimulatorSettings(Path(L"pebuilder.sim"), exitCode, std::wstring(lastLogLine), delayMs);
}

bool ScratchInstallation::Started() const { return FileExists(Path(L"pebuilder.record")); }

std::wstring ScratchInstallation::Recorded(std::wstring_view section, std::wstring_view key) const
{
    std::optional<std::wstring> value =
        RecordValue(ReadRecord(Path(L"pebuilder.record")), std::wstring(section), std::wstring(key));
    if (!value) throw std::runtime_error("the record lacks a value");
    return *value;
}

IniDocument ScratchInstallation::InputInfAtStart() const
{
    return IniDocument::Parse(RecordedInputInf(ReadRecord(Path(L"pebuilder.record"))));
}

void WaitUntilProgramEnds(const std::wstring& exePath)
{
    for (DWORD id : ProcessesOf(exePath)) {
        KernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
        if (process && ::WaitForSingleObject(process.Get(), 120000) != WAIT_OBJECT_0)
            throw std::runtime_error("a stand-in did not end");
    }
}

void EndProgram(const std::wstring& exePath)
{
    for (DWORD id : ProcessesOf(exePath)) {
        KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (!process) continue;
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), 30000);
    }
}

bool IsBootableIsoImage(const std::string& bytes)
{
    if (bytes.size() < 0x8800 + 2048) return false;
    bool primary = bytes[0x8000] == 1 && bytes.compare(0x8001, 5, "CD001") == 0;
    bool elTorito = bytes[0x8800] == 0 && bytes.compare(0x8801, 5, "CD001") == 0 &&
                    bytes.compare(0x8807, 23, "EL TORITO SPECIFICATION") == 0;
    return primary && elTorito;
}
