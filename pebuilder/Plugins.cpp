// The plug-in catalogue on disk, the preset's key list in the registry, and the
// rewriting of the plug-ins' Enable lines.
#include "pebuilder/Plugins.h"

#include <windows.h>

#include <functional>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Handles.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Text.h"
#include "pebuilder/InfEnable.h"
#include "pebuilder/Installation.h"

namespace {

// What the scan found: the entry, and the file's bytes as they were parsed.
using FoundPlugin = std::function<void(TDataStruct&& entry, std::string&& bytes)>;

constexpr DWORD kVolumeLabelAttribute = 0x8;

void ScanFolder(const std::wstring& folder, const FoundPlugin& found)
{
    const std::wstring prefix = IncludeTrailingBackslash(folder);
    ForEachFolderEntry(ExcludeTrailingBackslash(prefix), [&](const FolderEntry& item) {
        const std::wstring& name = item.name;
        if (name.empty() || name[0] == L'.') return;
        if (item.attributes & (FILE_ATTRIBUTE_SYSTEM | kVolumeLabelAttribute)) return;
        if (item.IsFolder()) {
            ScanFolder(prefix + name, found);
            return;
        }
        if (!IsInfFileName(name)) return;

        // One read serves every value, and the Enable rewrite after it. A file that
        // cannot be read has no values, so it is no plug-in.
        std::optional<std::string> bytes;
        try {
            bytes = TryReadFileBytes(prefix + name);
        } catch (const AppError&) {
        }
        if (!bytes) return;
        std::optional<TDataStruct> entry =
            PluginEntryFromInf(IniDocument::Parse(DecodeText(*bytes)), ExcludeTrailingBackslash(prefix), name);
        if (entry) found(std::move(*entry), std::move(*bytes));
    });
}

// Puts a staged INF in its place and gives it back the hidden mark the scan accepts.
// Losing the mark would be untidy, not wrong, so a failure there is let pass rather
// than stop a switch half done.
void CommitInf(StagedFile& staged)
{
    const std::wstring& path = staged.Path();
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    staged.Commit();
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN)) {
        DWORD now = ::GetFileAttributesW(path.c_str());
        if (now != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(path.c_str(), now | FILE_ATTRIBUTE_HIDDEN);
    }
}

}  // namespace

void ScanPluginFolder(const std::wstring& folder, StringList& list)
{
    ScanFolder(folder, [&](TDataStruct&& entry, std::string&&) { AddListEntry(list, entry.DisplayName, entry); });
}

std::wstring PresetKeyPath(const TCurrentSettings& settings, const std::wstring& presetName)
{
    return settings.ProfileKey() + L"\\" + RegName::Preset + L"\\" + presetName;
}

std::vector<std::wstring> LoadPresetPluginKeys(const TCurrentSettings& settings, const std::wstring& presetName)
{
    std::vector<std::wstring> lines;
    ListRegValues(PresetKeyPath(settings, presetName), lines);
    return PresetKeysFromValueLines(lines);
}

void SetPluginEnable(const std::wstring& infPath, bool enabled)
{
    InfRewrite rewrite = RewriteEnableLine(ReadFileBytes(infPath), enabled);
    if (!rewrite.changed) return;
    StagedFile staged(infPath, rewrite.bytes);
    CommitInf(staged);
}

void ApplyPresetToPlugins(const TCurrentSettings& settings, const std::wstring& presetName)
{
    struct Pending {
        std::wstring path;
        std::string bytes;
    };
    const std::vector<std::wstring> keys = LoadPresetPluginKeys(settings, presetName);
    const std::wstring& peBuilder = settings.PEBuilder;
    std::vector<Pending> pending;
    ScanFolder(PluginFolderPath(peBuilder), [&](TDataStruct&& entry, std::string&& bytes) {
        InfRewrite rewrite = RewriteEnableLine(bytes, PresetHasKey(keys, PluginKeyOf(entry, peBuilder)));
        if (rewrite.changed) pending.push_back({entry.FullPath, std::move(rewrite.bytes)});
    });
    // A build must not start from a half-switched plug-in set: every new content is
    // written beside its file first, where a read-only or locked file, a full disk or a
    // folder that takes no new files shows, and only then does the first file change.
    std::vector<StagedFile> staged;
    staged.reserve(pending.size());
    for (const Pending& p : pending) staged.emplace_back(p.path, p.bytes);
    for (StagedFile& file : staged) CommitInf(file);
}
