// Shared helpers of the Windows tests.
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Registry.h"
#include "core/Shell.h"
#include "core/Text.h"

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> counter{0};
    path_ = TempFolder() + L"\\kwtest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    RemoveTree(path_);
    MakeFolders(path_);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

std::wstring ScratchFolder::operator/(std::wstring_view relative) const
{
    return path_ + L"\\" + std::wstring(relative);
}

std::wstring BinFolder() { return ExtractFileDir(ExecutablePath()); }

void MakeFolders(const std::wstring& path)
{
    if (path.empty() || DirectoryExists(path)) return;
    MakeFolders(ExtractFileDir(path));
    if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create a test folder");
}

void WriteBytes(const std::wstring& path, std::string_view bytes)
{
    MakeFolders(ExtractFileDir(path));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create a test file");
    DWORD done = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    ::CloseHandle(file);
    if (!ok || done != bytes.size()) throw std::runtime_error("cannot write a test file");
}

std::string ReadBytes(const std::wstring& path) { return ReadFileBytes(path); }

void RemoveTree(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL | (attributes & FILE_ATTRIBUTE_DIRECTORY));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(path.c_str());
        return;
    }
    for (const std::wstring& name : FolderEntryNames(path)) RemoveTree(path + L"\\" + name);
    ::RemoveDirectoryW(path.c_str());
}

std::vector<std::wstring> SortedSubKeys(const std::wstring& key)
{
    std::vector<std::wstring> names;
    ListRegSubKeys(key, names);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> ValueLines(const std::wstring& key)
{
    std::vector<std::wstring> lines;
    ListRegValues(key, lines);
    return lines;
}

std::string Ansi(std::wstring_view text) { return WideToAnsi(text); }
std::wstring Wide(std::string_view ansi) { return AnsiToWide(ansi); }
