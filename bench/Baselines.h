// What switching the plug-ins costs at the least, in plain Win32 calls: the yardsticks
// the plug-in benchmark sets the program's own routines against. Each walks the plug-in
// folder as the catalogue does and switches the Enable line the generated files hold.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The Enable state a preset asks for, from the INF file's name; nothing for a file
// the preset does not know.
using WantedState = std::optional<bool> (*)(std::wstring_view fileName);

enum class Baseline {
    Plain,    // read every INF once and write it back in place
    Atomic,   // read every INF; a changed one goes to a file beside it, renamed over it
    Durable,  // as Atomic, each new file flushed to the disk before the rename
    ReadOnly  // read every INF and change nothing
};

// Runs one baseline over the INF files below pluginFolder; answers the files written.
size_t RunBaseline(Baseline baseline, const std::wstring& pluginFolder, WantedState wanted);
