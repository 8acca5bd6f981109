// The ISO command: a bootable image of the build output, made by PE Builder itself or
// by the external program of the profile's command template.
#pragma once

#include <string>

#include "core/Settings.h"
#include "pebuilder/RunInputs.h"
#include "pebuilder/RunOutcome.h"
#include "pebuilder/RunWatch.h"

class UserPrompt;

// The template expanded with the values of input.inf, the settings' PE Builder folder
// and this program's own folder.
std::wstring ExpandIsoTemplate(const TCurrentSettings& settings, const std::wstring& templ,
                               const std::wstring& inputInfPath);

// senderPresent: the user started the run, so it asks first and honours
// UseExtProgram_ISO; the build passes false and always gets the external program.
// Failures to write a file throw AppError; a program that cannot be started throws
// RunFailure (IsoFailed). With a watch, the program that makes the image is waited
// for and judged (see RunWatch), so the outcome is never Started.
RunOutcome ISO_PEBuilderExecute(const TCurrentSettings& settings, bool senderPresent, const RunInputs& inputs,
                                UserPrompt& prompt, RunWatch* watch = nullptr);
