// Starting other programs.
#pragma once

#include <cstdint>
#include <string>

// Starts the command line as a new process, passing on this program's own start-up
// information, in the current folder, inheriting no handles. With wait, blocks (no
// window messages run) until the process ends and returns its exit code; without it
// returns 0 at once. A process that cannot be started throws AppError naming the
// command line and the system's reason. The program is taken from the start of the
// command line: a path with blanks must be quoted by the caller.
uint32_t RunProgram(const std::wstring& commandLine, bool wait);
