// The console of the command-line switches: the one place that writes to it. The
// program stays a GUI program; a line goes to the console it was started from, or to
// its redirected standard output, or nowhere.
#pragma once

#include <string_view>

// Writes one line to the console the program was started from (attaching to the
// parent's console on first use); with no console and no redirected output, nothing.
// On a console the line is written as UTF-16 (WriteConsoleW); redirected output (a
// file or a pipe) gets UTF-8 without a byte-order mark. Each line ends in CR LF.
void ConsoleLine(std::wstring_view line);

// Where a console program started on the reader's behalf (the ISO program of an
// unattended build) writes, so that its output follows the lines written here.
struct ConsoleSharing {
    void* output = nullptr;  // the redirected output as an inheritable handle, or null
    bool console = false;    // a console to share: the child inherits it
};
ConsoleSharing ConsoleForChildren();
