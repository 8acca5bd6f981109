// Other processes: starting them, telling whether one still runs, and the named
// mutexes they share.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/Handles.h"

// Starts the command line as a new process, passing on this program's own start-up
// information, in the current folder, inheriting no handles. With wait, blocks (no
// window messages run) until the process ends and returns its exit code; without it
// returns 0 at once. A process that cannot be started throws AppError naming the
// command line and the system's reason. The program is taken from the start of the
// command line: a path with blanks must be quoted by the caller.
uint32_t RunProgram(const std::wstring& commandLine, bool wait);

struct ProcessOptions {
    std::wstring currentFolder;  // empty: this program's current folder
    // An inheritable file handle that takes the process's standard output and error;
    // the process then gets no console of its own. Null: nothing is redirected.
    HANDLE output = nullptr;
    // Without output: a console program gets no console window of its own
    // (CREATE_NO_WINDOW), for a caller that has no console to share with it.
    bool noConsoleWindow = false;
};

struct ChildProcess {
    KernelHandle process;
    uint32_t id = 0;
};

// Starts the command line as RunProgram does, with the options; AppError when it
// cannot be started.
ChildProcess StartProcess(const std::wstring& commandLine, const ProcessOptions& options = {});
// Waits without a time limit and answers the exit code; AppError names the command line.
uint32_t WaitForProcess(const ChildProcess& child, const std::wstring& commandLine);
// The same, calling poll every pollMs milliseconds while the process runs.
uint32_t WaitForProcess(const ChildProcess& child, const std::wstring& commandLine, const std::function<void()>& poll,
                        uint32_t pollMs = 250);

// A process told apart from any later one that gets its id: the id and the moment it
// started (FILETIME units).
struct ProcessStamp {
    uint32_t id = 0;
    uint64_t started = 0;
};
ProcessStamp CurrentProcessStamp();
// Whether that very process still runs (a stamp whose start is 0: any process with the
// id). One that cannot be looked at, or runs with the id but whose start cannot be
// asked, counts as running: only a process known to have ended lets its leftovers be
// taken over.
bool IsProcessRunning(const ProcessStamp& stamp);

struct CapturedRun {
    uint32_t exitCode = 0;
    std::string output;  // standard output and error together, the first MiB at most
};
// Runs the command line in currentFolder and waits for it, its output going into the
// scratch file outputPath, which is read back and removed. DETACHED_PROCESS rather than
// CREATE_NO_WINDOW: under Wine the latter sends a Unix child's output past the handles.
CapturedRun RunCaptured(const std::wstring& commandLine, const std::wstring& currentFolder,
                        const std::wstring& outputPath);

// The string form ("S-1-5-...") of the user this process runs as; empty when it cannot
// be asked.
std::wstring CurrentUserSid();
// Makes or opens the named mutex, which every process of this user may use, elevated or
// not (an elevated process's default access rules leave out the same user's plain
// processes), and with anyUser every user's. Null on failure, with the last error set.
KernelHandle MakeSharedMutex(const std::wstring& name, bool anyUser);
