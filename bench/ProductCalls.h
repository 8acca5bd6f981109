// The program's own routines as the plug-in benchmark calls them. When their
// signatures change, this is the one place to follow them.
#pragma once

#include <cwchar>
#include <string>
#include <vector>

#include "core/ListItems.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "pebuilder/Plugins.h"

// The profile the benchmark's presets live in, and its PE Builder folder.
inline TCurrentSettings BenchSettings(const std::wstring& peBuilder)
{
    TCurrentSettings settings;
    settings.ProfileKeySuffix = ProfileKeySuffixOf(L"Bench");
    settings.PEBuilder = peBuilder;
    return settings;
}

// Stores a preset as the preset editor does: values "001", "002", ... holding plug-in keys.
inline void BenchStorePreset(const TCurrentSettings& settings, const std::wstring& preset,
                             const std::vector<std::wstring>& keys)
{
    const std::wstring key = PresetKey(settings, preset);
    EraseRegKey(key);
    wchar_t name[16];
    for (size_t i = 0; i < keys.size(); ++i) {
        swprintf(name, 16, L"%.3d", static_cast<int>(i + 1));
        WriteRegString(key, name, keys[i]);
    }
}

// What a build does to the plug-ins.
inline void BenchApplyPreset(const TCurrentSettings& settings, const std::wstring& preset)
{
    ApplyPresetToPlugins(settings, preset);
}

// What the preset editor does before it opens; the entries are freed as its list frees them.
inline size_t BenchScanPlugins(const TCurrentSettings& settings)
{
    StringList list;
    ScanPluginFolder(settings.PEBuilder + L"\\Plugin", list);
    size_t count = list.size();
    while (!list.empty()) DeleteListEntry(list, list.size() - 1);
    return count;
}
