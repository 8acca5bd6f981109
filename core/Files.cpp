// Files: existence tests, whole-file reads, atomic replacement, text encodings.
#include "core/Files.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "core/Handles.h"
#include "core/Text.h"
#include "core/WinError.h"

namespace {

constexpr DWORD kMaxFileSize = 256u << 20;

std::wstring Utf16FromBytes(std::string_view bytes, bool bigEndian)
{
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        text += static_cast<wchar_t>(hi << 8 | lo);
    }
    return text;
}

std::wstring MultiByteToWide(UINT codePage, std::string_view bytes)
{
    if (bytes.empty()) return {};
    int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(length, L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

std::string WideToMultiByte(UINT codePage, std::wstring_view text, BOOL* lossy)
{
    if (text.empty()) return {};
    BOOL* usedDefault = codePage == CP_UTF8 ? nullptr : lossy;
    // Without this flag "é" quietly becomes "e" and "¥" becomes a backslash in code
    // page 932, and the caller is not told.
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int length = ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       usedDefault);
    std::string bytes(length, '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          usedDefault);
    return bytes;
}

}  // namespace

std::wstring ExecutablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) ThrowLastError(L"Cannot find the path of the program");
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // truncated: a long path
    }
}

bool FileExists(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path)
{
    if (path.empty()) return false;
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> TryReadFileBytes(const std::wstring& path)
{
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
        ThrowSystemError(L"Cannot read the file " + path, error);
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) ThrowLastError(L"Cannot read the file " + path);
    if (size.QuadPart > kMaxFileSize) throw AppError(L"The file is too large to read: " + path);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    if (!bytes.empty() && !::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr))
        ThrowLastError(L"Cannot read the file " + path);
    bytes.resize(done);
    return bytes;
}

std::optional<std::wstring> ReadTextQuietly(const std::wstring& path)
{
    try {
        if (std::optional<std::string> bytes = TryReadFileBytes(path)) return DecodeText(*bytes);
    } catch (const AppError&) {
    }
    return std::nullopt;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::optional<std::string> bytes = TryReadFileBytes(path);
    if (!bytes) ThrowSystemError(L"Cannot read the file " + path, ERROR_FILE_NOT_FOUND);
    return std::move(*bytes);
}

void CheckFileWritable(const std::wstring& path)
{
    std::wstring folder = ExtractFileDir(path);
    if (!folder.empty() && !DirectoryExists(folder))
        ThrowSystemError(L"Cannot write the file " + path, ERROR_PATH_NOT_FOUND);
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) ThrowSystemError(L"Cannot write the file " + path, ERROR_ACCESS_DENIED);
    if (attributes & FILE_ATTRIBUTE_READONLY) ThrowSystemError(L"Cannot write the file " + path, ERROR_ACCESS_DENIED);
    // The new file takes this one's place, which needs delete access as well: a program
    // that holds the file open without delete sharing lets it be written, not replaced.
    FileHandle probe(::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) ThrowLastError(L"Cannot write the file " + path);
}

StagedFile::StagedFile(std::wstring path, std::string_view bytes) : path_(std::move(path))
{
    const std::wstring what = L"Cannot write the file " + path_;
    CheckFileWritable(path_);

    std::wstring folder = ExtractFileDir(path_);
    wchar_t temp[MAX_PATH + 1];
    if (!::GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"kw", 0, temp)) ThrowLastError(what);
    temp_ = temp;
    try {
        FileHandle file(::CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) ThrowLastError(what);
        size_t written = 0;
        while (written < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
            DWORD done = 0;
            if (!::WriteFile(file.Get(), bytes.data() + written, chunk, &done, nullptr)) ThrowLastError(what);
            written += done;
        }
        if (!::FlushFileBuffers(file.Get())) ThrowLastError(what);
    } catch (...) {
        ::DeleteFileW(temp);
        throw;
    }
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : path_(std::move(other.path_)), temp_(std::exchange(other.temp_, std::wstring()))
{
}

StagedFile::~StagedFile()
{
    if (!temp_.empty()) ::DeleteFileW(temp_.c_str());
}

void StagedFile::Commit()
{
    if (temp_.empty()) return;
    if (!::MoveFileExW(temp_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ThrowLastError(L"Cannot write the file " + path_);
    temp_.clear();
}

void WriteFileAtomic(const std::wstring& path, std::string_view bytes) { StagedFile(path, bytes).Commit(); }

TextEncoding DetectEncoding(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return TextEncoding::Utf8Bom;
    if (bytes.substr(0, 2) == "\xFF\xFE") return TextEncoding::Utf16LeBom;
    if (bytes.substr(0, 2) == "\xFE\xFF") return TextEncoding::Utf16BeBom;
    return TextEncoding::Ansi;
}

std::wstring DecodeText(std::string_view bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return MultiByteToWide(CP_UTF8, bytes.substr(3));
    case TextEncoding::Utf16LeBom: return Utf16FromBytes(bytes.substr(2), false);
    case TextEncoding::Utf16BeBom: return Utf16FromBytes(bytes.substr(2), true);
    case TextEncoding::Ansi: break;
    }
    return MultiByteToWide(CP_ACP, bytes);
}

std::wstring DecodeText(std::string_view bytes) { return DecodeText(bytes, DetectEncoding(bytes)); }

std::string EncodeText(std::wstring_view text, TextEncoding encoding, const std::wstring& path)
{
    std::string bytes;
    switch (encoding) {
    case TextEncoding::Utf8Bom: return "\xEF\xBB\xBF" + WideToMultiByte(CP_UTF8, text, nullptr);
    case TextEncoding::Utf16LeBom:
    case TextEncoding::Utf16BeBom: {
        bool big = encoding == TextEncoding::Utf16BeBom;
        bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (wchar_t c : text) {
            char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
            bytes += big ? hi : lo;
            bytes += big ? lo : hi;
        }
        return bytes;
    }
    case TextEncoding::Ansi: break;
    }
    BOOL lossy = FALSE;
    bytes = WideToMultiByte(CP_ACP, text, &lossy);
    if (lossy)
        throw AppError(L"Cannot write the file " + path +
                       L"\r\nThe text holds characters that the system code page cannot represent.");
    return bytes;
}

std::wstring AnsiToWide(std::string_view bytes) { return MultiByteToWide(CP_ACP, bytes); }

std::string WideToAnsi(std::wstring_view text) { return WideToMultiByte(CP_ACP, text, nullptr); }
