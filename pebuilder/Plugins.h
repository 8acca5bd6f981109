// The plug-in catalogue of a PE Builder installation and the switching of its
// plug-ins to match a preset.
#pragma once

#include <string>
#include <vector>

#include "core/ListItems.h"
#include "core/Settings.h"
#include "pebuilder/PluginEntry.h"

// Appends one entry per plug-in INF file in and below folder, depth first in the
// order the file system lists names. Names beginning with "." and entries with the
// system or volume-label attribute are skipped; a missing folder adds nothing.
// Answers the INF files that could not be read (too large or locked to be a plug-in
// file), which are not in the list.
std::vector<std::wstring> ScanPluginFolder(const std::wstring& folder, StringList& list);

// The preset's plug-in keys, sorted without regard to case (see PresetHasKey).
std::vector<std::wstring> LoadPresetPluginKeys(const TCurrentSettings& settings, const std::wstring& presetName);

// Rewrites the Enable line of one INF file, and only when that changes its bytes.
// A file that cannot be read or replaced throws AppError naming it.
void SetPluginEnable(const std::wstring& infPath, bool enabled);

// Switches every plug-in of the settings' PE Builder folder on when the preset holds
// its key, off otherwise. Every file that needs a change is checked first: when one
// cannot be written, or an INF file cannot be read, AppError names it and no file has
// been changed. Each file is replaced at once; files already right are not written.
// Staged files that an interrupted switch left in the plug-in folders are removed.
void ApplyPresetToPlugins(const TCurrentSettings& settings, const std::wstring& presetName);
