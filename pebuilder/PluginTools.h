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

// Whether path, relative to a folder, names something inside that folder: not empty,
// no drive, root, share or stream (":"), no ".." (nor a name of dots alone, which the
// system reads the same way), no character that no file name holds.
bool StaysInsideFolder(std::wstring_view path);

// The plug-in's folder, a backslash and the first element of its Config value, in
// double quotes; then every further element after one blank, each "@PluginFile@" (in
// any letter case) replaced by the INF file's full path in double quotes. An element
// the INF quoted because it holds blanks or quotes stays one argument (QuoteArgument,
// the path plain inside it). Empty when the Config value has no element. A first
// element that leaves the plug-in's folder (StaysInsideFolder) throws AppError: the
// program is the plug-in's own.
std::wstring PluginConfigCommandLine(const TDataStruct& entry);

// The editor (notepad.exe when editor is empty) and the INF file, each in double
// quotes, one blank between. An editor path holding a double quote throws AppError.
std::wstring TextEditorCommandLine(const std::wstring& editor, const std::wstring& infPath);

// Whether name (a file name or path) ends in an extension of the documents a help file
// may be: text, HTML, compiled and Windows help, PDF, RTF, Word and XPS. Trailing dots
// and blanks, which the system drops, do not count.
bool IsHelpDocumentName(std::wstring_view name);

// The entry's help file for the shell to open, in double quotes. The help value of the
// INF names a document inside the plug-in's own folder: a path that leaves it, or a
// file that is no document (a program, a script, a shortcut), throws AppError naming it.
std::wstring HelpFileToOpen(const TDataStruct& entry);
