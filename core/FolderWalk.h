// The entries of one folder as the file system lists them, for every walk the program
// and its tests make.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct FolderEntry {
    std::wstring name;    // the entry's own name, without the folder
    uint32_t attributes;  // FILE_ATTRIBUTE_* as the system reports them
    bool IsFolder() const;
};

// Calls visit for every entry of folder except "." and "..", in the file system's
// order. A folder that is missing or cannot be listed has no entries.
void ForEachFolderEntry(const std::wstring& folder, const std::function<void(const FolderEntry&)>& visit);

// The names of the entries, in the file system's order.
std::vector<std::wstring> FolderEntryNames(const std::wstring& folder);
