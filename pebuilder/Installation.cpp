// Paths and command lines of the outside tools, kept in one place.
#include "pebuilder/Installation.h"

#include "core/Error.h"
#include "core/Text.h"

namespace {

// The places the program writes to: without a folder they would be the drive root's.
std::wstring WrittenPath(const std::wstring& folder, const wchar_t* name)
{
    if (folder.empty())
        throw AppError(std::wstring(L"No PE Builder folder is set, so there is no ") + name +
                       L" to use. Set the folder in the program settings.");
    return folder + L"\\" + name;
}

}  // namespace

std::wstring PEBuilderExePath(const std::wstring& folder) { return folder + L"\\pebuilder.exe"; }
std::wstring InputInfPath(const std::wstring& folder) { return WrittenPath(folder, kInputInfName.c_str()); }
std::wstring PluginFolderPath(const std::wstring& folder) { return WrittenPath(folder, L"Plugin"); }
std::wstring PEBuilderLogPath(const std::wstring& folder) { return folder + L"\\pebuilder.log"; }
std::wstring MkisofsExePath(const std::wstring& folder) { return folder + L"\\mkisofs.exe"; }
std::wstring SourceMarkerPath(const std::wstring& source) { return source + L"\\i386\\SHELL32.DL_"; }
std::wstring BootSectorPath(const std::wstring& outDir) { return outDir + L"\\bootsect.bin"; }

std::wstring PEBuilderCommandLine(const std::wstring& folder, const std::wstring& params)
{
    return L"\"" + PEBuilderExePath(folder) + L"\" " + params;
}

std::wstring PluginBuilderExePath(const std::wstring& folder) { return folder + L"\\Plugin_Builder.exe"; }

// The settings dialog may hand over a folder as typed, with its backslash.
std::wstring PluginBuilderIniPath(const std::wstring& folder)
{
    return IncludeTrailingBackslash(folder) + L"Plugin_Builder.ini";
}

std::wstring PluginBuilderCommandLine(const std::wstring& folder, const std::wstring& infPath)
{
    return L"\"" + PluginBuilderExePath(folder) + L"\" \"" + infPath + L"\"";
}
