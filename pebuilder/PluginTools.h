// The command lines with which the preset editor opens a plug-in: in the text editor,
// and with the plug-in's own configuration program named by its INF's Config value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/ListItems.h"

// A comma-separated text as the INF's Config value is written: elements end at a comma
// or, outside double quotes, at a blank or control character; blanks around an element
// are dropped. An element that starts with a double quote runs to the closing one and
// loses both ("" inside stands for one quote); a missing closing quote takes the rest.
// Two commas in a row, or a comma at the end, give an empty element.
std::vector<std::wstring> SplitCommaText(std::wstring_view text);

// The plug-in's folder, a backslash and the first element of its Config value, in
// double quotes; then every further element after one blank, each "@PluginFile@" (in
// any letter case) replaced by the INF file's full path in double quotes. Empty when
// the Config value has no element.
std::wstring PluginConfigCommandLine(const TDataStruct& entry);

// The editor (notepad.exe when editor is empty) and the INF file, each in double
// quotes, one blank between.
std::wstring TextEditorCommandLine(const std::wstring& editor, const std::wstring& infPath);
