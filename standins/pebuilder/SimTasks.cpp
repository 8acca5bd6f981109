// The simulator's work: a miniature build output and ISO images through mkisofs.exe.
#include "standins/pebuilder/SimTasks.h"

#include <windows.h>

#include <algorithm>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/Process.h"
#include "core/Text.h"
#include "core/WinError.h"

namespace {

std::wstring InputPath(const SimTask& task, const wchar_t* key)
{
    return Trim(ExcludeTrailingBackslash(Trim(task.input.ReadString(L"input", key, L""))));
}

// Relative paths in input.inf are taken from the simulator's folder.
std::wstring Resolve(const SimTask& task, const std::wstring& path)
{
    bool absolute = (path.size() >= 2 && path[1] == L':') || path.starts_with(L"\\\\");
    return absolute ? path : task.folder + L"\\" + path;
}

std::wstring OutputFolder(const SimTask& task)
{
    if (task.input.ReadInteger(L"input", L"useAbsoluteOutput", 0) == 1) {
        std::wstring full = InputPath(task, L"fulloutdir");
        return full.empty() ? task.folder : full;
    }
    std::wstring out = InputPath(task, L"outdir");
    if (out.empty()) throw AppError(L"input.inf names no output folder (outdir).");
    return Resolve(task, out);
}

void MakeFolders(const std::wstring& path)
{
    if (path.empty() || DirectoryExists(path)) return;
    MakeFolders(ExtractFileDir(path));
    if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        ThrowLastError(L"Cannot create the folder " + path);
}

void WriteText(const std::wstring& path, const std::wstring& text)
{
    MakeFolders(ExtractFileDir(path));
    WriteFileAtomic(path, EncodeText(text, TextEncoding::Ansi, path));
}

std::wstring Build(const SimTask& task, SimLog& log)
{
    std::wstring source = InputPath(task, L"source");
    std::wstring out = OutputFolder(task);
    log.Add(L"Source: " + source);
    log.Add(L"Output folder: " + out);
    MakeFolders(out);

    std::string boot = "Kitwright's PE Builder simulator: a stand-in boot image, not a boot sector.\r\n";
    boot.resize(2048, '\0');
    WriteFileAtomic(out + L"\\bootsect.bin", boot);
    WriteText(out + L"\\i386\\system32\\simulator.txt",
              L"Made by Kitwright's PE Builder simulator, which copies nothing from the source.\r\nSource: " + source +
                  L"\r\n");
    std::wstring list;
    for (const std::wstring& plugin : task.enabledPlugins) list += plugin + L"\r\n";
    WriteText(out + L"\\plugins.txt", list);
    log.Add(L"Wrote bootsect.bin, i386\\system32\\simulator.txt and plugins.txt (" +
            std::to_wstring(task.enabledPlugins.size()) + L" plug-ins enabled).");
    return out;
}

// Runs the command line, waited for, its output going into the log.
uint32_t RunIntoLog(const std::wstring& commandLine, const std::wstring& folder, SimLog& log)
{
    CapturedRun run = RunCaptured(commandLine, L"", folder + L"\\pebuilder.mkisofs.out");
    if (!run.output.empty())
        for (const std::wstring& line : SplitLines(AnsiToWide(run.output))) log.Add(L"  " + line);
    return run.exitCode;
}

void MakeIso(const SimTask& task, const std::wstring& out, SimLog& log)
{
    std::wstring iso = Trim(task.input.ReadString(L"input", L"isofile", L""));
    if (iso.empty()) throw AppError(L"input.inf names no ISO image file (isofile).");
    iso = Resolve(task, iso);
    std::wstring volume = Trim(task.input.ReadString(L"input", L"volumeid", L""));
    if (volume.empty()) volume = L"PESIM";
    std::wstring commandLine = L"\"" + task.folder + L"\\mkisofs.exe\" -iso-level 4 -volid \"" + volume +
                               L"\" -A KITWRIGHT/PESIM -sysid \"Win32\" -b bootsect.bin -no-emul-boot "
                               L"-boot-load-size 4 -hide bootsect.bin -hide boot.catalog -o \"" +
                               iso + L"\" \"" + out + L"\"";
    log.Add(L"ISO image: " + iso);
    log.Add(L"Running: " + commandLine);
    uint32_t code = RunIntoLog(commandLine, task.folder, log);
    if (code != 0)
        throw AppError(L"mkisofs.exe ended with exit code " + std::to_wstring(code) + L"; no ISO image " + iso);
}

}  // namespace

SimLog::SimLog(const std::wstring& path)
    : file_(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)),
      failed_(!file_)
{
}

void SimLog::Add(const std::wstring& line)
{
    const std::string bytes = WideToAnsi(line + L"\r\n");
    DWORD written = 0;
    if (!file_ || !::WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        failed_ = true;
}

void RunSimTask(const SimTask& task, SimLog& log)
{
    auto whattodo = task.input.Find(L"input", L"whattodo");
    int what = task.input.ReadInteger(L"input", L"whattodo", -1);
    if (what == 0 || what == 2) {
        log.Add(L"Task: build (whattodo " + std::to_wstring(what) + L").");
        std::wstring out = Build(task, log);
        if (task.input.ReadInteger(L"input", L"buildiso", 0) == 1)
            MakeIso(task, out, log);
        else
            log.Add(L"No ISO image: buildiso is not 1.");
    } else if (what == 3) {
        log.Add(L"Task: ISO image of the output folder (whattodo 3).");
        MakeIso(task, OutputFolder(task), log);
    } else {
        log.Add(L"Nothing to do: whattodo is " + (whattodo ? L"\"" + *whattodo + L"\"" : std::wstring(L"missing")) +
                L"; 0 or 2 builds, 3 makes an ISO image.");
    }
}
