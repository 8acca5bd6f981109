// Files: existence tests, whole-file reads, atomic replacement.
#include "core/Files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cwchar>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/Handles.h"
#include "core/Process.h"
#include "core/Text.h"
#include "core/WinError.h"

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
    DWORD attributes = ::GetFileAttributesW(ApiPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path)
{
    if (path.empty()) return false;
    DWORD attributes = ::GetFileAttributesW(ApiPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ApiPath(const std::wstring& path)
{
    if (path.starts_with(L"\\\\?\\")) return path;
    const size_t slash = path.find_last_of(L"\\/");
    const std::wstring_view name = std::wstring_view(path).substr(slash == std::wstring::npos ? 0 : slash + 1);
    // The plain form of "...\con.inf" is the console: only the "\\?\" form reaches the
    // file. The folder is made full alone, since the whole path would come back "\\.\con".
    if (!name.empty() && IsDosDeviceName(name)) {
        std::wstring folder = ApiPath(slash == std::wstring::npos ? L"." : path.substr(0, slash + 1));
        if (!folder.starts_with(L"\\\\?\\"))
            folder = folder.starts_with(L"\\\\") ? L"\\\\?\\UNC\\" + folder.substr(2) : L"\\\\?\\" + folder;
        return IncludeTrailingBackslash(folder) + std::wstring(name);
    }
    std::wstring full(std::max<size_t>(path.size() + 1, MAX_PATH), L'\0');
    for (;;) {
        DWORD length = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return path;  // the call that uses it reports the fault
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length + 1);
    }
    // Below this length every function takes the plain form (CreateDirectory leaves
    // room for an 8.3 name).
    if (full.size() < MAX_PATH - 12) return full;
    if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

namespace {

// Reads the whole open file; AppError naming path when it fails or exceeds limit.
std::string ReadOpenFile(HANDLE file, const std::wstring& path, uint64_t limit)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) ThrowLastError(L"Cannot read the file " + path);
    if (static_cast<uint64_t>(size.QuadPart) > limit) throw AppError(L"The file is too large to read: " + path);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    if (!bytes.empty() && !::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr))
        ThrowLastError(L"Cannot read the file " + path);
    bytes.resize(done);
    return bytes;
}

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The file's access rules, or nothing when they cannot be read. One call serves the
// usual descriptor, which is small.
std::string SecurityOf(HANDLE file)
{
    std::string descriptor(256, '\0');
    DWORD size = 0;
    if (::GetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, descriptor.data(), 256, &size)) {
        descriptor.resize(::GetSecurityDescriptorLength(descriptor.data()));
        return descriptor;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    descriptor.assign(size, '\0');
    if (!::GetKernelObjectSecurity(file, DACL_SECURITY_INFORMATION, descriptor.data(), size, &size)) return {};
    return descriptor;
}

// Whether the file has data streams besides its content. Systems that cannot list
// streams (Wine) have none to keep.
bool HasStreams(HANDLE file)
{
    alignas(8) char buffer[1024];
    if (!::GetFileInformationByHandleEx(file, FileStreamInfo, buffer, sizeof buffer))
        return ::GetLastError() == ERROR_MORE_DATA;
    return reinterpret_cast<const FILE_STREAM_INFO*>(buffer)->NextEntryOffset != 0;
}

// The attributes a staged file is made with so that it already has them when it takes
// the file's place: a rename keeps them, and no moment shows the file without them.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Gives the open file the name path (full, plain or "\\?\" form), replacing a file of
// that name. The call takes the system's own form of the path, "\??\...".
bool RenameOpenFile(HANDLE file, const std::wstring& path)
{
    std::wstring name;
    if (path.starts_with(L"\\\\?\\"))
        name = L"\\??\\" + path.substr(4);
    else if (path.starts_with(L"\\\\"))
        name = L"\\??\\UNC\\" + path.substr(2);
    else
        name = L"\\??\\" + path;
    std::vector<BYTE> buffer(offsetof(FILE_RENAME_INFO, FileName) + (name.size() + 1) * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), info->FileName);
    return ::SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
}

constexpr std::wstring_view kStagedMark = L".kwtmp-";

std::atomic<unsigned> stagedCount{0};

// Staged files kept open for their rename, which then costs one request rather than
// four. Under Wine every open file holds a host file descriptor; Wine raises the
// process's limit to the host's hard limit, 4,096 at the least on current systems.
// Past this many, a staged file is closed as soon as it is flushed and renamed by name
// later; a caller that flushes every thousand files keeps well within the limit.
constexpr int kMaxOpenStaged = 2048;
std::atomic<int> openStaged{0};

// Whether the system refused to open or replace the file for a reason that passes: it
// is open in another program at that moment (a second copy of this one reading the
// plug-ins, a virus scanner, the indexer). Windows replaces no file that is open,
// whatever the sharing; a read-only file or a missing folder is refused for good.
bool RefusedForAMoment(DWORD error, const std::wstring& target)
{
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED: return true;
    case ERROR_ACCESS_DENIED: {
        DWORD attributes = ::GetFileAttributesW(target.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    }
    default: return false;
    }
}

// Tries again an attempt that the system refused only for a moment, after 1, 2, 4 ...
// 512 ms: about a second in all before the refusal stands. Answers the last error.
template <class Attempt>
DWORD TryForAMoment(const std::wstring& target, Attempt attempt)
{
    DWORD error = attempt();
    for (DWORD wait = 1; error != ERROR_SUCCESS && wait <= 512 && RefusedForAMoment(error, target); wait *= 2) {
        ::Sleep(wait);
        error = attempt();
    }
    return error;
}

}  // namespace

std::optional<std::string> TryReadFileBytes(const std::wstring& path, uint64_t limit)
{
    FileHandle file(::CreateFileW(ApiPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = ::GetLastError();
        if (IsMissing(error)) return std::nullopt;
        ThrowSystemError(L"Cannot read the file " + path, error);
    }
    return ReadOpenFile(file.Get(), path, limit);
}

std::optional<FileForReplace> ReadFileForReplace(const std::wstring& path, uint64_t limit, unsigned long attributes)
{
    const std::wstring api = ApiPath(path);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    FileForReplace result;
    // One open serves the read and the test that the file may be replaced later.
    result.handle.Reset(::CreateFileW(api.c_str(), GENERIC_READ | DELETE | READ_CONTROL, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!result.handle) {
        result.replaceError = ::GetLastError();
        if (IsMissing(result.replaceError)) return std::nullopt;
        result.handle.Reset(
            ::CreateFileW(api.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!result.handle) {
            DWORD error = ::GetLastError();
            if (IsMissing(error)) return std::nullopt;
            ThrowSystemError(L"Cannot read the file " + path, error);
        }
    }
    // Asked by name rather than of the handle: under Wine the handle's information
    // costs a round trip to the volume manager, the name's none.
    if (attributes == kNoFile) attributes = ::GetFileAttributesW(api.c_str());
    result.attributes = attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_NORMAL : attributes;
    if (result.replaceError == 0 && (result.attributes & FILE_ATTRIBUTE_READONLY))
        result.replaceError = ERROR_ACCESS_DENIED;
    result.bytes = ReadOpenFile(result.handle.Get(), path, limit);
    return result;
}

FileTraits FileForReplace::TakeTraits()
{
    FileTraits traits;
    traits.attributes = attributes;
    if (handle && replaceError == 0) {
        traits.security = SecurityOf(handle.Get());
        traits.streams = HasStreams(handle.Get());
    }
    handle.Reset();
    return traits;
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

FileTraits CheckFileWritable(const std::wstring& path)
{
    const std::wstring api = ApiPath(path);
    std::wstring folder = ExtractFileDir(path);
    if (!folder.empty() && !DirectoryExists(folder))
        ThrowSystemError(L"Cannot write the file " + path, ERROR_PATH_NOT_FOUND);
    DWORD attributes = ::GetFileAttributesW(api.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) ThrowSystemError(L"Cannot write the file " + path, ERROR_ACCESS_DENIED);
    if (attributes & FILE_ATTRIBUTE_READONLY) ThrowSystemError(L"Cannot write the file " + path, ERROR_ACCESS_DENIED);
    // The new file takes this one's place, which needs delete access as well: a program
    // that holds the file open without delete sharing lets it be written, not replaced.
    FileHandle probe;
    DWORD error = TryForAMoment(api, [&] {
        probe.Reset(::CreateFileW(api.c_str(), GENERIC_WRITE | DELETE | READ_CONTROL,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        return probe ? ERROR_SUCCESS : ::GetLastError();
    });
    if (error != ERROR_SUCCESS) ThrowSystemError(L"Cannot write the file " + path, error);
    return {attributes, SecurityOf(probe.Get()), HasStreams(probe.Get())};
}

StagedFile::StagedFile(std::wstring path, std::string_view bytes) : path_(std::move(path))
{
    keep_ = CheckFileWritable(path_);
    Stage(bytes, Flush::Now);
}

StagedFile::StagedFile(std::wstring path, std::string_view bytes, FileTraits keep, Flush flush)
    : path_(std::move(path)), keep_(std::move(keep))
{
    Stage(bytes, flush);
}

void StagedFile::Stage(std::string_view bytes, Flush flush)
{
    const std::wstring what = L"Cannot write the file " + path_;
    const std::wstring folder = ExtractFileDir(path_);
    std::wstring name = ExtractFileName(path_);
    const std::wstring pid = std::to_wstring(::GetCurrentProcessId());
    // Made with the user's attributes and access rules, so that the rename that puts it
    // in place is all there is to the replacement.
    DWORD attributes = keep_.attributes == kNoFile ? 0 : keep_.attributes & kKeptAttributes;
    FileHandle& file = file_;
    // A name left by an earlier process with the same id is passed over, never reused.
    for (int attempt = 0; !file; ++attempt) {
        std::wstring suffix = std::wstring(kStagedMark) + pid + L"-" + std::to_wstring(stagedCount++);
        // A file name has at most 255 characters; the mark must fit.
        std::wstring stagedName = name.substr(0, std::min<size_t>(name.size(), 255 - suffix.size())) + suffix;
        temp_ = folder.empty() ? stagedName : folder + L"\\" + stagedName;
        // Readers may open it once it has taken the file's place, before it is closed.
        file.Reset(::CreateFileW(ApiPath(temp_).c_str(), GENERIC_WRITE | WRITE_DAC | DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                 attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && (::GetLastError() != ERROR_FILE_EXISTS || attempt == 100)) {
            DWORD error = ::GetLastError();
            temp_.clear();
            ThrowSystemError(what, error);
        }
    }
    try {
        // Set on the handle: Wine ignores access rules given at creation.
        if (!keep_.security.empty() &&
            !::SetKernelObjectSecurity(file.Get(), DACL_SECURITY_INFORMATION, keep_.security.data()))
            ThrowLastError(what);
        size_t written = 0;
        while (written < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
            DWORD done = 0;
            if (!::WriteFile(file.Get(), bytes.data() + written, chunk, &done, nullptr)) ThrowLastError(what);
            written += done;
        }
        if (flush == Flush::Now) FlushStaged();
        // Past the limit the file is closed as soon as it is flushed: there is no handle
        // to flush by once it is closed.
        if (openStaged++ >= kMaxOpenStaged) {
            if (flushed_)
                CloseStaged();
            else
                closeWhenFlushed_ = true;
        }
    } catch (...) {
        file.Reset();
        ::DeleteFileW(ApiPath(temp_).c_str());
        temp_.clear();
        throw;
    }
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : path_(std::move(other.path_)),
      temp_(std::exchange(other.temp_, std::wstring())),
      keep_(std::move(other.keep_)),
      file_(std::move(other.file_)),
      flushed_(other.flushed_),
      closeWhenFlushed_(other.closeWhenFlushed_)
{
}

void StagedFile::FlushStaged()
{
    if (flushed_) return;
    if (!::FlushFileBuffers(file_.Get())) ThrowLastError(L"Cannot write the file " + path_);
    Flushed();
}

void StagedFile::Flushed()
{
    flushed_ = true;
    if (closeWhenFlushed_) CloseStaged();
}

void FlushStagedFiles(std::vector<StagedFile>& files)
{
    std::vector<StagedFile*> waiting;
    for (StagedFile& file : files)
        if (!file.flushed_ && !file.temp_.empty()) waiting.push_back(&file);
    // Enough flushes in flight for the file system to take them in one journal commit;
    // each thread spends its time waiting, not computing.
    constexpr size_t kFlushers = 4;
    std::vector<DWORD> errors(waiting.size());
    std::atomic<size_t> next{0};
    auto flush = [&] {
        for (size_t i; (i = next++) < waiting.size();)
            errors[i] = ::FlushFileBuffers(waiting[i]->file_.Get()) ? ERROR_SUCCESS : ::GetLastError();
    };
    {
        std::vector<std::jthread> helpers;
        try {
            while (helpers.size() + 1 < std::min(kFlushers, waiting.size())) helpers.emplace_back(flush);
        } catch (const std::system_error&) {
            // No more threads to be had: those running and this one flush the rest.
        }
        flush();
    }
    for (size_t i = 0; i < waiting.size(); ++i)
        if (errors[i] == ERROR_SUCCESS) waiting[i]->Flushed();
    for (size_t i = 0; i < waiting.size(); ++i)
        if (errors[i] != ERROR_SUCCESS) ThrowSystemError(L"Cannot write the file " + waiting[i]->path_, errors[i]);
}

void StagedFile::CloseStaged()
{
    if (file_) --openStaged;
    file_.Reset();
}

StagedFile::~StagedFile()
{
    CloseStaged();
    if (!temp_.empty()) ::DeleteFileW(ApiPath(temp_).c_str());
}

DWORD StagedFile::TryMoveIntoPlace(const std::wstring& target)
{
    if (keep_.streams) {
        // Only ReplaceFileW carries the user's streams over. It is no single rename (Wine's
        // moves the file aside first), so it is used only where there are streams to keep.
        CloseStaged();
        if (::ReplaceFileW(target.c_str(), ApiPath(temp_).c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                           nullptr))
            return ERROR_SUCCESS;
        DWORD error = ::GetLastError();
        // The new content not moved in: the plain rename below still can. Anything else
        // (locked, read-only) leaves the file as it was.
        if (!IsMissing(error) && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT) return error;
    } else if (file_) {
        // One rename: at every moment the file is wholly the old or wholly the new one.
        // Through the handle still open, which spares opening the staged file again.
        bool moved = RenameOpenFile(file_.Get(), target);
        DWORD error = moved ? ERROR_SUCCESS : ::GetLastError();
        CloseStaged();
        // A file system that cannot rename by handle can still rename by name. Any other
        // refusal is the caller's to judge; a later try goes by name, the handle closed.
        if (moved ||
            (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION))
            return error;
    }
    return ::MoveFileExW(ApiPath(temp_).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? ERROR_SUCCESS
               : ::GetLastError();
}

void StagedFile::Commit()
{
    if (temp_.empty()) return;
    FlushStaged();
    const std::wstring target = ApiPath(path_);
    DWORD error = TryForAMoment(target, [&] { return TryMoveIntoPlace(target); });
    if (error != ERROR_SUCCESS) ThrowSystemError(L"Cannot write the file " + path_, error);
    temp_.clear();
}

bool IsStagedFileName(std::wstring_view name)
{
    size_t mark = name.rfind(kStagedMark);
    if (mark == std::wstring_view::npos || mark == 0) return false;
    std::wstring_view rest = name.substr(mark + kStagedMark.size());
    size_t dash = rest.find(L'-');
    auto digits = [](std::wstring_view d) {
        return !d.empty() && d.size() <= 10 &&
               std::all_of(d.begin(), d.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
    };
    return dash != std::wstring_view::npos && digits(rest.substr(0, dash)) && digits(rest.substr(dash + 1));
}

void RemoveStagedLeftover(const std::wstring& path)
{
    std::wstring name = ExtractFileName(path);
    if (!IsStagedFileName(name)) return;
    std::wstring_view rest = std::wstring_view(name).substr(name.rfind(kStagedMark) + kStagedMark.size());
    DWORD pid = static_cast<DWORD>(std::wcstoul(std::wstring(rest.substr(0, rest.find(L'-'))).c_str(), nullptr, 10));
    // Another instance, maybe of another user, may be staging this very file right now.
    if (pid != ::GetCurrentProcessId() && IsProcessRunning({pid, 0})) return;
    ::DeleteFileW(ApiPath(path).c_str());
}

void RemoveStagedLeftoversOf(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW(ApiPath(path + std::wstring(kStagedMark) + L"*").c_str(), &data));
    if (find) {
        const std::wstring folder = ExtractFileDir(path);
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                RemoveStagedLeftover(folder.empty() ? std::wstring(data.cFileName) : folder + L"\\" + data.cFileName);
        } while (::FindNextFileW(find.Get(), &data));
    }
}

void WriteFileAtomic(const std::wstring& path, std::string_view bytes)
{
    RemoveStagedLeftoversOf(path);
    StagedFile(path, bytes).Commit();
}
