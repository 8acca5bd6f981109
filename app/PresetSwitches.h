// The preset file switches /export and /import (app/PresetSwitchArgs.h): run with no
// window, every message a line on the console.
#pragma once

#include <string>
#include <vector>

// True when the command line has /export or /import.
bool HasPresetSwitches(const std::vector<std::wstring>& arguments);
// Runs them, with the settings store already in the profile layout and the console in
// place of message boxes, and answers the exit code.
int RunPresetSwitches(const std::vector<std::wstring>& arguments);
