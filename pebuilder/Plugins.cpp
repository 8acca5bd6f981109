// The plug-in catalogue on disk, the preset's key list in the registry, and the
// rewriting of the plug-ins' Enable lines.
#include "pebuilder/Plugins.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Handles.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/SettingsLock.h"
#include "core/Text.h"
#include "core/WinError.h"
#include "pebuilder/InfEnable.h"
#include "pebuilder/Installation.h"

namespace {

// A plug-in INF is a few kilobytes; one of hundreds of megabytes is no plug-in, and
// reading it could exhaust the address space and lose every other plug-in with it.
constexpr uint64_t kMaxInfSize = 4u << 20;

// What the scan found: the entry, and the file as it was read.
using FoundPlugin = std::function<void(TDataStruct&& entry, FileForReplace&& file)>;

// What the scan passed over besides files that are no plug-ins.
struct ScanFindings {
    std::vector<std::wstring> unreadable;  // INF files too large or locked to read
    std::vector<std::wstring> leftovers;   // staged files of an interrupted switch
};

constexpr DWORD kVolumeLabelAttribute = 0x8;

// One folder's entries, listed whole before the walk goes down into any of them, so
// that no listing stays open while the plug-ins below are read.
struct Listing {
    std::wstring prefix;               // the folder with a trailing backslash
    std::vector<FolderEntry> entries;  // as the file system lists them
    size_t next = 0;
};

Listing ListFolder(const std::wstring& folder)
{
    Listing listing{IncludeTrailingBackslash(folder), {}, 0};
    ForEachFolderEntry(ExcludeTrailingBackslash(listing.prefix), [&](const FolderEntry& item) {
        if (item.name.empty() || item.name[0] == L'.') return;
        if (item.attributes & (FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute)) return;
        listing.entries.push_back(item);
    });
    return listing;
}

void ReadPlugin(const std::wstring& prefix, const std::wstring& name, DWORD attributes, const FoundPlugin& found,
                ScanFindings& findings)
{
    // One read serves every value, and the Enable rewrite after it.
    std::optional<FileForReplace> file;
    std::optional<TDataStruct> entry;
    try {
        file = ReadFileForReplace(prefix + name, kMaxInfSize, attributes);
        if (file)
            entry = PluginEntryFromInf(IniView::Parse(DecodeText(file->bytes)), ExcludeTrailingBackslash(prefix), name);
    } catch (const AppError&) {
        findings.unreadable.push_back(prefix + name);
    } catch (const std::bad_alloc&) {
        findings.unreadable.push_back(prefix + name);
    }
    if (entry) found(std::move(*entry), std::move(*file));
}

// Depth first, in the order the file system lists names. Folders may nest as deep as
// paths allow, thousands of levels: the walk keeps its own stack rather than recurse.
void ScanFolder(const std::wstring& folder, const FoundPlugin& found, ScanFindings& findings)
{
    std::vector<Listing> stack;
    stack.push_back(ListFolder(folder));
    while (!stack.empty()) {
        Listing& level = stack.back();
        if (level.next == level.entries.size()) {
            stack.pop_back();
            continue;
        }
        const FolderEntry item = level.entries[level.next++];
        const std::wstring prefix = level.prefix;
        if (item.IsFolder()) {
            stack.push_back(ListFolder(prefix + item.name));  // level is invalid from here on
            continue;
        }
        if (IsStagedFileName(item.name)) findings.leftovers.push_back(prefix + item.name);
        if (IsInfFileName(item.name)) ReadPlugin(prefix, item.name, item.attributes, found, findings);
    }
}

// The preset's keys, read on a thread of their own while the plug-in folder is walked:
// the registry answers a request for each plug-in of the preset, and those requests
// then overlap the files' rather than come before them.
class PresetKeysReading {
public:
    PresetKeysReading(const TCurrentSettings& settings, const std::wstring& presetName)
    {
        auto read = [this, &settings, &presetName] {
            try {
                keys_ = LoadPresetPluginKeys(settings, presetName);
            } catch (...) {
                error_ = std::current_exception();
            }
            done_.store(true, std::memory_order_release);
        };
        try {
            thread_ = std::jthread(read);
        } catch (const std::system_error&) {
            read();  // no thread to be had: read them here
        }
    }
    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Waits for the keys; the reading's error is raised here.
    const std::vector<std::wstring>& Keys()
    {
        if (thread_.joinable()) thread_.join();
        if (error_) std::rethrow_exception(error_);
        return keys_;
    }

private:
    std::vector<std::wstring> keys_;
    std::exception_ptr error_;
    std::atomic<bool> done_{false};
    std::jthread thread_;  // joined by its destructor, before the rest goes
};

// A plug-in read before the preset's keys were in.
struct WaitingPlugin {
    std::wstring key, path;
    FileForReplace file;
};

// Files held at most while the keys are read: each holds its content and a handle.
constexpr size_t kMaxWaiting = 256;

// Staged files flushed together: one wait for the disk serves them all.
constexpr size_t kFlushBatch = 1024;

}  // namespace

std::vector<std::wstring> ScanPluginFolder(const std::wstring& folder, StringList& list)
{
    ScanFindings findings;
    ScanFolder(
        folder, [&](TDataStruct&& entry, FileForReplace&&) { AddListEntry(list, entry.DisplayName, entry); }, findings);
    return findings.unreadable;
}

std::vector<std::wstring> LoadPresetPluginKeys(const TCurrentSettings& settings, const std::wstring& presetName)
{
    std::vector<std::wstring> lines;
    {
        SettingsLock lock;  // never a preset that another instance is still writing
        ListRegValues(PresetKey(settings, presetName), lines);
    }
    return PresetKeysFromValueLines(lines);
}

void SetPluginEnable(const std::wstring& infPath, bool enabled)
{
    std::optional<FileForReplace> file = ReadFileForReplace(infPath, kMaxInfSize);
    if (!file) ThrowSystemError(L"Cannot read the file " + infPath, ERROR_FILE_NOT_FOUND);
    InfRewrite rewrite = RewriteEnableLine(file->bytes, enabled, AnsiLeadBytes());
    if (!rewrite.changed) return;
    if (file->replaceError) ThrowSystemError(L"Cannot write the file " + infPath, file->replaceError);
    StagedFile(infPath, rewrite.bytes, file->TakeTraits()).Commit();
}

void ApplyPresetToPlugins(const TCurrentSettings& settings, const std::wstring& presetName)
{
    PresetKeysReading reading(settings, presetName);
    const std::vector<std::wstring>* keys = nullptr;
    const std::wstring& peBuilder = settings.PEBuilder;
    const LeadBytes lead = AnsiLeadBytes();
    // A build must not start from a half-switched plug-in set: every new content is
    // written beside its file first, where a full disk or a folder that takes no new
    // files shows, and only then does the first file change. Staged as the scan meets
    // them, so that no more than one file's content is held at a time (the few read
    // before the preset's keys were in aside), and flushed a thousand at a time.
    std::vector<StagedFile> staged;
    std::optional<std::pair<std::wstring, DWORD>> blocked;
    auto decide = [&](const std::wstring& key, const std::wstring& path, FileForReplace& file) {
        // Most files are already right: they are answered from their bytes, and new
        // content is built only for the files that change.
        const bool enabled = PresetHasKey(*keys, key);
        if (blocked || !EnableLineChanges(file.bytes, enabled, lead)) return;
        if (file.replaceError) {
            blocked.emplace(path, file.replaceError);
            return;
        }
        staged.emplace_back(path, RewriteEnableLine(file.bytes, enabled, lead).bytes, file.TakeTraits(),
                            StagedFile::Flush::Later);
        if (staged.size() % kFlushBatch == 0) FlushStagedFiles(staged);
    };
    std::vector<WaitingPlugin> waiting;
    auto takeKeys = [&] {
        keys = &reading.Keys();
        for (WaitingPlugin& plugin : waiting) decide(plugin.key, plugin.path, plugin.file);
        std::vector<WaitingPlugin>().swap(waiting);  // their handles closed, their content freed
    };
    ScanFindings findings;
    try {
        ScanFolder(
            PluginFolderPath(peBuilder),
            [&](TDataStruct&& entry, FileForReplace&& file) {
                std::wstring key = PluginKeyOf(entry, peBuilder);
                if (!keys) {
                    if (!reading.Done() && waiting.size() < kMaxWaiting) {
                        waiting.push_back({std::move(key), std::move(entry.FullPath), std::move(file)});
                        return;
                    }
                    takeKeys();
                }
                decide(key, entry.FullPath, file);
            },
            findings);
    } catch (...) {
        reading.Keys();  // a preset that cannot be read is the first thing to say
        throw;
    }
    if (!keys) takeKeys();
    for (const std::wstring& leftover : findings.leftovers) RemoveStagedLeftover(leftover);
    // A plug-in that cannot be read might be one the preset switches: stop before any
    // file changes rather than build from a set that is not the preset's.
    if (!findings.unreadable.empty())
        throw AppError(L"Cannot read the plug-in file " + findings.unreadable.front() +
                       L"\r\nIt is too large or locked. No plug-in has been switched.");
    if (blocked) ThrowSystemError(L"Cannot write the file " + blocked->first, blocked->second);
    FlushStagedFiles(staged);
    for (StagedFile& file : staged) file.Commit();
}
