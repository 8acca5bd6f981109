// The plug-in catalogue on disk, the preset's key list in the registry, and the
// rewriting of the plug-ins' Enable lines.
#include "pebuilder/Plugins.h"

#include <windows.h>

#include <functional>
#include <new>
#include <optional>

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
    const std::vector<std::wstring> keys = LoadPresetPluginKeys(settings, presetName);
    const std::wstring& peBuilder = settings.PEBuilder;
    const LeadBytes lead = AnsiLeadBytes();
    // A build must not start from a half-switched plug-in set: every new content is
    // written beside its file first, where a full disk or a folder that takes no new
    // files shows, and only then does the first file change. Staged as the scan meets
    // them, so that no more than one file's content is held at a time.
    std::vector<StagedFile> staged;
    std::optional<std::pair<std::wstring, DWORD>> blocked;
    ScanFindings findings;
    ScanFolder(
        PluginFolderPath(peBuilder),
        [&](TDataStruct&& entry, FileForReplace&& file) {
            // Most files are already right: they are answered from their bytes, and new
            // content is built only for the files that change.
            const bool enabled = PresetHasKey(keys, PluginKeyOf(entry, peBuilder));
            if (blocked || !EnableLineChanges(file.bytes, enabled, lead)) return;
            if (file.replaceError) {
                blocked.emplace(entry.FullPath, file.replaceError);
                return;
            }
            staged.emplace_back(entry.FullPath, RewriteEnableLine(file.bytes, enabled, lead).bytes, file.TakeTraits());
        },
        findings);
    for (const std::wstring& leftover : findings.leftovers) RemoveStagedLeftover(leftover);
    // A plug-in that cannot be read might be one the preset switches: stop before any
    // file changes rather than build from a set that is not the preset's.
    if (!findings.unreadable.empty())
        throw AppError(L"Cannot read the plug-in file " + findings.unreadable.front() +
                       L"\r\nIt is too large or locked. No plug-in has been switched.");
    if (blocked) ThrowSystemError(L"Cannot write the file " + blocked->first, blocked->second);
    for (StagedFile& file : staged) file.Commit();
}
