// PE Builder's build settings as the PE Builder settings dialog edits them: the fields
// it shows, read from [input] of input.inf or from a preset's own settings, the check
// its OK runs, and the values it writes back, by version class. Free of windows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/SettingsKeys.h"
#include "core/StringTable.h"

// The dialog's controls, as texts and ticks.
struct InputSettingsFields {
    std::wstring source;             // EE01
    std::wstring outdir;             // EE02, relative to the PE Builder folder unless absoluteOutput
    std::wstring isoFolder;          // EE03
    std::wstring isoName;            // ED01
    std::wstring customdir;          // EE04, may be blank
    bool absoluteOutput = true;      // RB1 (RB2 when false)
    bool buildiso = false;           // CHB01
    bool verbose = false;            // CHB02
    bool skipfiles = false;          // CHB04
    bool skipregistry = false;       // CHB05
    bool burncd = false;             // CHB06
    bool blankcdrw = false;          // CHB07
    bool ISOduplicatesonce = false;  // CHB08
    std::wstring volumeid;           // ED02
    std::wstring device;             // the remembered recorder address, chosen in CB01
};

// Where values are read from: [input] of the file or the preset's registry key. A
// missing text reads as def and a missing number as 0.
struct InputValueSource {
    std::function<std::wstring(const wchar_t* name, const std::wstring& def)> text;
    std::function<int32_t(const wchar_t* name)> integer;
};

// The fields of a version class; keys above the class stay unread and their fields at
// the dialog's start state. Class 0 shows the output folder as absolute, the others as
// relative unless class 3 stores useAbsoluteOutput = 1.
InputSettingsFields LoadInputSettings(const InputValueSource& source, int versionClass);

// The text of Label2: the built-in pattern without a language file, [Form05] RS_003
// and RS_014 with one. The relative choice names the base of the path.
struct OutputLabelTexts {
    bool languageFile = false;
    std::wstring pattern;   // [Form05] RS_003
    std::wstring relative;  // [Form05] RS_014
};
std::wstring OutputLabelText(bool absoluteOutput, const OutputLabelTexts& texts);
// pattern with its first "%s" replaced by value and "%%" read as "%"; nothing else in
// it is taken as a format, so a language file cannot make it read what is not there.
std::wstring FormatText(const std::wstring& pattern, const std::wstring& value);

// The output path switched between its two forms (RB1 and RB2), both without a
// trailing backslash.
std::wstring OutputToAbsolute(const std::wstring& peBuilder, const std::wstring& relative);
std::wstring OutputToRelative(const std::wstring& peBuilder, const std::wstring& absolute);
// The folder the browser starts at for the output path, and what a chosen folder
// becomes in the field.
std::wstring OutputBrowseStart(const std::wstring& peBuilder, const std::wstring& text, bool absoluteOutput);
std::wstring OutputBrowseResult(const std::wstring& peBuilder, const std::wstring& chosen, bool absoluteOutput);

// The OK check, in the dialog's order: the first field at fault and its message.
enum class InputField { None, Source, OutDir, IsoFolder, IsoName, CustomDir };
struct InputCheck {
    InputField field = InputField::None;
    StringId message = RS_100;
};
using FolderTest = std::function<bool(const std::wstring& path)>;
// An empty output path fails too: it would make PE Builder build into its own folder
// (relative) or into the current folder (absolute).
InputCheck CheckInputSettings(const InputSettingsFields& fields, const std::wstring& peBuilder,
                              const FolderTest& folderExists);

// One value to write: a text, or a flag or number.
struct InputWrite {
    std::wstring key;
    std::wstring text;
    std::optional<int32_t> number;

    bool operator==(const InputWrite&) const = default;
};

// The values OK writes, in order, for the version class. deviceAddress is the Address
// of the drive selected in CB01, or nothing when no drive is selected (then burning is
// off and the volume ID empty).
std::vector<InputWrite> InputSettingsWrites(const InputSettingsFields& fields, int versionClass,
                                            const std::optional<std::wstring>& deviceAddress);

// ---- In input.inf and the settings store ----

struct TCurrentSettings;

// Whether the preset has its own settings (PresetSettingsKey, core/SettingsKeys.h).
bool PresetHasOwnSettings(const TCurrentSettings& settings, const std::wstring& presetName);

// A missing or unreadable file reads as empty.
InputSettingsFields LoadInputSettingsFromFile(const std::wstring& infPath, int versionClass);
InputSettingsFields LoadInputSettingsFromRegistry(const std::wstring& key, int versionClass);

// All values into [input] in one rewrite of the file; a file that cannot be read or
// written throws AppError naming it, and is left as it was.
void SaveInputSettingsToFile(const std::wstring& infPath, const std::vector<InputWrite>& writes);
// Texts as strings, flags as DWORD 0 or 1, into the preset's settings key, created when
// missing; other values of the key are kept. All or nothing: the new content is staged
// whole and put in place in one step under the settings lock. A preset that no longer
// exists throws AppError, and nothing is written.
void SaveInputSettingsToRegistry(const std::wstring& key, const std::vector<InputWrite>& writes);
// Removes the preset's own settings, under the settings lock.
void ErasePresetSettings(const std::wstring& key);
