// The command template of the external ISO program.
#include "pebuilder/IsoTemplate.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Error.h"
#include "core/Ini.h"
#include "core/Text.h"
#include "pebuilder/InputInf.h"

namespace {

// Every occurrence of placeholder replaced by value, refusing before it builds a text
// that grows past the limit (chained values can multiply the text at every step).
std::wstring ReplaceWithinLimit(const std::wstring& text, std::wstring_view placeholder, std::wstring_view value)
{
    if (value.size() > placeholder.size()) {
        const std::wstring folded = UpperCase(text), key = UpperCase(placeholder);
        size_t hits = 0;
        for (size_t at = folded.find(key); at != std::wstring::npos; at = folded.find(key, at + key.size())) ++hits;
        const size_t room = std::max(kMaxCommandLineLength, text.size()) - text.size();
        if (hits > 0 && (value.size() - placeholder.size()) > room / hits)
            throw AppError(L"The command line of the ISO program would be longer than " +
                           std::to_wstring(kMaxCommandLineLength) +
                           L" characters, the most a program can be started with.\r\n"
                           L"Check the program's template and the values in input.inf.");
    }
    return ReplaceAllText(text, placeholder, value);
}

}  // namespace

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
    for (const auto& [placeholder, value] : steps) text = ReplaceWithinLimit(text, placeholder, value);
    if (text.size() > kMaxCommandLineLength)
        throw AppError(L"The command line of the ISO program is longer than " + std::to_wstring(kMaxCommandLineLength) +
                       L" characters, the most a program can be started with.");
    return text;
}
