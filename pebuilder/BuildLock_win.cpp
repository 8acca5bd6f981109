// An installation's build lock: the named mutex.
#include "pebuilder/BuildLock.h"

#include <windows.h>

#include <vector>

#include "core/Handles.h"
#include "core/Process.h"
#include "core/WinError.h"

namespace {

// A Win32 call that fills a buffer and answers the length it needs when it is short.
template <typename Call>
std::wstring Filled(const std::wstring& fallback, Call call)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return fallback;
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

}  // namespace

std::wstring FullFolderPath(const std::wstring& folder)
{
    std::wstring full = Filled(
        folder, [&](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(folder.c_str(), size, buffer, nullptr); });
    return Filled(full, [&](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(full.c_str(), buffer, size); });
}

BuildLock::BuildLock(const std::wstring& folder, const std::function<void()>& waiting)
{
    const std::wstring name = BuildLockName(FullFolderPath(folder));
    // Any user's build of the folder waits for it, elevated or not.
    KernelHandle mutex = MakeSharedMutex(name, true);
    if (!mutex) ThrowLastError(L"Cannot make the build lock " + name + L" of the PE Builder folder " + folder);
    DWORD waited = ::WaitForSingleObject(mutex.Get(), 0);
    if (waited == WAIT_TIMEOUT) {
        if (waiting) waiting();
        waited = ::WaitForSingleObject(mutex.Get(), INFINITE);
    }
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
        ThrowLastError(L"Cannot wait for the build lock of the PE Builder folder " + folder);
    mutex_ = mutex.Release();
}

BuildLock::~BuildLock()
{
    ::ReleaseMutex(mutex_);
    ::CloseHandle(mutex_);
}
