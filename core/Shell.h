// The shell's folder browser and file moves, volumes, the temporary folder.
#pragma once

#include <windows.h>

#include <string>

// Shows the folder browser with folder preselected; true and the chosen folder on
// OK, false and folder unchanged on Cancel.
bool BrowseForFolder(HWND owner, const std::wstring& title, std::wstring& folder, bool newStyle);

enum ShellOperation { ShellMove = 1, ShellCopy = 2, ShellDelete = 3, ShellRename = 4 };

// One shell file operation without questions or error dialogs; true on success.
bool ShellFileOperation(ShellOperation operation, const std::wstring& source, const std::wstring& target);
// ShellFileOperation(ShellMove, ...), result dropped.
void MoveFileOrFolder(const std::wstring& source, const std::wstring& target);

// True when the volume holding path reports the file system "NTFS".
bool IsNtfsVolume(const std::wstring& path);
// The drive part IsNtfsVolume asks about, with a trailing backslash ("C:\", "\\s\x\", "\").
std::wstring NtfsQueryRoot(const std::wstring& path);

// The user's temporary folder without trailing backslash.
std::wstring TempFolder();
