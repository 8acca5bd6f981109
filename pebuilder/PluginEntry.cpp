// Plug-in entries, keys and preset key lists.
#include "pebuilder/PluginEntry.h"

#include <algorithm>

#include "core/Text.h"

namespace {

const wchar_t kVersion[] = L"Version";
const wchar_t kPEBuilder[] = L"PEBuilder";

std::wstring_view UnquoteView(std::wstring_view text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    return text;
}

// A value as the reader holds it, trimmed already; empty when missing. Views into the
// file's text: the entry copies only what it keeps.
std::wstring_view Value(const IniView& inf, std::wstring_view section, std::wstring_view key)
{
    return inf.Find(section, key).value_or(std::wstring_view());
}

std::wstring Joined(std::wstring_view folder, std::wstring_view name)
{
    std::wstring path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    path += L'\\';
    path += name;
    return path;
}

}  // namespace

std::wstring Unquote(std::wstring_view text) { return std::wstring(UnquoteView(text)); }

bool IsInfFileName(std::wstring_view name)
{
    return name.size() >= 4 && SameText(name.substr(name.size() - 4), L".inf");
}

std::optional<TDataStruct> PluginEntryFromInf(const IniView& inf, const std::wstring& folder,
                                              const std::wstring& fileName)
{
    // The signature is compared with case: "$WINDOWS NT$" marks no plug-in.
    if (UnquoteView(Value(inf, kVersion, L"Signature")) != L"$Windows NT$") return std::nullopt;
    std::wstring_view name = Value(inf, kPEBuilder, L"Name");
    if (name.empty()) return std::nullopt;

    TDataStruct entry;
    entry.DisplayName = UnquoteView(name);
    entry.Folder = folder;
    entry.FileName = fileName;
    entry.FullPath = Joined(folder, fileName);
    std::wstring_view help = UnquoteView(Value(inf, kPEBuilder, L"Help"));
    if (!help.empty()) entry.HelpFile = Joined(folder, help);
    entry.ConfigCommand = Value(inf, kPEBuilder, L"Config");
    entry.Enabled = inf.ReadInteger(kPEBuilder, L"Enable", 0) == 1;
    return entry;
}

std::wstring PluginKeyOf(const TDataStruct& entry, const std::wstring& peBuilderFolder)
{
    std::wstring base;
    base.reserve(peBuilderFolder.size() + 8);
    base += peBuilderFolder;
    if (base.empty() || base.back() != L'\\') base += L'\\';
    base += L"plugin\\";
    std::wstring key;
    key.reserve(entry.DisplayName.size() + 2 + entry.Folder.size() + 1);
    key += entry.DisplayName;
    key += L"::";
    // A folder below the plug-in folder, as the scan finds them: its relative path is
    // the rest of it, as long as no name on the way is empty (a doubled backslash, or a
    // share's "\\\\" that RelativePath reads as a drive).
    std::wstring_view folder = entry.Folder;
    const bool trailing = !folder.empty() && folder.back() == L'\\';
    const bool below = base.size() <= folder.size()
                           ? StartsWithText(folder, base)
                           : !trailing && base.size() == folder.size() + 1 && StartsWithText(base, folder);
    if (below && folder.find(L"\\\\") == std::wstring_view::npos) {
        if (base.size() < folder.size()) {
            key += folder.substr(base.size());
            if (!trailing) key += L'\\';
        }
        return key;
    }
    key += RelativePath(entry.Folder, base);
    return key;
}

std::vector<std::wstring> PresetKeysFromValueLines(const std::vector<std::wstring>& lines)
{
    std::vector<std::wstring> keys;
    for (const std::wstring& line : lines) {
        size_t equals = line.find(L'=');
        std::wstring value = equals == std::wstring::npos ? std::wstring() : line.substr(equals + 1);
        if (!value.empty()) keys.push_back(std::move(value));
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const std::wstring& a, const std::wstring& b) { return CompareText(a, b) < 0; });
    return keys;
}

bool PresetHasKey(const std::vector<std::wstring>& sortedKeys, std::wstring_view key)
{
    auto it = std::lower_bound(sortedKeys.begin(), sortedKeys.end(), key,
                               [](const std::wstring& a, std::wstring_view b) { return CompareText(a, b) < 0; });
    return it != sortedKeys.end() && CompareText(*it, key) == 0;
}
