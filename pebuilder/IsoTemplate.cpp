// The command template of the external ISO program.
#include "pebuilder/IsoTemplate.h"

#include <utility>
#include <vector>

#include "core/Ini.h"
#include "core/Text.h"

namespace {

// A folder value of [input]: one trailing backslash removed, then trimmed.
std::wstring FolderValue(const IniDocument& inf, std::wstring_view key)
{
    return Trim(ExcludeTrailingBackslash(inf.ReadString(L"input", key, L"")));
}

}  // namespace

std::wstring ExpandIsoTemplate(std::wstring_view templ, const IniDocument& inf, const IsoTemplateFolders& folders)
{
    // The order matters: it decides which values are expanded again by later steps.
    const std::vector<std::pair<std::wstring_view, std::wstring>> steps = {
        {L"@PEBuilder@", folders.PEBuilder},
        {L"@Kitwright@", folders.Kitwright},
        {L"@IsoFile@", Trim(inf.ReadString(L"input", L"isofile", L""))},
        {L"@OutDir@", folders.OutDir},
        {L"@SourcePath@", FolderValue(inf, L"source")},
        {L"@CustomDir@", FolderValue(inf, L"CustomDir")},
        {L"@buildiso@", inf.ReadString(L"input", L"buildiso", L"0")},
        {L"@burncd@", inf.ReadString(L"input", L"burncd", L"0")},
        {L"@blankcdrw@", inf.ReadString(L"input", L"blankcdrw", L"0")},
        {L"@device@", inf.ReadString(L"input", L"device", L"")},
        {L"@verbose@", inf.ReadString(L"input", L"verbose", L"0")},
        {L"@volumeid@", inf.ReadString(L"input", L"Volumeid", L"")},
        {L"@ISOduplicatesonce@", inf.ReadString(L"input", L"ISOduplicatesonce", L"0")},
    };
    std::wstring text(templ);
    for (const auto& [placeholder, value] : steps) text = ReplaceAllText(text, placeholder, value);
    return text;
}
