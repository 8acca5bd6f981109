// Plug-in entries, keys and preset key lists.
#include "pebuilder/PluginEntry.h"

#include <algorithm>

#include "core/Text.h"

namespace {

const wchar_t kVersion[] = L"Version";
const wchar_t kPEBuilder[] = L"PEBuilder";

}  // namespace

std::wstring Unquote(std::wstring_view text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') text = text.substr(1, text.size() - 2);
    return std::wstring(text);
}

bool IsInfFileName(std::wstring_view name)
{
    return name.size() >= 4 && SameText(name.substr(name.size() - 4), L".inf");
}

std::optional<TDataStruct> PluginEntryFromInf(const IniView& inf, const std::wstring& folder,
                                              const std::wstring& fileName)
{
    // The signature is compared with case: "$WINDOWS NT$" marks no plug-in.
    if (Unquote(Trim(inf.ReadString(kVersion, L"Signature", L""))) != L"$Windows NT$") return std::nullopt;
    std::wstring name = Trim(inf.ReadString(kPEBuilder, L"Name", L""));
    if (name.empty()) return std::nullopt;

    TDataStruct entry;
    entry.DisplayName = Unquote(name);
    entry.Folder = folder;
    entry.FileName = fileName;
    entry.FullPath = folder + L"\\" + fileName;
    std::wstring help = Unquote(Trim(inf.ReadString(kPEBuilder, L"Help", L"")));
    if (!help.empty()) entry.HelpFile = folder + L"\\" + help;
    entry.ConfigCommand = Trim(inf.ReadString(kPEBuilder, L"Config", L""));
    entry.Enabled = inf.ReadInteger(kPEBuilder, L"Enable", 0) == 1;
    return entry;
}

std::wstring PluginKeyOf(const TDataStruct& entry, const std::wstring& peBuilderFolder)
{
    return entry.DisplayName + L"::" +
           RelativePath(entry.Folder, IncludeTrailingBackslash(peBuilderFolder) + L"plugin\\");
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
