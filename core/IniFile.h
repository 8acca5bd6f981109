// The INI routines on files: every call reads or rewrites the whole file, nothing is
// cached. Files are in the ANSI code page unless they start with a byte-order mark,
// in which case they are read, and written back, in that encoding.
#pragma once

#include <cstdint>
#include <string>

#include "core/Files.h"
#include "core/Ini.h"

// A whole INI file in memory, for batches of changes written back once.
struct IniFile {
    std::wstring path;
    IniDocument doc;
    TextEncoding encoding = TextEncoding::Ansi;
};

// A missing file loads as an empty document; an unreadable one throws AppError.
IniFile LoadIniFile(const std::wstring& path);
// Rewrites the file at once (see WriteFileAtomic), then lets the windows repaint. A
// name or value holding CR or LF throws AppError naming the file and key, and nothing
// is written.
void SaveIniFile(const IniFile& file);
// The file's new content staged beside it, not yet in its place, for a command that
// must know the file can be written (not read-only, not held open by another program
// without sharing, room on the disk) before it changes other files: Commit puts it in
// place. Fails as SaveIniFile does, with nothing written.
StagedFile StageIniFile(const IniFile& file);

// The file as ReadIniString and ReadIniInteger read it, for a caller that reads several
// keys of it at once; a missing or unreadable file gives an empty document. Never fails.
IniDocument ReadIniDocument(const std::wstring& path);

// Never fail: a missing, unreadable or malformed file gives the default.
std::wstring ReadIniString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                           const std::wstring& def);
int32_t ReadIniInteger(const std::wstring& path, const std::wstring& section, const std::wstring& key, int32_t def);

// Create a missing file and leave one alone that already holds the value; a file that
// cannot be written, or a value holding a line break, throws AppError naming it.
void WriteIniString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                    const std::wstring& value);
void WriteIniInteger(const std::wstring& path, const std::wstring& section, const std::wstring& key, int32_t value);

// Lets this thread's windows paint what is invalid, and nothing else: no input and no
// queued command runs, so a second click cannot start a command inside this one.
void RepaintWindows();
