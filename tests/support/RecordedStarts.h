// The starts that the recorder (tests/support/child/Recorder.cpp) writes down: while
// the object lives, KW_RECORD names a scratch file of its own, which every program
// started from this process inherits.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

struct RecordedStart {
    std::wstring program;  // the recorder's file name: "explorer.exe", "winhlp32.exe", ...
    std::wstring given;    // its arguments, or the help request it received

    bool operator==(const RecordedStart&) const = default;
    // The arguments a recorder started with KW_RECORD_ARGV received (see RecordedStarts).
    std::vector<std::wstring> Argv() const;
};

void PrintTo(const RecordedStart& start, std::ostream* os);

class RecordedStarts {
public:
    // argv: the recorders write down their arguments as the C runtime split them.
    explicit RecordedStarts(bool argv = false);
    ~RecordedStarts();
    RecordedStarts(const RecordedStarts&) = delete;
    RecordedStarts& operator=(const RecordedStarts&) = delete;

    // What has been recorded so far, in the order written.
    std::vector<RecordedStart> Now() const;
    // Waits until at least count starts are recorded, or the time is up; then Now().
    std::vector<RecordedStart> WaitFor(size_t count, DWORD timeoutMs = 15000) const;

private:
    ScratchFolder folder_;
    std::wstring path_;
};
