// Command lines split as the C runtime splits them, and arguments quoted for that split.
#include "core/CommandArgs.h"

#include "core/Error.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::vector<CommandLinePart> SplitCommandLine(std::wstring_view line)
{
    std::vector<CommandLinePart> parts;
    size_t i = 0;
    while (i < line.size() && IsSeparator(line[i])) ++i;
    if (i == line.size()) return parts;

    CommandLinePart program{i, i, {}};
    for (bool quoted = false; i < line.size() && (quoted || !IsSeparator(line[i])); ++i) {
        if (line[i] == L'"')
            quoted = !quoted;
        else
            program.value += line[i];
    }
    program.end = i;
    parts.push_back(std::move(program));

    for (;;) {
        while (i < line.size() && IsSeparator(line[i])) ++i;
        if (i == line.size()) return parts;
        CommandLinePart part{i, i, {}};
        bool quoted = false;
        while (i < line.size() && (quoted || !IsSeparator(line[i]))) {
            if (line[i] == L'\\') {
                size_t run = 0;
                while (i + run < line.size() && line[i + run] == L'\\') ++run;
                i += run;
                if (i < line.size() && line[i] == L'"') {
                    part.value.append(run / 2, L'\\');
                    if (run % 2 == 0) continue;  // the quote opens or closes
                    part.value += L'"';
                    ++i;
                } else {
                    part.value.append(run, L'\\');
                }
            } else if (line[i] == L'"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
                    part.value += L'"';
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                part.value += line[i++];
            }
        }
        part.end = i;
        parts.push_back(std::move(part));
    }
}

std::wstring QuoteArgument(std::wstring_view argument, bool force)
{
    if (!force && !argument.empty() && argument.find_first_of(L" \t\r\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring quoted = L"\"";
    for (size_t i = 0;; ++i) {
        size_t run = 0;
        while (i < argument.size() && argument[i] == L'\\') {
            ++run;
            ++i;
        }
        if (i == argument.size()) {
            quoted.append(run * 2, L'\\');  // before the closing quote
            break;
        }
        if (argument[i] == L'"') {
            quoted.append(run * 2 + 1, L'\\');
        } else {
            quoted.append(run, L'\\');
        }
        quoted += argument[i];
    }
    return quoted + L'"';
}

std::wstring QuoteProgramPath(std::wstring_view path, const std::wstring& what)
{
    if (path.find(L'"') != std::wstring_view::npos)
        throw AppError(what + L" \"" + std::wstring(path) +
                       L"\" holds a double quote, which no file name can hold. Nothing has been started.");
    return L"\"" + std::wstring(path) + L"\"";
}
