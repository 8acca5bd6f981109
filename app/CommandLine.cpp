// The command line's switches.
#include "app/CommandLine.h"

#include "core/Text.h"

bool FindCmdLineSwitch(const std::vector<std::wstring>& arguments, std::wstring_view word)
{
    for (size_t i = 1; i < arguments.size(); ++i) {
        std::wstring_view argument = arguments[i];
        if (!argument.empty() && (argument[0] == L'-' || argument[0] == L'/') && SameText(argument.substr(1), word))
            return true;
    }
    return false;
}
