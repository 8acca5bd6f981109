// Files: existence tests, whole-file reads, atomic replacement, and the text
// encodings of the files the program shares with others (the ANSI code page, or
// UTF-8/UTF-16 where the file starts with a byte-order mark).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The full path of the running program.
std::wstring ExecutablePath();

bool FileExists(const std::wstring& path);       // an existing file, not a folder
bool DirectoryExists(const std::wstring& path);  // an existing folder

// The whole file as bytes. Errors (missing, locked, over 256 MiB) throw AppError
// naming the file; TryReadFileBytes answers nothing for a file that is not there.
std::string ReadFileBytes(const std::wstring& path);
std::optional<std::string> TryReadFileBytes(const std::wstring& path);

// The file's text, decoded as DecodeText does; nothing when the file is missing or
// cannot be read. For readers that fall back to defaults rather than fail.
std::optional<std::wstring> ReadTextQuietly(const std::wstring& path);

// Replaces the file's content at once: the bytes go to a temporary file in the same
// folder, which then takes the file's place. On any failure the original is left as
// it was, the temporary file is removed, and AppError names the file.
void WriteFileAtomic(const std::wstring& path, std::string_view bytes);

// A file's new content written beside it and not yet in its place, for changes to
// several files that must all happen or none: stage every file first (the step that
// meets a full disk or a folder that takes no new files), then commit them. Until
// Commit the original is untouched; a staged file never committed is removed.
class StagedFile {
public:
    // Writes the bytes to a temporary file in the file's folder; AppError names the file.
    StagedFile(std::wstring path, std::string_view bytes);
    ~StagedFile();
    StagedFile(StagedFile&& other) noexcept;
    StagedFile& operator=(StagedFile&&) = delete;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::wstring& Path() const { return path_; }
    // Puts the new content in the file's place; AppError names the file.
    void Commit();

private:
    std::wstring path_, temp_;
};

// Throws AppError naming the file when it could not be replaced: missing folder,
// read-only file, or a file another program holds open without sharing both writing
// and deleting.
void CheckFileWritable(const std::wstring& path);

enum class TextEncoding { Ansi, Utf8Bom, Utf16LeBom, Utf16BeBom };

TextEncoding DetectEncoding(std::string_view bytes);
std::wstring DecodeText(std::string_view bytes, TextEncoding encoding);  // BOM dropped
std::wstring DecodeText(std::string_view bytes);                         // detected
// Encodes with the BOM of the encoding. Text that the ANSI code page cannot hold
// throws AppError naming path, rather than writing question marks.
std::string EncodeText(std::wstring_view text, TextEncoding encoding, const std::wstring& path);

std::wstring AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::wstring_view text);  // unmappable characters become '?'
