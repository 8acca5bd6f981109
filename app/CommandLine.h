// The command line's switches: "-word" or "/word", compared without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// True when an argument other than the program's own path (arguments[0]) is the
// switch: "-" or "/" followed by exactly word. "-Install" is not the switch "I".
bool FindCmdLineSwitch(const std::vector<std::wstring>& arguments, std::wstring_view word);
