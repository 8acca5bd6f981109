// The build's two decisions that depend on no system: whether the custom toggles
// leave PE Builder anything to build, and whether its log lets the ISO image follow.
#pragma once

#include <string>
#include <vector>

// True when the custom toggles leave PE Builder nothing to build: class 0 by its build
// column, the other classes when the registry and the files columns are both off.
// A missing cell counts as off.
bool SkipsBuild(int versionClass, const std::vector<int>& toggles);

// True when PE Builder's log has a line and its last line holds neither
// "Terminated by user..." nor "[<<]" (exact, case-sensitive).
bool LogShowsSuccess(const std::vector<std::wstring>& logLines);
