// The build command: switches the plug-ins to the selected preset, writes input.inf
// and starts PE Builder, then, when the profile says so, makes the ISO image with the
// external program instead of letting PE Builder make it.
#pragma once

#include "core/Settings.h"
#include "pebuilder/RunInputs.h"
#include "pebuilder/RunOutcome.h"
#include "pebuilder/RunWatch.h"

class UserPrompt;

// Checks and questions go through prompt. Failures to start PE Builder or the ISO
// program, or to write a file, throw AppError and end the run; nothing is started
// after one. A plug-in that cannot be switched, and a program that cannot be started,
// throw RunFailure with that outcome. With a watch, every program is waited for and
// judged (see RunWatch), so the outcome is never Started.
RunOutcome Exec_PEBuilderExecute(const TCurrentSettings& settings, const RunInputs& inputs, UserPrompt& prompt,
                                 RunWatch* watch = nullptr);
