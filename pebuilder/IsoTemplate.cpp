// The command template of the external ISO program.
#include "pebuilder/IsoTemplate.h"

#include <utility>
#include <vector>

#include "core/Ini.h"
#include "core/Text.h"
#include "pebuilder/InputInf.h"

std::wstring ExpandIsoTemplate(std::wstring_view templ, const IniDocument& inf, const IsoTemplateFolders& folders)
{
    // The order matters: it decides which values are expanded again by later steps.
    const std::vector<std::pair<std::wstring_view, std::wstring>> steps = {
        {L"@PEBuilder@", folders.PEBuilder},
        {L"@Kitwright@", folders.Kitwright},
        {L"@IsoFile@", Trim(inf.ReadString(kInputSection, L"isofile", L""))},
        {L"@OutDir@", folders.OutDir},
        {L"@SourcePath@", InputFolderValue(inf, L"source")},
        {L"@CustomDir@", InputFolderValue(inf, L"CustomDir")},
        {L"@buildiso@", inf.ReadString(kInputSection, L"buildiso", L"0")},
        {L"@burncd@", inf.ReadString(kInputSection, L"burncd", L"0")},
        {L"@blankcdrw@", inf.ReadString(kInputSection, L"blankcdrw", L"0")},
        {L"@device@", inf.ReadString(kInputSection, L"device", L"")},
        {L"@verbose@", inf.ReadString(kInputSection, L"verbose", L"0")},
        {L"@volumeid@", inf.ReadString(kInputSection, L"Volumeid", L"")},
        {L"@ISOduplicatesonce@", inf.ReadString(kInputSection, L"ISOduplicatesonce", L"0")},
    };
    std::wstring text(templ);
    for (const auto& [placeholder, value] : steps) text = ReplaceAllText(text, placeholder, value);
    return text;
}
