// The simulator's work as input.inf's whattodo asks for it: a miniature build output
// and ISO images made by the mkisofs.exe beside the simulator.
#pragma once

#include <string>
#include <vector>

#include "core/Ini.h"

// pebuilder.log: lines in the ANSI code page, each ending in CR LF.
class SimLog {
public:
    void Add(std::wstring line) { lines_.push_back(std::move(line)); }
    void Save(const std::wstring& path) const;

private:
    std::vector<std::wstring> lines_;
};

struct SimTask {
    std::wstring folder;                       // the simulator's own folder
    IniDocument input;                         // input.inf as it was at the start
    std::vector<std::wstring> enabledPlugins;  // INF paths below "Plugin" with Enable=1
};

// whattodo 0 or 2: build (and the ISO image when buildiso is 1); 3: ISO image of the
// output folder; anything else: nothing. Failures throw AppError.
void RunSimTask(const SimTask& task, SimLog& log);
