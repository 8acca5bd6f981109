// Shared helpers of the Windows tests: scratch folders, files as bytes, the build's
// programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// A new empty folder below the system's temporary folder, removed with everything in
// it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // Path() + "\" + relative
    std::wstring operator/(std::wstring_view relative) const;

private:
    std::wstring path_;
};

// The folder that holds the test program, Kitwright.exe and the stand-ins.
std::wstring BinFolder();

// Creates the file (and its folders) with exactly these bytes.
void WriteBytes(const std::wstring& path, std::string_view bytes);
std::string ReadBytes(const std::wstring& path);
void MakeFolders(const std::wstring& path);
// Removes a folder tree; read-only entries too.
void RemoveTree(const std::wstring& path);

// The key's direct subkeys, sorted; and its values as name=value lines, as
// ListRegValues makes them.
std::vector<std::wstring> SortedSubKeys(const std::wstring& key);
std::vector<std::wstring> ValueLines(const std::wstring& key);

// UTF-16 text to the ANSI code page and back, for building test files.
std::string Ansi(std::wstring_view text);
std::wstring Wide(std::string_view ansi);
