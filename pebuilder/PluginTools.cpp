// Command lines of the text editor and of a plug-in's configuration program.
#include "pebuilder/PluginTools.h"

#include <algorithm>
#include <array>

#include "core/CommandArgs.h"
#include "core/Error.h"
#include "core/Text.h"

namespace {

bool IsBlank(wchar_t c) { return c >= 1 && c <= L' '; }

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// A name the system reads as "..": two or more dots, and blanks, alone.
bool IsDotsName(std::wstring_view name)
{
    return std::count(name.begin(), name.end(), L'.') >= 2 &&
           std::all_of(name.begin(), name.end(), [](wchar_t c) { return c == L'.' || c == L' '; });
}

// The quoted element at text[pos] (an opening quote); pos ends after the closing quote.
std::wstring QuotedElement(std::wstring_view text, size_t& pos)
{
    std::wstring element;
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] != L'"') {
            element += text[pos];
        } else if (pos + 1 < text.size() && text[pos + 1] == L'"') {
            element += L'"';
            ++pos;
        } else {
            ++pos;
            break;
        }
    }
    return element;
}

}  // namespace

std::vector<std::wstring> SplitCommaText(std::wstring_view text)
{
    // A NUL ends the text, as it ends the INF value it came from.
    text = text.substr(0, text.find(L'\0'));
    std::vector<std::wstring> elements;
    size_t pos = 0;
    auto skipBlanks = [&] {
        while (pos < text.size() && IsBlank(text[pos])) ++pos;
    };
    skipBlanks();
    while (pos < text.size()) {
        if (text[pos] == L'"') {
            elements.push_back(QuotedElement(text, pos));
        } else {
            size_t start = pos;
            while (pos < text.size() && !IsBlank(text[pos]) && text[pos] != L',') ++pos;
            elements.emplace_back(text.substr(start, pos - start));
        }
        skipBlanks();
        if (pos < text.size() && text[pos] == L',') {
            if (pos + 1 == text.size()) elements.emplace_back();
            ++pos;
            skipBlanks();
        }
    }
    return elements;
}

bool StaysInsideFolder(std::wstring_view path)
{
    if (path.empty() || path.front() == L'\\' || path.front() == L'/') return false;
    if (path.find_first_of(L":\"<>|?*") != std::wstring_view::npos) return false;
    if (std::any_of(path.begin(), path.end(), [](wchar_t c) { return c < L' '; })) return false;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) end = path.size();
        if (IsDotsName(path.substr(start, end - start))) return false;
        start = end + 1;
    }
    return true;
}

std::wstring PluginConfigCommandLine(const TDataStruct& entry)
{
    std::vector<std::wstring> elements = SplitCommaText(entry.ConfigCommand);
    if (elements.empty()) return L"";
    if (!StaysInsideFolder(elements.front()))
        throw AppError(L"The configuration program \"" + elements.front() + L"\" of the plug-in " + entry.FullPath +
                       L" is not inside the plug-in's folder " + entry.Folder + L". It has not been started.");
    std::wstring line = QuoteProgramPath(IncludeTrailingBackslash(entry.Folder) + elements.front(),
                                         L"The configuration program of the plug-in " + entry.FullPath);
    const std::wstring infFile = Quoted(entry.FullPath);
    for (size_t i = 1; i < elements.size(); ++i) {
        // Blanks or quotes come only from an element the INF quoted: it is one argument.
        if (!elements[i].empty() && QuoteArgument(elements[i]) != elements[i])
            line += L" " + QuoteArgument(ReplaceAllText(elements[i], L"@PluginFile@", entry.FullPath), true);
        else
            line += L" " + ReplaceAllText(elements[i], L"@PluginFile@", infFile);
    }
    return line;
}

std::wstring TextEditorCommandLine(const std::wstring& editor, const std::wstring& infPath)
{
    return QuoteProgramPath(editor.empty() ? L"notepad.exe" : editor, L"The text editor") + L" " + Quoted(infPath);
}

bool IsHelpDocumentName(std::wstring_view name)
{
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || name.find_first_of(L"\\/", dot) != std::wstring_view::npos) return false;
    static const std::array<std::wstring_view, 15> kDocuments = {
        L"txt", L"htm", L"html", L"mht", L"mhtml", L"chm", L"hlp", L"pdf",
        L"rtf", L"doc", L"docx", L"wri", L"xps", L"odt", L"md"};
    const std::wstring_view extension = name.substr(dot + 1);
    return std::any_of(kDocuments.begin(), kDocuments.end(),
                       [&](std::wstring_view known) { return SameText(extension, known); });
}

std::wstring HelpFileToOpen(const TDataStruct& entry)
{
    const std::wstring folder = IncludeTrailingBackslash(entry.Folder);
    const std::wstring_view help = entry.HelpFile;
    const std::wstring_view inside = StartsWithText(help, folder) ? help.substr(folder.size()) : std::wstring_view();
    if (!StaysInsideFolder(inside))
        throw AppError(L"The help file " + entry.HelpFile + L" of the plug-in " + entry.FullPath +
                       L" is not inside the plug-in's folder. It has not been opened.");
    if (!IsHelpDocumentName(inside))
        throw AppError(L"The help file " + entry.HelpFile + L" of the plug-in " + entry.FullPath +
                       L" is no document (a program or script is never opened as help). It has not been opened.");
    return Quoted(entry.HelpFile);
}
