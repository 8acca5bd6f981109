// Steps that the build and the ISO run share: the preset's own settings, the install
// source, the custom toggles and the two-part messages.
#pragma once

#include <string>
#include <vector>

#include "core/StringTable.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/RunInputs.h"

// Two texts of the string table joined by CR LF.
std::wstring TwoPartMessage(StringId first, StringId second);

// When the selection is a preset with its own PE Builder settings, copies them into
// input.inf, with defaultOutDir for a missing outdir.
void CopySelectedPresetSettings(const TCurrentSettings& settings, const RunInputs& inputs, const std::wstring& inputInf,
                                const std::wstring& defaultOutDir, CopyOrder order);

// [input] source: one trailing backslash removed, then trimmed.
std::wstring SourceFolderOf(const IniDocument& inputInf);

// The custom toggles of the version class written into [input] of the document.
void ApplyCustomToggles(IniDocument& inputInf, int versionClass, const std::vector<int>& toggles);
