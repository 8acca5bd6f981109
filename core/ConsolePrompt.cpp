// Messages of a run with no window, on the console.
#include "core/ConsolePrompt.h"

#include "core/Console.h"
#include "core/StringTable.h"
#include "core/Text.h"

namespace {

// Two-part messages join their texts with CR LF: each becomes a line of its own.
void Lines(const std::wstring& caption, const std::wstring& text)
{
    std::vector<std::wstring> lines = SplitLines(text);
    ConsoleNote(caption + L": " + (lines.empty() ? L"" : lines.front()));
    for (size_t i = 1; i < lines.size(); ++i) ConsoleNote(L"  " + lines[i]);
}

}  // namespace

void ConsoleNote(const std::wstring& text) { ConsoleLine(L"Kitwright: " + text); }

void ConsolePrompt::Error(const std::wstring& text) { Lines(Str(RS_100), text); }

bool ConsolePrompt::Ask(const std::wstring&, const std::wstring&) { return true; }

void ConsolePrompt::Inform(const std::wstring& text, const std::wstring& caption) { Lines(caption, text); }
