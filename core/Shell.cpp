// OLE where it is needed, the shell's folder browser and file moves, volumes, the temporary folder.
#include "core/Shell.h"

#include <ole2.h>
#include <shlobj.h>
#include <shellapi.h>

#include <memory>

#include "core/Text.h"
#include "core/WinError.h"

namespace {

struct CoTaskMemDeleter {
    void operator()(void* p) const { ::CoTaskMemFree(p); }
};
using ItemIdList = std::unique_ptr<ITEMIDLIST, CoTaskMemDeleter>;

// Selects the starting folder once the browser has built its tree.
int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM startFolder)
{
    if (message == BFFM_INITIALIZED) ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, startFolder);
    return 0;
}

// A one-entry list of paths as the shell takes it: the path and two terminating zeros.
std::wstring PathList(const std::wstring& path) { return path + L'\0'; }

}  // namespace

void EnsureOle()
{
    thread_local const struct Scope {
        Scope() : initialised(SUCCEEDED(::OleInitialize(nullptr))) {}
        ~Scope()
        {
            if (initialised) ::OleUninitialize();
        }
        bool initialised;
    } ole;
}

void ShellOpen(HWND owner, const std::wstring& target, int show)
{
    EnsureOle();  // a verb may be carried out by a shell extension
    ::ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, show);
}

bool BrowseForFolder(HWND owner, const std::wstring& title, std::wstring& folder, bool newStyle)
{
    EnsureOle();
    std::wstring start = IncludeTrailingBackslash(folder);
    wchar_t displayName[MAX_PATH];
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the desktop: the whole namespace
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | (newStyle ? BIF_NEWDIALOGSTYLE | BIF_EDITBOX : 0);
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(start.c_str());

    ItemIdList chosen(::SHBrowseForFolderW(&info));
    if (!chosen) return false;
    wchar_t path[MAX_PATH];
    if (!::SHGetPathFromIDListW(chosen.get(), path)) return false;
    folder = path;
    return true;
}

bool ShellFileOperation(ShellOperation operation, const std::wstring& source, const std::wstring& target)
{
    std::wstring from = PathList(source);
    std::wstring to = PathList(target);
    SHFILEOPSTRUCTW op{};
    op.hwnd = nullptr;
    op.wFunc = static_cast<UINT>(operation);
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = operation == ShellDelete
                    ? FOF_SILENT | FOF_NOCONFIRMATION
                    : FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    return ::SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

void MoveFileOrFolder(const std::wstring& source, const std::wstring& target)
{
    ShellFileOperation(ShellMove, source, target);
}

bool IsNtfsVolume(const std::wstring& path)
{
    std::wstring root = NtfsQueryRoot(path);
    wchar_t fileSystem[MAX_PATH + 1];
    if (!::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH + 1))
        return false;
    return std::wstring_view(fileSystem) == L"NTFS";
}

std::wstring TempFolder()
{
    wchar_t path[MAX_PATH + 1];
    DWORD length = ::GetTempPathW(MAX_PATH + 1, path);
    if (length == 0) ThrowLastError(L"Cannot find the temporary folder");
    if (length > MAX_PATH) ThrowSystemError(L"Cannot use the temporary folder", ERROR_FILENAME_EXCED_RANGE);
    return ExcludeTrailingBackslash(std::wstring_view(path, length));
}
