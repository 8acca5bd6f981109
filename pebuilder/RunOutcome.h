// How a build or an ISO run ended. The main window has shown each message as the run
// went; an unattended build turns the outcome into its exit code.
#pragma once

#include <string>

#include "core/Error.h"

enum class RunOutcome {
    Succeeded,           // every program started was waited for and succeeded
    Started,             // a program was started and not waited for: its result is unknown
    Declined,            // the question was answered No
    CheckFailed,         // a check before any start: output, source, install source, ISO folder, build output
    PluginsNotSwitched,  // a plug-in INF file could not be switched to the preset
    PEBuilderFailed,     // PE Builder did not start, ended with a non-zero code or logged a failure
    IsoFailed,           // the ISO program did not start or ended with a non-zero code
};

// An error that ends a run with an outcome of its own. It is an AppError: the window's
// handler shows its message as it shows any other.
class RunFailure : public AppError {
public:
    RunFailure(RunOutcome outcome, std::wstring message) : AppError(std::move(message)), outcome_(outcome) {}
    RunOutcome Outcome() const noexcept { return outcome_; }

private:
    RunOutcome outcome_;
};
