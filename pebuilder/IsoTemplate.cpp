// The command template of the external ISO program.
#include "pebuilder/IsoTemplate.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "core/CommandArgs.h"
#include "core/Error.h"
#include "core/Ini.h"
#include "core/Text.h"
#include "pebuilder/InputInf.h"

namespace {

[[noreturn]] void ThrowTooLong()
{
    throw AppError(L"The command line of the ISO program would be longer than " + std::to_wstring(kMaxCommandLineLength) +
                   L" characters, the most a program can be started with.\r\n"
                   L"Check the program's template and the values in input.inf.");
}

// Every occurrence of placeholder replaced by value, refusing before it builds a text
// that grows by more than room (chained values can multiply the text at every step).
std::wstring ReplaceWithinLimit(const std::wstring& text, std::wstring_view placeholder, std::wstring_view value,
                                size_t room)
{
    if (value.size() > placeholder.size()) {
        const std::wstring folded = UpperCase(text), key = UpperCase(placeholder);
        size_t hits = 0;
        for (size_t at = folded.find(key); at != std::wstring::npos; at = folded.find(key, at + key.size())) ++hits;
        if (hits > 0 && (value.size() - placeholder.size()) > room / hits) ThrowTooLong();
    }
    return ReplaceAllText(text, placeholder, value);
}

// An argument that held a placeholder, written again for its expanded value: a value
// stays one argument whatever blanks, quotes or backslashes it holds. Where the
// template quoted the argument it stays quoted; the program keeps the plain quotes of a
// path. An empty value where the template wrote no quotes leaves no argument, as it
// always did.
std::wstring Rewritten(std::wstring_view raw, const std::wstring& value, bool isProgram)
{
    const bool quotedInTemplate = raw.find(L'"') != std::wstring_view::npos;
    if (isProgram) {
        if (!quotedInTemplate && QuoteArgument(value) == value) return value;
        return QuoteProgramPath(value, L"The program of the ISO command line");
    }
    if (value.empty() && !quotedInTemplate) return value;
    return QuoteArgument(value, quotedInTemplate);
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
    // Each argument of the template is expanded by itself and written again, so that
    // no value can end its argument early or add arguments of its own.
    std::wstring text;
    size_t size = templ.size(), copied = 0;
    const std::vector<CommandLinePart> parts = SplitCommandLine(templ);
    for (size_t i = 0; i < parts.size(); ++i) {
        const CommandLinePart& part = parts[i];
        std::wstring value = part.value;
        for (const auto& [placeholder, replacement] : steps) {
            const size_t before = value.size();
            value = ReplaceWithinLimit(value, placeholder, replacement,
                                       std::max(kMaxCommandLineLength, size) - size);
            size = size + value.size() - before;
        }
        if (value == part.value) continue;
        const std::wstring_view raw = templ.substr(part.begin, part.end - part.begin);
        const std::wstring written = Rewritten(raw, value, i == 0);
        text.append(templ.substr(copied, part.begin - copied));
        text += written;
        copied = part.end;
        size = text.size() + templ.size() - copied;
    }
    text.append(templ.substr(copied));
    if (text.size() > kMaxCommandLineLength)
        throw AppError(L"The command line of the ISO program is longer than " + std::to_wstring(kMaxCommandLineLength) +
                       L" characters, the most a program can be started with.");
    return text;
}
