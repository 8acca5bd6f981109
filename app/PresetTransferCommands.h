// The main window's preset file commands: export the selected preset to a preset file
// and import a preset file into the current profile.
#pragma once

#include <functional>
#include <string>

#include "core/Messages.h"
#include "core/Settings.h"
#include "dialogs/MainFormView.h"

// Asks the save dialog for a file and writes the selected preset to it. Needs a preset
// selected (an index above 0); otherwise does nothing.
void Export_PresetExecute(MainFormView& main, const TCurrentSettings& settings);
// Asks the open dialog for a file and imports it (ImportPresetFile).
void Import_PresetExecute(MainFormView& main, const TCurrentSettings& settings);

// Asks for a name: shows the prompt with name in its box; false when the user cancels.
using NameAsker = std::function<bool(const std::wstring& prompt, std::wstring& name)>;

// Imports the preset file into the settings' profile. A file that is not a preset file
// or is damaged raises the error that names it, and nothing is written. Plug-ins the
// installation does not have are listed in one question: import the rest, or nothing.
// While the name is taken or cannot be a preset's, askName is asked for another, with
// the reason in its prompt. The list is then refilled with the new preset selected.
// True when a preset was stored.
bool ImportPresetFile(MainFormView& main, const TCurrentSettings& settings, const std::wstring& file,
                      UserPrompt& prompt, const NameAsker& askName);
