// The plug-in catalogue on disk, the preset's key list in the registry, and the
// rewriting of the plug-ins' Enable lines.
#include "pebuilder/Plugins.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <iterator>
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

// What a walk reads the plug-ins for: the catalogue only asks to read them, which no
// other program's open of the file conflicts with; the switch also asks, through the same
// open, whether it may replace them.
enum class InfUse { Catalogue, Switch };

void ReadPlugin(const std::wstring& prefix, const std::wstring& name, DWORD attributes, InfUse use,
                const FoundPlugin& found, ScanFindings& findings)
{
    // One read serves every value, and the Enable rewrite after it.
    std::optional<FileForReplace> file;
    std::optional<TDataStruct> entry;
    try {
        if (use == InfUse::Switch) {
            file = ReadFileForReplace(prefix + name, kMaxInfSize, attributes);
        } else if (std::optional<std::string> bytes = TryReadFileBytes(prefix + name, kMaxInfSize)) {
            file.emplace();
            file->bytes = std::move(*bytes);
        }
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
void WalkFrom(Listing start, InfUse use, const FoundPlugin& found, ScanFindings& findings)
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
        if (IsInfFileName(item.name)) ReadPlugin(prefix, item.name, item.attributes, use, found, findings);
    }
}

// One part of the plug-in folder (a file, or a folder and all below it) and what a
// walker found there: its findings, its error, and what the caller keeps (Found).
template <typename Found>
struct Part {
    Listing start;  // one entry
    ScanFindings findings;
    std::exception_ptr error;
    Found found{};
};

// Parts for two walkers to share: the folder's first levels, listed here, down to where
// there are enough parts for both to stay busy, in the order of a single walk.
template <typename Found>
std::vector<Part<Found>> PlanParts(const std::wstring& folder)
{
    auto partsOf = [](const Listing& listing, std::vector<Part<Found>>& parts) {
        for (const FolderEntry& entry : listing.entries) parts.push_back({{listing.prefix, {entry}, 0}, {}, {}, {}});
    };
    std::vector<Part<Found>> parts;
    partsOf(ListFolder(folder), parts);
    for (int level = 0; level < 3 && parts.size() < 64; ++level) {
        std::vector<Part<Found>> deeper;
        bool folders = false;
        for (Part<Found>& part : parts) {
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

// Under Wine one walk keeps a core busy with its own calls while the server answers
// them on the other: two walkers share the parts, taking them in turn, a helper from the
// start (walker 1) and this thread (walker 0) once meanwhile is done. found(part, walker,
// entry, file) is called for each plug-in, never before meanwhile has returned; when
// meanwhile fails, the walk stops and its error is raised. No part is begun after one
// that failed, so the parts before it are all walked; then, in walk order, the first
// error is raised, or the parts' findings are answered as those of a single walk.
template <typename Found, typename OnFound>
ScanFindings WalkParts(std::vector<Part<Found>>& parts, InfUse use, const OnFound& found,
                       const std::function<void()>& meanwhile = [] {})
{
    std::atomic<bool> failed{false};
    std::atomic<size_t> next{0};
    // Set once meanwhile has ended, awaited by the helper. (Not std::atomic::wait: without
    // a futex, this toolchain's can miss its notification and wait for ever.)
    std::mutex lock;
    std::condition_variable ended;
    bool meanwhileEnded = false, meanwhileFailed = false;
    auto endMeanwhile = [&](bool failing) {
        {
            std::lock_guard held(lock);
            meanwhileEnded = true;
            meanwhileFailed = failing;
        }
        ended.notify_all();
    };
    struct Stopped {};  // meanwhile failed: its error is the one raised
    auto walk = [&](int walker) {
        bool mayFind = walker == 0;
        for (size_t i; !failed && (i = next++) < parts.size();) {
            Part<Found>& part = parts[i];
            try {
                WalkFrom(
                    part.start, use,
                    [&](TDataStruct&& entry, FileForReplace&& file) {
                        if (!mayFind) {
                            std::unique_lock held(lock);
                            ended.wait(held, [&] { return meanwhileEnded; });
                            if (meanwhileFailed) throw Stopped{};
                            mayFind = true;
                        }
                        found(part, walker, std::move(entry), std::move(file));
                    },
                    part.findings);
            } catch (const Stopped&) {
            } catch (...) {
                part.error = std::current_exception();
                failed = true;
            }
        }
    };
    {
        std::jthread helper;
        try {
            helper = std::jthread(walk, 1);
        } catch (const std::system_error&) {
            // No thread to be had: this one walks alone.
        }
        try {
            meanwhile();
        } catch (...) {
            failed = true;
            endMeanwhile(true);
            throw;  // once the helper has stopped
        }
        endMeanwhile(false);
        walk(0);
    }
    ScanFindings findings;
    for (const Part<Found>& part : parts)
        if (part.error) std::rethrow_exception(part.error);
    for (const Part<Found>& part : parts) {
        findings.unreadable.insert(findings.unreadable.end(), part.findings.unreadable.begin(),
                                   part.findings.unreadable.end());
        findings.leftovers.insert(findings.leftovers.end(), part.findings.leftovers.begin(),
                                  part.findings.leftovers.end());
    }
    return findings;
}

// Staged files flushed together: one wait for the disk serves them all.
constexpr size_t kFlushBatch = 1024;

}  // namespace

std::vector<std::wstring> ScanPluginFolder(const std::wstring& folder, StringList& list)
{
    std::vector<Part<StringList>> parts = PlanParts<StringList>(folder);
    const ScanFindings findings =
        WalkParts(parts, InfUse::Catalogue, [](Part<StringList>& part, int, TDataStruct&& entry, FileForReplace&&) {
            AddListEntry(part.found, entry.DisplayName, entry);
        });
    size_t count = list.size();
    for (const Part<StringList>& part : parts) count += part.found.size();
    list.reserve(count);
    for (Part<StringList>& part : parts) {
        list.insert(list.end(), std::make_move_iterator(part.found.begin()), std::make_move_iterator(part.found.end()));
        StringList().swap(part.found);
    }
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
    const std::wstring& peBuilder = settings.PEBuilder;
    const LeadBytes lead = AnsiLeadBytes();
    // The folder is walked while this thread reads the preset's keys; each part keeps the
    // files to switch that could not be replaced when they were read, with their state.
    using Held = std::vector<std::pair<std::wstring, bool>>;
    using SwitchPart = Part<Held>;
    std::vector<SwitchPart> parts = PlanParts<Held>(PluginFolderPath(peBuilder));
    std::vector<std::wstring> keys;
    // A build must not start from a half-switched plug-in set: every new content is
    // written beside its file first, where a full disk or a folder that takes no new
    // files shows, and only then does the first file change. Each walker stages the
    // changes it meets and flushes them a thousand at a time.
    std::vector<StagedFile> staged[2];
    const ScanFindings findings = WalkParts(
        parts, InfUse::Switch,
        [&](SwitchPart& part, int walker, TDataStruct&& entry, FileForReplace&& file) {
            // Most files are already right: they are answered from their bytes, and new
            // content is built only for the files that change.
            const bool enabled = PresetHasKey(keys, PluginKeyOf(entry, peBuilder));
            if (!EnableLineChanges(file.bytes, enabled, lead)) return;
            if (file.replaceError) {
                part.found.emplace_back(entry.FullPath, enabled);
                return;
            }
            std::vector<StagedFile>& mine = staged[walker];
            mine.emplace_back(entry.FullPath, RewriteEnableLine(file.bytes, enabled, lead).bytes, file.TakeTraits(),
                              StagedFile::Flush::Later);
            if (mine.size() % kFlushBatch == 0) FlushStagedFiles(mine);
        },
        [&] { keys = LoadPresetPluginKeys(settings, presetName); });
    for (const std::wstring& leftover : findings.leftovers) RemoveStagedLeftover(leftover);
    // A plug-in that cannot be read might be one the preset switches: stop before any
    // file changes rather than build from a set that is not the preset's.
    if (!findings.unreadable.empty())
        throw AppError(L"Cannot read the plug-in file " + findings.unreadable.front() +
                       L"\r\nIt is too large or locked. No plug-in has been switched.");
    for (StagedFile& file : staged[1]) staged[0].push_back(std::move(file));
    staged[1].clear();
    // A file that another program held when it was read (a virus scanner, a second copy
    // of this one) is asked again, waiting a moment for it as every write does; read-only
    // or held for good, it stops the switch here, before any file changes.
    for (const SwitchPart& part : parts)
        for (const auto& [path, enabled] : part.found) {
            FileTraits keep = CheckFileWritable(path);
            std::optional<std::string> bytes = TryReadFileBytes(path, kMaxInfSize);
            if (bytes && EnableLineChanges(*bytes, enabled, lead))
                staged[0].emplace_back(path, RewriteEnableLine(*bytes, enabled, lead).bytes, std::move(keep),
                                       StagedFile::Flush::Later);
        }
    FlushStagedFiles(staged[0]);
    for (StagedFile& file : staged[0]) file.Commit();
}
