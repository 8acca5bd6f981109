// Presets in the settings store: saving one from the editor's ticks or from its applied
// selection, keeping the preset's own PE Builder settings under a new name, deleting,
// and the transient keys the editor uses, which lie where no profile or preset can be.
// Other running instances may save at the same moment and any may be killed: each
// change is made whole under the settings lock (core/SettingsLock.h).
#pragma once

#include <string>
#include <vector>

#include "core/Registry.h"
#include "core/Settings.h"
#include "core/SettingsLock.h"
#include "pebuilder/InputSettings.h"

// The editor's Apply: the selection at that moment, as a preset's plug-in values, in
// this process's own transient key, so that no other instance takes or erases it.
std::wstring AppliedSelectionKey();

// The names of the profile's presets, sorted as the user reads them (the user's
// collation, without regard to case); none while the profile has no Preset key. A
// preset another instance is still writing is not listed yet.
std::vector<std::wstring> ListPresetNames(const TCurrentSettings& settings);

// Writes the values "001", "002", ... of key, one per plug-in key, in order; nothing
// (and no key) for an empty list.
void WritePluginValues(const std::wstring& key, const std::vector<std::wstring>& pluginKeys);

// Replaces the applied selection with these plug-in keys. When a write fails, no
// applied selection is left (rather than part of one) and the error is raised.
void WriteAppliedSelection(const std::vector<std::wstring>& pluginKeys);

// Stores the preset newName with these plug-in values, in place of the preset oldName
// (empty when adding), whose own PE Builder settings it keeps; a name that differs
// only in letter case renames the key. A preset with no values and no settings of its
// own is no key. Under the lock, newName is checked again: when it names another
// preset (made meanwhile by another instance), nothing changes and the error says the
// name exists. The new content is staged complete outside the presets and put in place
// by a journalled step that a kill cannot leave half done; a failure before that step
// leaves the preset as it was. The applied selection is removed afterwards.
void SavePreset(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName,
                const std::vector<std::wstring>& pluginKeys);
// The same with the applied selection's values (none when nothing was applied).
void SaveAppliedSelection(const TCurrentSettings& settings, const std::wstring& oldName, const std::wstring& newName);

// Stores a new preset name with these plug-in values and, when ownSettings is given,
// these settings of its own (texts as strings, numbers as DWORD), whole or not at all,
// as SavePreset stores one: a name taken meanwhile is refused and nothing changes.
void StoreNewPreset(const TCurrentSettings& settings, const std::wstring& name,
                    const std::vector<std::wstring>& pluginKeys, const std::vector<InputWrite>* ownSettings);

// Erases the preset's key with its own settings, whole; an empty name does nothing.
void DeletePreset(const TCurrentSettings& settings, const std::wstring& name);

// Clears what this process's last editor and instances that have ended left behind:
// their saves are finished, their applied selections and staged content go; what
// running instances hold is left alone. Also undoes a save of earlier versions, which
// kept one shared transient key, and removes the applied selection they kept among the
// profiles (Profiles\Temp), but only when it is unmistakably one: plug-in values and
// nothing else, never a profile named Temp.
void CleanUpTransientKeys();

// Plugin_Builder.ini [System] SourcePath := the "source" of the entry selected in the
// main list: the preset's own settings when it has them, else input.inf. Only when
// Plugin_Builder.ini exists.
void WritePluginBuilderSourcePath(const TCurrentSettings& settings, int selectedIndex,
                                  const std::wstring& selectedName);
