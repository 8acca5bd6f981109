// A PE Builder installation made up for the plug-in benchmark: its plug-ins, their
// INF files as bytes, the tree on disk, and a preset that switches half of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct PlannedPlugin {
    int index = 0;
    std::wstring name;       // display name; a quarter of them Japanese
    std::wstring subFolder;  // below the plug-in folder, with a trailing backslash
    std::wstring fileName;   // the INF file
    bool enabled = false;    // the Enable value the file is made with
    bool inPreset = false;   // the state the benchmark's preset asks for
};

struct PluginTree {
    std::wstring peBuilder;  // the PE Builder folder; plug-ins lie below its "Plugin"
    std::vector<PlannedPlugin> plugins;

    std::wstring PluginFolder() const { return peBuilder + L"\\Plugin"; }
    std::wstring InfPath(const PlannedPlugin& p) const { return PluginFolder() + L"\\" + p.subFolder + p.fileName; }
    // The plug-in's key as a preset stores it.
    static std::wstring KeyOf(const PlannedPlugin& p) { return p.name + L"::" + p.subFolder; }
    std::vector<std::wstring> PresetKeys() const;  // of the plug-ins the preset holds
    size_t ChangedByPreset() const;
};

// count plug-ins nested two or three folders below peBuilder\Plugin; the same
// count always gives the same plug-ins. Plug-in i starts enabled when i is even, and
// the preset holds it when i % 4 is 0 or 1, so every second file changes.
PluginTree PlanPluginTree(const std::wstring& peBuilder, int count);

// The state the preset asks for, read from an INF file name the plan made (the number
// after its "p"): what the baselines switch to, without holding a list.
std::optional<bool> PresetWants(std::wstring_view fileName);

// The INF file as PE Builder's plug-ins ship it: 1 to 4 KB, CR LF, code page 932.
std::string InfBytes(const PlannedPlugin& p);

// Writes the file in place, as a program that does not care for durability does.
void WriteWholeFile(const std::wstring& path, const std::string& bytes);

// Writes every folder, INF file and help file (the first time), or only the INF
// files (to put the tree back as it was before a run).
void WritePluginTree(const PluginTree& tree, bool infFilesOnly);

// How many INF files do not hold the Enable value the preset asks for; a sanity
// check of every routine the benchmark times.
size_t CountWrongStates(const PluginTree& tree);
