// Steps that the build and the ISO run share: the preset's own settings, the install
// source, the custom toggles, the two-part messages and the runs of PE Builder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/StringTable.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/RunInputs.h"
#include "pebuilder/RunOutcome.h"
#include "pebuilder/RunWatch.h"

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

// Runs PE Builder with params. With a watch it is waited for and followed; without
// one it is waited for when wait is set. Answers its exit code (0 when not waited
// for). When it cannot be started, RunFailure (PEBuilderFailed) names the command line.
uint32_t RunPEBuilder(const std::wstring& folder, const std::wstring& params, bool wait, RunWatch* watch);

// The lines of PE Builder's log; nothing when it cannot be read (missing, locked).
std::optional<std::vector<std::wstring>> ReadPEBuilderLog(const std::wstring& folder);

// Whether a run of PE Builder that was waited for succeeded: exit code 0, and a log
// whose last line shows no failure.
bool PEBuilderSucceeded(const std::wstring& folder, uint32_t exitCode);
