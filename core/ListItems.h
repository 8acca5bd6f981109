// Records carried by list items: a plug-in entry of the catalogue, and the
// bookkeeping by which an item owns its record.
#pragma once

#include <string>
#include <vector>

// One plug-in INF file of the catalogue.
struct TDataStruct {
    std::wstring DisplayName;    // [PEBuilder] Name, trimmed, one pair of quotes removed
    std::wstring Folder;         // folder of the INF file, no trailing backslash
    std::wstring FileName;       // the INF file's name
    std::wstring FullPath;       // Folder + "\" + FileName
    std::wstring HelpFile;       // empty, or Folder + "\" + [PEBuilder] Help
    std::wstring ConfigCommand;  // [PEBuilder] Config, trimmed
    bool Enabled = false;        // [PEBuilder] Enable reads as 1
};

// A string list whose items each own a copy of their record.
struct StringListItem {
    std::wstring Text;
    TDataStruct Data;
};
using StringList = std::vector<StringListItem>;

void AddListEntry(StringList& list, const std::wstring& text, const TDataStruct& record);
TDataStruct& ListEntryOf(StringList& list, size_t index);
const TDataStruct& ListEntryOf(const StringList& list, size_t index);
void DeleteListEntry(StringList& list, size_t index);
