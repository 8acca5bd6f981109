// PE Builder's settings file "input.inf", section [input]: the keys each PE Builder
// version class knows, the effective output folder, the copy of a preset's own
// settings into the file and the custom-build toggles.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Ini.h"
#include "core/Settings.h"

inline const std::wstring kInputSection = L"input";

// The PE Builder settings of a list entry as a reader sees them: [input] of input.inf,
// or a preset's own copy of them (its registry key), behind one interface so that the
// rules below serve both.
class InputValues {
public:
    virtual ~InputValues() = default;
    // A missing value gives def.
    virtual std::wstring ReadString(std::wstring_view key, std::wstring_view def) const = 0;
    virtual int32_t ReadInteger(std::wstring_view key, int32_t def) const = 0;
};

// [input] of a document in memory.
class InputSection : public InputValues {
public:
    explicit InputSection(const IniDocument& inf) : inf_(inf) {}
    std::wstring ReadString(std::wstring_view key, std::wstring_view def) const override;
    int32_t ReadInteger(std::wstring_view key, int32_t def) const override;

private:
    const IniDocument& inf_;
};

// A folder value of [input] as the program reads it: one trailing backslash removed
// first, so that blanks before it go too, then trimmed.
std::wstring InputFolderValue(const InputValues& values, std::wstring_view key, std::wstring_view def = {});
std::wstring InputFolderValue(const IniDocument& inf, std::wstring_view key, std::wstring_view def = {});

// PEB_VER: 0 for PE Builder 3.0.32 or earlier, 1 for 3.0.33, 2 for 3.0.34, 3 for
// 3.0.35 or later. Each class knows every key of the lower ones.
int VersionClassOf(int pebVer);  // a stored value above 3 counts as 3, below 0 as 0

enum class InputValueType { String, Integer };

struct InputKey {
    const wchar_t* name;
    InputValueType type;
    int versionClass;  // the lowest class whose PE Builder reads the key
    bool inPreset;     // kept in a preset's own settings (all but whattodo)
    bool isPath = false;  // a folder or file, which may lie in the PE Builder folder
};

// Every key of [input] the program writes, in the order of a preset copy by a build.
const std::vector<InputKey>& InputKeys();

// A build copies the keys in table order; the ISO run writes blankcdrw before
// device. The order only decides where keys new to the file land.
enum class CopyOrder { Build, IsoRun };
std::vector<InputKey> PresetSettingKeys(int versionClass, CopyOrder order);

// The build output folder as a full path, from [input] of inf (see the definition).
std::wstring EffectiveOutDir(const InputValues& values, const std::wstring& peBuilderFolder, int versionClass);
std::wstring EffectiveOutDir(const IniDocument& inf, const std::wstring& peBuilderFolder, int versionClass);

// The toggle cells of the main window's grid per class: 0 build, ISO; 1 registry,
// files, ISO; 2 and 3 registry, files, ISO, CD.
size_t ToggleColumnCount(int versionClass);
struct ToggleWrite {
    std::wstring key;
    int value;
};
// The [input] values the toggles set, in writing order; the build column of class 0
// is written nowhere. Fewer cells than the class has throws AppError.
std::vector<ToggleWrite> CustomToggleWrites(int versionClass, const std::vector<int>& cells);

// ---- On the file, with the settings' PEBuilder folder and PEB_VER ----

// A missing or unreadable file reads as empty.
std::wstring EffectiveOutDir(const TCurrentSettings& settings, const std::wstring& infPath);

// Copies the preset's own settings (its registry key "...\PEBuilder") into [input]
// of the file, the keys of the current class only, and writes the file once. A
// missing outdir value becomes outdirDefault, a missing fulloutdir the PE Builder
// folder; other missing strings are empty and missing integers 0.
void CopyPresetSettingsToInputInf(const TCurrentSettings& settings, const std::wstring& settingsKey,
                                  const std::wstring& infPath, const std::wstring& outdirDefault,
                                  CopyOrder order = CopyOrder::Build);

// Writes the custom-build toggles into [input] of the file, written once.
void WriteCustomToggles(const TCurrentSettings& settings, const std::wstring& infPath, const std::vector<int>& toggles);
