// The plug-in catalogue on disk, the preset's key list in the registry, and the
// rewriting of the plug-ins' Enable lines.
#include "pebuilder/Plugins.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
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

// Depth first from the entries of start, in the order the file system lists names.
// Folders may nest as deep as paths allow, thousands of levels: the walk keeps its own
// stack rather than recurse.
void WalkFrom(Listing start, const FoundPlugin& found, ScanFindings& findings)
{
    std::vector<Listing> stack;
    stack.push_back(std::move(start));
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

void ScanFolder(const std::wstring& folder, const FoundPlugin& found, ScanFindings& findings)
{
    WalkFrom(ListFolder(folder), found, findings);
}

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

namespace {

// One part of the plug-in folder (a file, or a folder and all below it) and what its
// walker found there, in walk order.
struct Part {
    Listing start;  // one entry
    std::optional<std::pair<std::wstring, DWORD>> blocked;  // the first file that cannot be replaced
    ScanFindings findings;
    std::exception_ptr error;
};

// Parts for two walkers to share: the folder's first levels, listed here, down to where
// there are enough parts for both to stay busy, in the order of a single walk.
std::vector<Part> PlanParts(const std::wstring& folder)
{
    auto partsOf = [](const Listing& listing, std::vector<Part>& parts) {
        for (const FolderEntry& entry : listing.entries) parts.push_back(Part{{listing.prefix, {entry}, 0}, {}, {}, {}});
    };
    std::vector<Part> parts;
    partsOf(ListFolder(folder), parts);
    for (int level = 0; level < 3 && parts.size() < 64; ++level) {
        std::vector<Part> deeper;
        bool folders = false;
        for (Part& part : parts) {
            const FolderEntry& entry = part.start.entries.front();
            folders = folders || entry.IsFolder();
            if (entry.IsFolder())
                partsOf(ListFolder(part.start.prefix + entry.name), deeper);
            else
                deeper.push_back(std::move(part));
        }
        parts = std::move(deeper);
        if (!folders) break;
    }
    return parts;
}

}  // namespace

void ApplyPresetToPlugins(const TCurrentSettings& settings, const std::wstring& presetName)
{
    const std::wstring& peBuilder = settings.PEBuilder;
    const LeadBytes lead = AnsiLeadBytes();
    // Under Wine one walk keeps a core busy with its own calls while the server answers
    // them on the other: two walkers share the folder's parts, taking them in turn, while
    // this thread first reads the preset's keys. Each part keeps what it found, and the
    // parts are taken in walk order afterwards, so that everything comes out as from one
    // walk: the first error, the unreadable files, the first file that cannot be replaced.
    std::vector<Part> parts = PlanParts(PluginFolderPath(peBuilder));
    std::vector<std::wstring> keys;
    // Set once by this thread, awaited by the walkers. (Not std::atomic::wait: without a
    // futex, this toolchain's can miss its notification and wait for ever.)
    std::mutex keysLock;
    std::condition_variable keysSet;
    bool keysIn = false, keysFailed = false;
    auto keysDone = [&](bool read) {
        {
            std::lock_guard lock(keysLock);
            keysIn = true;
            keysFailed = !read;
        }
        keysSet.notify_all();
    };
    std::atomic<bool> failed{false};
    std::atomic<size_t> nextPart{0};
    // A build must not start from a half-switched plug-in set: every new content is
    // written beside its file first, where a full disk or a folder that takes no new
    // files shows, and only then does the first file change. Each walker stages the
    // changes it meets and flushes them a thousand at a time.
    std::vector<StagedFile> staged, helperStaged;
    auto walk = [&](std::vector<StagedFile>& mine) {
        bool haveKeys = false;
        // Parts are taken in walk order: those before a failed one are all walked.
        for (size_t i; !failed && (i = nextPart++) < parts.size();) {
            Part& part = parts[i];
            try {
                WalkFrom(
                    part.start,
                    [&](TDataStruct&& entry, FileForReplace&& file) {
                        if (!haveKeys) {
                            std::unique_lock lock(keysLock);
                            keysSet.wait(lock, [&] { return keysIn; });
                            // The walk ends; the reading's own error is the one reported.
                            if (keysFailed) throw AppError(L"The preset could not be read.");
                            haveKeys = true;
                        }
                        // Most files are already right: they are answered from their bytes, and
                        // new content is built only for the files that change.
                        const bool enabled = PresetHasKey(keys, PluginKeyOf(entry, peBuilder));
                        if (part.blocked || !EnableLineChanges(file.bytes, enabled, lead)) return;
                        if (file.replaceError) {
                            part.blocked.emplace(entry.FullPath, file.replaceError);
                            return;
                        }
                        mine.emplace_back(entry.FullPath, RewriteEnableLine(file.bytes, enabled, lead).bytes,
                                          file.TakeTraits(), StagedFile::Flush::Later);
                        if (mine.size() % kFlushBatch == 0) FlushStagedFiles(mine);
                    },
                    part.findings);
            } catch (...) {
                part.error = std::current_exception();
                failed = true;
            }
        }
    };
    {
        std::jthread helper;
        try {
            helper = std::jthread(walk, std::ref(helperStaged));
        } catch (const std::system_error&) {
            // No thread to be had: this one walks alone.
        }
        try {
            keys = LoadPresetPluginKeys(settings, presetName);
        } catch (...) {
            keysDone(false);
            throw;  // once the helper has stopped
        }
        keysDone(true);
        walk(staged);
    }
    std::vector<std::wstring> unreadable;
    std::optional<std::pair<std::wstring, DWORD>> blocked;
    for (const Part& part : parts)
        if (part.error) std::rethrow_exception(part.error);
    for (Part& part : parts) {
        for (const std::wstring& leftover : part.findings.leftovers) RemoveStagedLeftover(leftover);
        unreadable.insert(unreadable.end(), part.findings.unreadable.begin(), part.findings.unreadable.end());
        if (!blocked) blocked = std::move(part.blocked);
    }
    // A plug-in that cannot be read might be one the preset switches: stop before any
    // file changes rather than build from a set that is not the preset's.
    if (!unreadable.empty())
        throw AppError(L"Cannot read the plug-in file " + unreadable.front() +
                       L"\r\nIt is too large or locked. No plug-in has been switched.");
    if (blocked) ThrowSystemError(L"Cannot write the file " + blocked->first, blocked->second);
    for (StagedFile& file : helperStaged) staged.push_back(std::move(file));
    helperStaged.clear();
    FlushStagedFiles(staged);
    for (StagedFile& file : staged) file.Commit();
}
