// The shell's folder browser and file moves, volumes, the temporary folder.
#pragma once

#include <windows.h>

#include <string>

#include "core/DriveRoot.h"  // NtfsQueryRoot: the root the NTFS test asks about

// OLE for the calling thread until it ends, begun by the first call that needs it (the
// folder browser's new style, the shell's verbs, WMI) rather than at every start.
void EnsureOle();

// Shows the folder browser (desktop root, file-system folders only; newStyle: the
// resizable layout with an edit box) with folder preselected; true and the chosen
// folder on OK, false and folder unchanged on Cancel.
bool BrowseForFolder(HWND owner, const std::wstring& title, std::wstring& folder, bool newStyle);

// Asks the shell to "open" target (a folder, a document, a web address) as show says,
// owned by owner. What the shell answers is not checked: when target cannot be opened
// the shell reports it, or nothing happens.
void ShellOpen(HWND owner, const std::wstring& target, int show = SW_SHOW);

enum ShellOperation { ShellMove = 1, ShellCopy = 2, ShellDelete = 3, ShellRename = 4 };

// One shell file operation without questions or error dialogs; true when the shell
// reports success and no part was aborted. Moving "dir\*.*" into a folder that does
// not exist loses entries under Wine: create the target first.
bool ShellFileOperation(ShellOperation operation, const std::wstring& source, const std::wstring& target);
// ShellFileOperation(ShellMove, ...), result dropped.
void MoveFileOrFolder(const std::wstring& source, const std::wstring& target);

// True when the volume of NtfsQueryRoot(path) reports the file system "NTFS", with
// that case; false too when the volume cannot be queried.
bool IsNtfsVolume(const std::wstring& path);

// The user's temporary folder without trailing backslash; AppError when the system
// cannot tell it or it is longer than MAX_PATH.
std::wstring TempFolder();
