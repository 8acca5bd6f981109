// Command lines of the text editor and of a plug-in's configuration program.
#include "pebuilder/PluginTools.h"

#include "core/Text.h"

namespace {

bool IsBlank(wchar_t c) { return c >= 1 && c <= L' '; }

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

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

std::wstring PluginConfigCommandLine(const TDataStruct& entry)
{
    std::vector<std::wstring> elements = SplitCommaText(entry.ConfigCommand);
    if (elements.empty()) return L"";
    std::wstring line = Quoted(IncludeTrailingBackslash(entry.Folder) + elements.front());
    const std::wstring infFile = Quoted(entry.FullPath);
    for (size_t i = 1; i < elements.size(); ++i) line += L" " + ReplaceAllText(elements[i], L"@PluginFile@", infFile);
    return line;
}

std::wstring TextEditorCommandLine(const std::wstring& editor, const std::wstring& infPath)
{
    return Quoted(editor.empty() ? L"notepad.exe" : editor) + L" " + Quoted(infPath);
}
