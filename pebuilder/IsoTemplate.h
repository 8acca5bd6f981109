// The command template of the external ISO program: @placeholders@ expanded from
// input.inf and three folders, each value kept within the argument it stands in.
#pragma once

#include <string>
#include <string_view>

class IniDocument;

// The values that do not come from input.inf's [input] section.
struct IsoTemplateFolders {
    std::wstring PEBuilder;  // the PE Builder folder, without trailing backslash
    std::wstring Kitwright;  // the folder of the program's own executable
    std::wstring OutDir;     // the effective output folder
};

// The longest command line CreateProcess takes: 32,767 characters with its final zero.
constexpr size_t kMaxCommandLineLength = 32766;

// Replaces the thirteen placeholders one after another, every occurrence, without
// regard to case. A value that itself holds a later placeholder is expanded too,
// because each replacement runs over the text the earlier ones left. The template is
// taken as a command line split into arguments (SplitCommandLine); an argument that
// held a placeholder is written again for the split (QuoteArgument; quoted when the
// template quoted it), so that each value stays within its argument, and the program
// path keeps plain double quotes (AppError when its value holds one). Other text is
// kept as written; an unquoted argument that expands to nothing is left out. A step that
// would grow the text past kMaxCommandLineLength, or a result longer than that,
// throws AppError before the text is built.
std::wstring ExpandIsoTemplate(std::wstring_view templ, const IniDocument& inputInf, const IsoTemplateFolders& folders);
