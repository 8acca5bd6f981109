// The simulator's work as input.inf's whattodo asks for it: a miniature build output
// and ISO images made by the mkisofs.exe beside the simulator.
#pragma once

#include <string>
#include <vector>

#include "core/Handles.h"
#include "core/Ini.h"

// pebuilder.log: lines in the ANSI code page, each ending in CR LF, written afresh and
// line by line as the run goes, as a reader following the log sees PE Builder's.
class SimLog {
public:
    explicit SimLog(const std::wstring& path);
    void Add(const std::wstring& line);
    // Whether the log could not be made or a line not written.
    bool Failed() const { return failed_; }

private:
    FileHandle file_;
    bool failed_ = false;
};

struct SimTask {
    std::wstring folder;                       // the simulator's own folder
    IniDocument input;                         // input.inf as it was at the start
    std::vector<std::wstring> enabledPlugins;  // INF paths below "Plugin" with Enable=1
};

// whattodo 0 or 2: build (and the ISO image when buildiso is 1); 3: ISO image of the
// output folder; anything else: nothing. Failures throw AppError.
void RunSimTask(const SimTask& task, SimLog& log);
