// The preset file switches /export and /import (app/PresetSwitchArgs.h): run with no
// window, every message a line on the console.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Nothing when the command line has neither switch; else runs it and answers the exit
// code. The settings store is brought into the profile layout first, as at a start.
std::optional<int> RunPresetSwitches(const std::vector<std::wstring>& arguments);
