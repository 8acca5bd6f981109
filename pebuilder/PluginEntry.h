// The rules of the plug-in catalogue that need no file system: which INF files are
// plug-ins and what their entries hold, the plug-in key, and a preset's key list.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Ini.h"
#include "core/ListItems.h"

// The text without one pair of enclosing double quotes, when it has them.
std::wstring Unquote(std::wstring_view text);

// A name that the scan reads as an INF file: "*.inf", without regard to case.
bool IsInfFileName(std::wstring_view name);

// The entry of the INF file folder\fileName whose text is inf, or nothing when the
// file is no plug-in: its [Version] Signature is not "$Windows NT$" or its
// [PEBuilder] Name is empty.
std::optional<TDataStruct> PluginEntryFromInf(const IniView& inf, const std::wstring& folder,
                                              const std::wstring& fileName);

// Display name, "::" and the entry's folder relative to peBuilderFolder\plugin\,
// ending in a backslash unless the INF lies in the plug-in folder itself.
std::wstring PluginKeyOf(const TDataStruct& entry, const std::wstring& peBuilderFolder);

// The value parts of a preset key's name=value lines, empty ones dropped, sorted
// without regard to case.
std::vector<std::wstring> PresetKeysFromValueLines(const std::vector<std::wstring>& lines);
// Whether key is in sortedKeys, compared without regard to case.
bool PresetHasKey(const std::vector<std::wstring>& sortedKeys, std::wstring_view key);
