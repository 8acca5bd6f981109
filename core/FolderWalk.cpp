// The entries of one folder as the file system lists them.
#include "core/FolderWalk.h"

#include <windows.h>

#include "core/Files.h"
#include "core/Handles.h"

bool FolderEntry::IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

void ForEachFolderEntry(const std::wstring& folder, const std::function<void(const FolderEntry&)>& visit)
{
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW(ApiPath(folder + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") visit(FolderEntry{name, data.dwFileAttributes});
    } while (::FindNextFileW(find.Get(), &data));
}

std::vector<std::wstring> FolderEntryNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    ForEachFolderEntry(folder, [&](const FolderEntry& entry) { names.push_back(entry.name); });
    return names;
}
