// The rules of a preset's stored form that need no registry: which names can be stored
// and how its plug-in values are named.
#pragma once

#include <string>
#include <string_view>

// Whether a preset name, already trimmed, can be stored as a key below the profile's
// Preset key: not empty, not exactly "none" (with that case), and one key name, so no
// backslash (it would nest keys) and at most the registry's 255 characters.
bool IsStorablePresetName(std::wstring_view name);
// The same without the "none" rule: whether the name can be one preset's key at all.
bool IsPresetKeyName(std::wstring_view name);

// The name of the count-th plug-in value of a preset: "001", "002", ... "999", "1000".
std::wstring PresetValueName(size_t count);
