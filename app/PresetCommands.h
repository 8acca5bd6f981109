// The main window's preset commands: add and edit a preset in the preset editor and
// store what it returns, and delete a preset after asking.
#pragma once

#include "core/Settings.h"
#include "dialogs/MainFormView.h"

void Add_PresetExecute(MainFormView& main, const TCurrentSettings& settings);
// Both need a preset selected in the main list (an index above 0); otherwise they do nothing.
void Edit_PresetExecute(MainFormView& main, const TCurrentSettings& settings);
void Delete_PresetExecute(MainFormView& main, const TCurrentSettings& settings);

// Opens the editor on a new preset, or on the preset selected in the main list. On OK
// the ticks are stored under the name in the editor; after Cancel, the selection of the
// last Apply under the name that Apply checked. The preset's own PE Builder settings
// follow it to its new name. The main list is then refilled with the stored preset
// selected. Errors are raised; the editor and its catalogue are freed in every case.
void OpenPresetEditor(MainFormView& main, const TCurrentSettings& settings, bool editExisting);
