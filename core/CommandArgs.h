// Command lines as the C runtime splits them into arguments, and arguments written so
// that the split gives them back unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One argument of a command line: where its text lies and the value the split makes of it.
struct CommandLinePart {
    size_t begin = 0, end = 0;  // the text [begin, end) of the command line
    std::wstring value;
};

// The program name and the arguments as a program built with the C runtime receives
// them. Arguments end at a blank or tab outside double quotes; a quote opens or closes
// a quoted stretch; 2n backslashes before a quote stand for n backslashes, 2n+1 for n
// and a quote of the text; "" inside a quoted stretch is one quote of the text;
// backslashes elsewhere are themselves. The program name knows no backslash rule:
// quotes only open and close.
std::vector<CommandLinePart> SplitCommandLine(std::wstring_view commandLine);

// The argument written for that split: as it is when it is not empty and holds no
// blank, tab, line break or double quote (and force is false), else in double quotes
// with every quote escaped by a backslash and the backslashes before a quote or
// before the closing quote doubled.
std::wstring QuoteArgument(std::wstring_view argument, bool force = false);

// A program's path in double quotes, as the start of a command line. A double quote
// cannot be part of a file name and would end the path early, so that the rest became
// arguments: AppError naming what the path is (what) and the path.
std::wstring QuoteProgramPath(std::wstring_view path, const std::wstring& what);
