// Unattended builds: a preset, or the last-build entry, of a profile built from the
// command line with no window (the switches are in app/CommandLine.h).
#pragma once

#include <string>
#include <vector>

// The whole run, from the arguments to the final line; answers the exit code. Lines
// go to the console; messages the main window would show as boxes reach it too when
// the caller has put a ConsolePrompt in place of the message boxes.
int RunUnattendedBuild(const std::vector<std::wstring>& arguments);
