// The build's decisions that depend on no system: whether the custom toggles leave PE
// Builder anything to build, whether its log lets the ISO image follow, and the
// toggles' names on the command line.
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

// The names of the custom toggles' columns for a version class, as the command line
// takes them: class 0 "build", "iso"; class 1 "registry", "files", "iso"; classes 2 and
// 3 (and above) "registry", "files", "iso", "cd".
std::vector<std::wstring> ToggleNames(int versionClass);

// Every column of the class on except those named in skipped (without regard to case).
struct NamedToggles {
    std::vector<int> cells;
    std::wstring unknown;  // the first name that is no column of the class; empty when none
};
NamedToggles TogglesSkipping(int versionClass, const std::vector<std::wstring>& skipped);
