// Where the PE Builder settings of a preset-list entry are read: the selected preset's
// own copy (its registry subkey "PEBuilder") when it has one, otherwise [input] of PE
// Builder's input.inf. The folder commands, the build toggles of the main window and
// the preset commands all follow this one rule.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/Settings.h"
#include "pebuilder/InputInf.h"

class SettingsSource : public InputValues {
public:
    // selectedIndex 0 is the last-build entry, which always reads input.inf; so do no
    // selection and a preset without settings of its own.
    SettingsSource(const TCurrentSettings& settings, int selectedIndex, const std::wstring& selectedText);

    bool IsPresetKey() const { return !key_.empty(); }
    // The preset's "...\Preset\<name>\PEBuilder" key; empty when the file is read.
    const std::wstring& RegistryKey() const { return key_; }
    // PE Builder folder + "\input.inf", the source whenever there is no preset key. Only
    // read, so an unset folder is no error here, as it is for the paths the program writes.
    const std::wstring& InputInfPath() const { return inputInf_; }

    // Each read asks the registry or parses the file afresh, as the settings store and
    // the INI routines do; a missing file, key or value gives def. A registry value of
    // the wrong type throws AppError naming it.
    std::wstring ReadString(std::wstring_view name, std::wstring_view def = {}) const override;
    int32_t ReadInteger(std::wstring_view name, int32_t def = 0) const override;
    // The named integers (0 when missing) in one read: the file is parsed once for all.
    std::vector<int32_t> ReadIntegers(std::initializer_list<const wchar_t*> names) const;

private:
    std::wstring key_;
    std::wstring inputInf_;
};
