// Files: existence tests, whole-file reads and atomic replacement. Their text is
// decoded and encoded by TextCodec (the ANSI code page, or UTF-8/UTF-16 where the file
// starts with a byte-order mark), included here for every reader of files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Handles.h"
#include "core/TextCodec.h"

// The full path of the running program.
std::wstring ExecutablePath();

bool FileExists(const std::wstring& path);       // an existing file, not a folder
bool DirectoryExists(const std::wstring& path);  // an existing folder

// The path as the file functions take it at any length: made full, and once it is
// too long for the plain form, written "\\?\..." (or "\\?\UNC\..." for a share).
std::wstring ApiPath(const std::wstring& path);

// Files the program reads whole are never larger: the 32-bit address space is small.
constexpr uint64_t kMaxFileSize = 256u << 20;

// The whole file as bytes. Errors (missing, locked, over limit) throw AppError
// naming the file; TryReadFileBytes answers nothing for a file that is not there.
std::string ReadFileBytes(const std::wstring& path);
std::optional<std::string> TryReadFileBytes(const std::wstring& path, uint64_t limit = kMaxFileSize);

// The file's text, decoded as DecodeText does; nothing when the file is missing or
// cannot be read. For readers that fall back to defaults rather than fail.
std::optional<std::wstring> ReadTextQuietly(const std::wstring& path);

// What a replaced file keeps of the user's file: its attributes (hidden, system), its
// access rules (a self-relative security descriptor; empty when unknown) and whether
// it has alternate data streams. attributes is kNoFile for a file that does not exist yet.
constexpr unsigned long kNoFile = 0xFFFFFFFFul;
struct FileTraits {
    unsigned long attributes = kNoFile;
    std::string security;
    bool streams = false;
};

// A file read for a change that will replace it, through one handle that also asks
// for what the replacement needs. replaceError is 0 when the file can be replaced,
// else the system's reason (read-only, or held open by a program that does not share
// deleting). The file stays open until this is dropped, so that what the replacement
// keeps is asked only of the files that do change.
struct FileForReplace {
    std::string bytes;
    unsigned long replaceError = 0;
    unsigned long attributes = kNoFile;
    FileHandle handle;

    // What the replacement keeps, asked of the open file, which is then closed: a file
    // held open cannot be replaced.
    FileTraits TakeTraits();
};
// Nothing for a missing file; AppError naming the file when it cannot be read or is
// larger than limit. attributes, when the caller has them from a folder listing,
// saves asking again.
std::optional<FileForReplace> ReadFileForReplace(const std::wstring& path, uint64_t limit,
                                                 unsigned long attributes = kNoFile);

// Replaces the file's content at once: the bytes go to a staged file in the same
// folder, made with the file's attributes and access rules, which then takes the
// file's place in one rename (ReplaceFileW where the file has streams to keep). On
// any failure the original is left as it was, the staged file is removed, and
// AppError names the file. Staged files that an interrupted run left beside it are
// removed first.
void WriteFileAtomic(const std::wstring& path, std::string_view bytes);

// A file's new content written beside it and not yet in its place, for changes to
// several files that must all happen or none: stage every file first (the step that
// meets a full disk or a folder that takes no new files), then commit them. Until
// Commit the original is untouched; a staged file never committed is removed.
// Staged files are named "<file name>.kwtmp-<process id>-<number>".
class StagedFile {
public:
    // When the staged content goes to the disk: at once, or with the rest of a set by
    // FlushStagedFiles (at the latest by Commit).
    enum class Flush { Now, Later };

    // Checks that the file can be replaced, then stages; AppError names the file.
    StagedFile(std::wstring path, std::string_view bytes);
    // For a file already found replaceable, with what it keeps.
    StagedFile(std::wstring path, std::string_view bytes, FileTraits keep, Flush flush = Flush::Now);
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::wstring& Path() const { return path_; }
    // Puts the new content, flushed, in the file's place; AppError names the file. A
    // file that another program has open is tried again for about a second.
    void Commit();

private:
    friend void FlushStagedFiles(std::vector<StagedFile>& files);

    void Stage(std::string_view bytes, Flush flush);
    void FlushStaged();
    void Flushed();
    void CloseStaged();
    // One attempt: ERROR_SUCCESS, or the system's error with the original left as it was.
    unsigned long TryMoveIntoPlace(const std::wstring& target);

    std::wstring path_, temp_;
    FileTraits keep_;
    FileHandle file_;  // the staged file, open until it is in place: it is renamed through it
    bool flushed_ = false;
    bool closeWhenFlushed_ = false;  // one of too many open: closed once flushed
};

// Flushes the staged files that are not yet on the disk, several at a time: each flush
// is a wait for the disk, and waits side by side end together, where one after the
// other they add up. AppError names the first file that could not be flushed. Callers
// that stage thousands of files flush every so many: past a limit of open staged files,
// each stays open only until it is flushed.
void FlushStagedFiles(std::vector<StagedFile>& files);

// Whether name is that of a staged file (see StagedFile).
bool IsStagedFileName(std::wstring_view name);
// Removes the staged file at path unless the process that made it still runs.
void RemoveStagedLeftover(const std::wstring& path);
// Removes the staged files of path (see RemoveStagedLeftover) that interrupted runs left.
void RemoveStagedLeftoversOf(const std::wstring& path);

// Throws AppError naming the file when it could not be replaced: missing folder,
// read-only file, or a file another program holds open without sharing both writing
// and deleting. Answers what the replacement keeps.
FileTraits CheckFileWritable(const std::wstring& path);
