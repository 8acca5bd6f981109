// The console of the command-line switches: the program stays a GUI program, and its
// lines go to the console it was started from, or to where its output is redirected.
#pragma once

#include <string_view>

// Writes one line to the console the program was started from (attaching to the
// parent's console on first use); with no console and no redirected output, nothing.
void ConsoleLine(std::wstring_view line);
