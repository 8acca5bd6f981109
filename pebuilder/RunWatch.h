// How a caller that must know a run's result follows the programs the run starts: an
// unattended build waits for each and echoes what it does; the main window passes none.
#pragma once

#include <cstdint>
#include <string>

#include "core/Process.h"

// Given to a run, it waits for every program it starts, whatever PEB_WAIT says, and
// judges each by its exit code and PE Builder's log; without one, PE Builder is
// waited for as PEB_WAIT says and the external ISO program not at all.
class RunWatch {
public:
    virtual ~RunWatch() = default;
    // PE Builder is about to start: its log as it is now is an earlier run's.
    virtual void PEBuilderStarting() = 0;
    // PE Builder runs: called about four times a second, and once more with ended
    // when it has ended.
    virtual void PEBuilderRunning(bool ended) = 0;
    // How the ISO program is started: where its output goes, whether it has a console.
    virtual ProcessOptions ProgramOptions() const = 0;
    // A program has ended: its command line and its exit code.
    virtual void ProgramEnded(const std::wstring& commandLine, uint32_t exitCode) = 0;
};
