// Presets that travel between installations: a stored preset written to a preset file
// (pebuilder/PresetFile.h), and a preset file read and stored in a profile.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Settings.h"
#include "pebuilder/InputSettings.h"
#include "pebuilder/PresetFile.h"

// The preset as a file carries it: the plug-ins of the settings' installation that its
// keys enable, and its own settings when it has them, the values it stores, with the
// paths in the PE Builder folder made portable. AppError when there is no such preset.
PortablePreset PortablePresetOf(const TCurrentSettings& settings, const std::wstring& presetName);
// Writes the preset's file, replaced at once; AppError names the preset or the file.
void ExportPreset(const TCurrentSettings& settings, const std::wstring& presetName, const std::wstring& file);

// A file that is not a preset file, is a later version's, or is damaged: the message,
// from the string table, names the file (and the line at fault).
class PresetFileRefused : public AppError {
public:
    PresetFileRefused(const std::wstring& file, const ParsedPresetFile& parsed);
    PresetFileProblem problem;
};
// The file's preset; AppError when it cannot be read, PresetFileRefused as above.
PortablePreset ReadPresetFile(const std::wstring& file);

// What importing a preset into the settings' profile stores.
struct ImportPlan {
    std::wstring name;                                   // the file's, unless renamed
    std::vector<std::wstring> keys;                      // the plug-ins found here
    std::vector<PortablePlugin> missing;                 // the file's plug-ins not here
    std::optional<std::vector<InputWrite>> ownSettings;  // with local paths

    // Nothing would be stored: no plug-in found and no settings of its own.
    bool Empty() const { return keys.empty() && !ownSettings; }
};
ImportPlan PlanImport(const TCurrentSettings& settings, const PortablePreset& preset);

// Whether the name can be the imported preset's: the preset names' rules, and no
// preset of that name (without regard to case) in the profile.
enum class ImportNameCheck { Ok, Invalid, Taken };
ImportNameCheck CheckImportName(const TCurrentSettings& settings, const std::wstring& name);

// Stores the plan under plan.name, whole or not at all; a name taken meanwhile is
// refused with AppError and nothing changes.
void StoreImport(const TCurrentSettings& settings, const ImportPlan& plan);

