// Presets in the settings store: saving one from the editor's ticks or from its applied
// selection, keeping the preset's own PE Builder settings under a new name, deleting,
// and the transient keys the editor uses, which lie where no profile or preset can be.
#pragma once

#include <string>
#include <vector>

#include "core/Registry.h"
#include "core/Settings.h"

// What exists only while a preset editor is open or a preset is being saved.
inline const std::wstring kTransientKey = kProgramKey + L"\\Transient";
// The editor's Apply: the selection at that moment, as a preset's plug-in values.
inline const std::wstring kAppliedSelectionKey = kTransientKey + L"\\Applied";

// The profile's Preset key: the editor's place and one subkey per preset.
std::wstring PresetsKey(const TCurrentSettings& settings);

// Writes the values "001", "002", ... of key, one per plug-in key, in order; nothing
// (and no key) for an empty list.
void WritePluginValues(const std::wstring& key, const std::vector<std::wstring>& pluginKeys);

// Replaces the applied selection with these plug-in keys. When a write fails, no
// applied selection is left (rather than part of one) and the error is raised.
void WriteAppliedSelection(const std::vector<std::wstring>& pluginKeys);

// Stores the preset newName with these plug-in values, in place of the preset oldName
// (empty when adding), whose own PE Builder settings it keeps; a name that differs
// only in letter case renames the key. A preset with no values and no settings of its
// own is no key. The new content is written complete beside the presets first and put
// in place after; if a step fails, the preset as it was before stays whole and the
// error is raised. The applied selection is removed afterwards.
void SavePreset(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName,
                const std::vector<std::wstring>& pluginKeys);
// The same with the applied selection's values (none when nothing was applied).
void SaveAppliedSelection(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName);

// Erases the preset's key with its own settings; an empty name does nothing.
void DeletePreset(const TCurrentSettings& settings, const std::wstring& name);

// Clears what an editor or a save that ended abnormally left behind: the applied
// selection and half-written content go, and a preset that was set aside while it was
// being replaced goes back to its place. Also removes the applied selection that
// earlier versions kept among the profiles (Profiles\Temp), but only when it is
// unmistakably one: plug-in values and nothing else, never a profile named Temp.
void CleanUpTransientKeys();

// Plugin_Builder.ini [System] SourcePath := the "source" of the entry selected in the
// main list: the preset's own settings when it has them, else input.inf. Only when
// Plugin_Builder.ini exists.
void WritePluginBuilderSourcePath(const TCurrentSettings& settings, int selectedIndex,
                                  const std::wstring& selectedName);
