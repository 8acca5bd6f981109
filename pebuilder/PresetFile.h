// A preset as it travels between installations, and the small UTF-8 text file that
// carries it: its plug-ins by INF path below the plug-in folder and display name, and
// its own PE Builder settings when it has them. Free of windows and of the file system.
//
// The file, with CR LF line ends (LF alone is read too) and a UTF-8 byte-order mark
// (optional when read):
//
//   [Kitwright preset]
//   format=1
//   name=<preset name>
//
//   [plugins]
//   <INF path below the plug-in folder>|<display name>
//   ...
//
//   [settings]                 (only for a preset with settings of its own)
//   <input.inf key>=<value>
//   ...
//
//   [end]
//
// Nothing is trimmed, quoted or escaped: a value is the rest of its line. A path holds
// no "|" (no file name can), so a plug-in line splits at its first one. A path setting
// that lies in the exporting PE Builder folder starts with "<PEBuilder>" (no path can),
// which the importing installation's folder replaces. The first line marks the file;
// "[end]" as the last line shows that none was lost. A format above 1 is a later
// version's, which this one refuses rather than guess at.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ListItems.h"

inline constexpr unsigned kPresetFileFormat = 1;
inline const std::wstring kPresetFileExtension = L"kwpreset";

struct PortablePlugin {
    std::wstring infPath;  // relative to the plug-in folder, backslashes: "net\tcpip.inf"
    std::wstring name;     // the display name, "" allowed

    bool operator==(const PortablePlugin&) const = default;
};

struct PortableSetting {
    std::wstring key;    // as the key table of input.inf spells it
    std::wstring value;  // text, or an integer in decimal

    bool operator==(const PortableSetting&) const = default;
};

struct PortablePreset {
    std::wstring name;
    std::vector<PortablePlugin> plugins;
    // Nothing: the preset reads input.inf; else its own settings, however few.
    std::optional<std::vector<PortableSetting>> settings;

    bool operator==(const PortablePreset&) const = default;
};

// The file's bytes. A text that the format cannot carry (a line break, or an unpaired
// surrogate, in a name or value; a path that is not a relative INF path; a key that is
// not a preset setting) throws AppError naming it.
std::string WritePresetFile(const PortablePreset& preset);

enum class PresetFileProblem {
    None,
    NotPresetFile,  // its first line is not the mark
    NewerFormat,    // marked, but a later format
    Damaged,        // marked, but a line that does not fit, or cut short
};
struct ParsedPresetFile {
    PresetFileProblem problem = PresetFileProblem::None;
    size_t line = 0;  // Damaged: the first line (from 1) at fault
    PortablePreset preset;
};
// Reads every rule above; with any problem, preset is empty.
ParsedPresetFile ParsePresetFile(std::string_view bytes);

// ---- Between a file and an installation ----

// One plug-in of an installation's catalogue as a preset file and a preset see it.
struct CataloguePlugin {
    std::wstring infPath;  // relative to the plug-in folder
    std::wstring name;     // display name
    std::wstring key;      // the plug-in key a preset stores

    bool operator==(const CataloguePlugin&) const = default;
};
std::vector<CataloguePlugin> CataloguePlugins(const StringList& catalogue, const std::wstring& peBuilderFolder);

// The catalogue's plug-ins that the preset's keys (sorted, see PresetKeysFromValueLines)
// enable, by name and then path without regard to case. Keys no plug-in has are not
// part of the preset any more, as the editor and the build see it.
std::vector<PortablePlugin> PortablePluginsOf(const std::vector<std::wstring>& sortedKeys,
                                              const std::vector<CataloguePlugin>& catalogue);

// What a file's plug-ins are in another installation: the keys to store, sorted as the
// editor stores them and each once, and the plug-ins it does not have. A plug-in is
// the one at the same path with the same name, else the one plug-in of that name
// wherever it lies; never one of another name.
struct PluginMatch {
    std::vector<std::wstring> keys;
    std::vector<PortablePlugin> missing;
};
PluginMatch MatchPlugins(const std::vector<PortablePlugin>& plugins, const std::vector<CataloguePlugin>& catalogue);

// The missing plug-ins, one line each: the display name and, in brackets, the path;
// beyond maxLines, one last line counts the rest ("  ... (+12)").
std::wstring MissingPluginLines(const std::vector<PortablePlugin>& missing, size_t maxLines = SIZE_MAX);

// A path setting as the file carries it, and back: the PE Builder folder (compared
// without regard to case) and what lies below it become "<PEBuilder>" and the rest.
std::wstring PortablePath(std::wstring_view path, std::wstring_view peBuilderFolder);
std::wstring LocalPath(std::wstring_view portable, std::wstring_view peBuilderFolder);
