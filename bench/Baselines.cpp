// The plain Win32 yardsticks of the plug-in benchmark.
#include "bench/Baselines.h"

#include <windows.h>

#include <functional>

#include "core/Handles.h"
#include "core/WinError.h"

namespace {

bool IsInf(const std::wstring& name)
{
    return name.size() > 4 && ::lstrcmpiW(name.c_str() + name.size() - 4, L".inf") == 0;
}

void ForEachInf(const std::wstring& folder, const std::function<void(const std::wstring&, const wchar_t*)>& visit)
{
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return;
    do {
        if (data.cFileName[0] == L'.') continue;
        const std::wstring path = folder + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ForEachInf(path, visit);
        else if (IsInf(data.cFileName))
            visit(path, data.cFileName);
    } while (::FindNextFileW(find.Get(), &data));
}

void ReadAll(HANDLE file, const std::wstring& path, std::string& bytes)
{
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size)) ThrowLastError(L"Cannot read " + path);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD done = 0;
    if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) || done != bytes.size())
        ThrowLastError(L"Cannot read " + path);
}

void WriteAll(HANDLE file, const std::wstring& path, const std::string& bytes)
{
    DWORD done = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) || done != bytes.size())
        ThrowLastError(L"Cannot write " + path);
}

// The generated files hold exactly one "Enable=" line, in [PEBuilder].
bool SwitchEnable(std::string& bytes, bool enabled)
{
    size_t at = bytes.find("\r\nEnable=");
    if (at == std::string::npos) return false;
    char& digit = bytes[at + 9];
    char want = enabled ? '1' : '0';
    if (digit == want) return false;
    digit = want;
    return true;
}

}  // namespace

size_t RunBaseline(Baseline baseline, const std::wstring& pluginFolder, WantedState wanted)
{
    size_t written = 0;
    std::string bytes;
    ForEachInf(pluginFolder, [&](const std::wstring& path, const wchar_t* name) {
        const std::optional<bool> state = wanted(name);
        if (baseline == Baseline::Plain) {
            FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) ThrowLastError(L"Cannot open " + path);
            ReadAll(file.Get(), path, bytes);
            if (state) SwitchEnable(bytes, *state);
            // The switch keeps the size, so the bytes simply go over the old ones: truncating
            // first would make ext4 flush the file on close, which is no longer "plain".
            if (::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
                ThrowLastError(L"Cannot write " + path);
            WriteAll(file.Get(), path, bytes);
            ++written;
            return;
        }
        {
            FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) ThrowLastError(L"Cannot open " + path);
            ReadAll(file.Get(), path, bytes);
        }
        if (baseline == Baseline::ReadOnly || !state || !SwitchEnable(bytes, *state)) return;
        const std::wstring temp = path + L".new";
        {
            FileHandle file(
                ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) ThrowLastError(L"Cannot write " + temp);
            WriteAll(file.Get(), temp, bytes);
            if (baseline == Baseline::Durable && !::FlushFileBuffers(file.Get()))
                ThrowLastError(L"Cannot flush " + temp);
        }
        DWORD flags = MOVEFILE_REPLACE_EXISTING | (baseline == Baseline::Durable ? MOVEFILE_WRITE_THROUGH : 0);
        if (!::MoveFileExW(temp.c_str(), path.c_str(), flags)) ThrowLastError(L"Cannot replace " + path);
        ++written;
    });
    return written;
}
