// The plug-in folder sort, and the return of plug-in folders that a sort cut short left
// in its staging folder.
#include "pebuilder/PluginSort.h"

#include <windows.h>

#include <algorithm>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Handles.h"
#include "core/Messages.h"
#include "core/Process.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "core/WinError.h"
#include "pebuilder/Installation.h"

// A sort moves the plug-in folder's content out and back. So that nothing stays out
// after a kill, and nothing but its own comes back in, each run has a staging folder of
// its own, marked with the process id and start time: beside the plug-in folder, where
// the moves are renames, or, when that folder takes no new folder, below the temporary
// folder. Before the first move a record names both folders: the file
// <temp>\KWRT_TMP\<id>-<start>-<run>.kwsort (the plug-in folder and the staging folder, one a
// line). A run that ends removes both. Records whose process has ended are taken up by
// ReturnInterruptedSorts, at the next start and before the next sort.

namespace {

constexpr std::wstring_view kRecordExtension = L".kwsort";

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                            static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

std::wstring RecordFolder() { return TempFolder() + L"\\KWRT_TMP"; }

bool IsDigits(std::wstring_view text)
{
    return !text.empty() && text.size() <= 20 &&
           std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// The stamp of a record's file name "<id>-<start>-<run>.kwsort", or nothing for a file
// that is no record.
std::optional<ProcessStamp> StampOfRecord(std::wstring_view name)
{
    if (name.size() <= kRecordExtension.size() ||
        !SameText(name.substr(name.size() - kRecordExtension.size()), kRecordExtension))
        return std::nullopt;
    name.remove_suffix(kRecordExtension.size());
    const size_t first = name.find(L'-'), second = name.find(L'-', first == name.npos ? first : first + 1);
    if (second == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view id = name.substr(0, first), started = name.substr(first + 1, second - first - 1);
    if (!IsDigits(id) || id.size() > 10 || !IsDigits(started) || !IsDigits(name.substr(second + 1)))
        return std::nullopt;
    return ProcessStamp{static_cast<uint32_t>(std::wcstoul(std::wstring(id).c_str(), nullptr, 10)),
                        std::wcstoull(std::wstring(started).c_str(), nullptr, 10)};
}

void WriteRecord(const std::wstring& record, const std::wstring& plugins, const std::wstring& staging)
{
    WriteFileAtomic(record, EncodeText(plugins + L"\r\n" + staging + L"\r\n", TextEncoding::Utf8Bom, record));
}

bool IsEmptyFolder(const std::wstring& folder) { return FolderEntryNames(folder).empty(); }

// Moves whatever the staging folder holds back into the plug-in folder; true when it is
// empty afterwards and has been removed.
bool ReturnStaged(const std::wstring& plugins, const std::wstring& staging, const MoveRoutine& move)
{
    if (!DirectoryExists(staging)) return true;
    if (!IsEmptyFolder(staging)) {
        if (!DirectoryExists(plugins) && !::CreateDirectoryW(plugins.c_str(), nullptr)) return false;
        move(staging + L"\\*.*", plugins);
        if (!IsEmptyFolder(staging)) return false;
    }
    ::RemoveDirectoryW(staging.c_str());
    return true;
}

// The staging folder of this run: beside the plug-in folder when it can be made there.
std::wstring MakeStagingFolder(const std::wstring& plugins, const std::wstring& record, const std::wstring& stamp)
{
    const std::wstring candidates[] = {plugins + L".kwsort-" + stamp, RecordFolder() + L"\\" + stamp};
    DWORD error = ERROR_SUCCESS;
    for (const std::wstring& staging : candidates) {
        // Named in the record before it exists, so that no moment has an unrecorded one.
        WriteRecord(record, plugins, staging);
        if (::CreateDirectoryW(staging.c_str(), nullptr)) return staging;
        error = ::GetLastError();
    }
    ::DeleteFileW(record.c_str());
    ThrowSystemError(L"The staging folder \"" + candidates[0] + L"\" could not be created. Nothing was moved.", error);
}

}  // namespace

std::vector<std::wstring> SortableFolders(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    ForEachFolderEntry(folder, [&](const FolderEntry& entry) {
        if (entry.IsFolder() && !(entry.attributes & FILE_ATTRIBUTE_SYSTEM) && entry.name[0] != L'.')
            names.push_back(entry.name);
    });
    std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

std::vector<std::wstring> ReturnInterruptedSorts(const MoveRoutine& move)
{
    std::vector<std::wstring> left;
    const std::wstring records = RecordFolder();
    const ProcessStamp own = CurrentProcessStamp();
    for (const std::wstring& name : FolderEntryNames(records)) {
        // A record whose writing was cut short, beside the one it was to become.
        if (IsStagedFileName(name)) RemoveStagedLeftover(records + L"\\" + name);
        // This process runs one command at a time: a record of its own is of a sort that
        // has ended.
        std::optional<ProcessStamp> stamp = StampOfRecord(name);
        if (!stamp || (IsProcessRunning(*stamp) && stamp->id != own.id)) continue;
        const std::wstring record = records + L"\\" + name;
        std::optional<std::wstring> text = ReadTextQuietly(record);
        if (!text) continue;
        const std::vector<std::wstring> lines = SplitLines(*text);
        if (lines.size() < 2 || lines[0].empty() || lines[1].empty()) continue;  // a record never seen whole
        if (ReturnStaged(lines[0], lines[1], move))
            ::DeleteFileW(record.c_str());
        else
            left.push_back(lines[1]);
    }
    return left;
}

void PluginSortClick(const TCurrentSettings& settings, UserPrompt& prompt, const MoveRoutine& move)
{
    if (!prompt.Ask(Str(RS_010), Str(RS_101))) return;

    // The shell's move into a folder that is not there renames each entry onto the
    // target in turn, so both ends must exist before anything moves.
    const std::wstring plugins = PluginFolderPath(settings.PEBuilder);
    if (!DirectoryExists(plugins))
        throw AppError(L"The plug-in folder \"" + plugins + L"\" does not exist. Nothing was moved.");
    ReturnInterruptedSorts(move);
    const std::wstring records = RecordFolder();
    if (!DirectoryExists(records) && !::CreateDirectoryW(records.c_str(), nullptr))
        ThrowLastError(L"The temporary folder \"" + records + L"\" could not be created. Nothing was moved.");
    // A run of this process whose entries could not all go back keeps its record and
    // folder: each run has a number of its own.
    const ProcessStamp own = CurrentProcessStamp();
    std::wstring stamp, record;
    for (unsigned run = 1; record.empty() || FileExists(record) || DirectoryExists(plugins + L".kwsort-" + stamp) ||
                           DirectoryExists(records + L"\\" + stamp);
         ++run) {
        stamp = std::to_wstring(own.id) + L"-" + std::to_wstring(own.started) + L"-" + std::to_wstring(run);
        record = records + L"\\" + stamp + std::wstring(kRecordExtension);
    }
    const std::wstring staging = MakeStagingFolder(plugins, record, stamp);

    move(plugins + L"\\*.*", staging);
    for (const std::wstring& name : SortableFolders(staging)) move(staging + L"\\" + name, plugins);
    move(staging + L"\\*.*", plugins);

    if (!IsEmptyFolder(staging))
        throw AppError(L"Some entries could not be moved back into the plug-in folder \"" + plugins +
                       L"\"; they are still in the folder \"" + staging +
                       L"\", and the next start of the program moves them back.");
    ::RemoveDirectoryW(staging.c_str());
    ::DeleteFileW(record.c_str());
    prompt.Inform(Str(RS_011), Str(RS_101));
}

void PluginSortClick(const TCurrentSettings& settings, UserPrompt& prompt)
{
    PluginSortClick(settings, prompt, MoveFileOrFolder);
}
