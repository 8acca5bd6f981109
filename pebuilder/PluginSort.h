// The plug-in folder sort: re-creates the plug-in folder's sub-folders in name order,
// so that a FAT volume, which lists entries in creation order, shows them sorted.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Settings.h"

class UserPrompt;

// Moves source (a path or a "\*.*" pattern) into the existing folder target.
using MoveRoutine = std::function<void(const std::wstring& source, const std::wstring& target)>;

// The folders of folder that the sort moves back one by one, in the order it moves
// them: no system attribute, no leading ".", sorted without regard to case.
std::vector<std::wstring> SortableFolders(const std::wstring& folder);

// Moves back what sorts cut short (killed, or ended by a failure) left in their staging
// folders, for every sort whose process has ended; a sort whose process still runs is
// left alone. Answers the staging folders that still hold entries afterwards.
std::vector<std::wstring> ReturnInterruptedSorts(const MoveRoutine& move);

// Asks first; reports completion, or throws AppError when the plug-in folder is missing
// or the staging folder of this run cannot be made (nothing is moved then) or when
// entries are left in it after the moves (the next start moves them back). What
// earlier sorts left is moved back first (ReturnInterruptedSorts).
// move is the shell's move in the program; tests pass one that also records.
void PluginSortClick(const TCurrentSettings& settings, UserPrompt& prompt, const MoveRoutine& move);
void PluginSortClick(const TCurrentSettings& settings, UserPrompt& prompt);
