// The plug-in folder sort.
#include "pebuilder/PluginSort.h"

#include <windows.h>

#include <algorithm>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Handles.h"
#include "core/Messages.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/WinError.h"
#include "pebuilder/Installation.h"

namespace {

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                            static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

}  // namespace

std::vector<std::wstring> SortableFolders(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    ForEachFolderEntry(folder, [&](const FolderEntry& entry) {
        if (entry.IsFolder() && !(entry.attributes & FILE_ATTRIBUTE_SYSTEM) && entry.name[0] != L'.')
            names.push_back(entry.name);
    });
    std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

void PluginSortClick(const TCurrentSettings& settings, UserPrompt& prompt, const MoveRoutine& move)
{
    if (!prompt.Ask(Str(RS_010), Str(RS_101))) return;

    // The shell's move into a folder that is not there renames each entry onto the
    // target in turn, so both ends must exist before anything moves.
    const std::wstring plugins = PluginFolderPath(settings.PEBuilder);
    if (!DirectoryExists(plugins))
        throw AppError(L"The plug-in folder \"" + plugins + L"\" does not exist. Nothing was moved.");
    const std::wstring temp = TempFolder() + L"\\KWRT_TMP";
    if (!DirectoryExists(temp) && !::CreateDirectoryW(temp.c_str(), nullptr))
        ThrowLastError(L"The temporary folder \"" + temp + L"\" could not be created. Nothing was moved.");

    move(plugins + L"\\*.*", temp);
    for (const std::wstring& name : SortableFolders(temp)) move(temp + L"\\" + name, plugins);
    move(temp + L"\\*.*", plugins);

    if (!FolderEntryNames(temp).empty())
        throw AppError(L"Some entries could not be moved back into the plug-in folder \"" + plugins +
                       L"\"; they are still in the temporary folder \"" + temp + L"\".");
    prompt.Inform(Str(RS_011), Str(RS_101));
}

void PluginSortClick(const TCurrentSettings& settings, UserPrompt& prompt)
{
    PluginSortClick(settings, prompt, MoveFileOrFolder);
}
