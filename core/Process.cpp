// Starting other programs.
#include "core/Process.h"

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/WinError.h"

ChildProcess StartProcess(const std::wstring& commandLine, const ProcessOptions& options)
{
    // The child gets the show state and the like that this program was started with.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    const bool redirect = options.output != nullptr;
    if (redirect) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = options.output;
        startup.hStdError = options.output;
    }

    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    PROCESS_INFORMATION info{};
    const DWORD flags = CREATE_DEFAULT_ERROR_MODE | (redirect                  ? DETACHED_PROCESS
                                                     : options.noConsoleWindow ? CREATE_NO_WINDOW
                                                                               : 0);
    if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, redirect, flags, nullptr,
                          options.currentFolder.empty() ? nullptr : options.currentFolder.c_str(), &startup, &info))
        ThrowLastError(L"Cannot start the program " + commandLine);
    KernelHandle thread(info.hThread);
    ChildProcess child;
    child.process.Reset(info.hProcess);
    child.id = info.dwProcessId;
    return child;
}

uint32_t WaitForProcess(const ChildProcess& child, const std::wstring& commandLine)
{
    return WaitForProcess(child, commandLine, nullptr, INFINITE);
}

uint32_t WaitForProcess(const ChildProcess& child, const std::wstring& commandLine, const std::function<void()>& poll,
                        uint32_t pollMs)
{
    for (;;) {
        DWORD waited = ::WaitForSingleObject(child.process.Get(), poll ? pollMs : INFINITE);
        if (waited == WAIT_FAILED) ThrowLastError(L"Cannot wait for the program " + commandLine);
        if (waited != WAIT_TIMEOUT) break;
        poll();
    }
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(child.process.Get(), &exitCode))
        ThrowLastError(L"Cannot read the exit code of the program " + commandLine);
    return exitCode;
}

uint32_t RunProgram(const std::wstring& commandLine, bool wait)
{
    ChildProcess child = StartProcess(commandLine);
    if (!wait) return 0;
    // Blocks this thread, windows included, until the program ends.
    return WaitForProcess(child, commandLine);
}

namespace {

// Nothing when the start cannot be asked.
std::optional<uint64_t> StartOf(HANDLE process)
{
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return std::nullopt;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

ProcessStamp CurrentProcessStamp()
{
    return {::GetCurrentProcessId(), StartOf(::GetCurrentProcess()).value_or(0)};
}

bool IsProcessRunning(const ProcessStamp& stamp)
{
    if (stamp.id == ::GetCurrentProcessId()) return CurrentProcessStamp().started == stamp.started;
    KernelHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, stamp.id));
    DWORD code = 0;
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
    if (!::GetExitCodeProcess(process.Get(), &code) || code != STILL_ACTIVE) return false;
    std::optional<uint64_t> started = StartOf(process.Get());
    return stamp.started == 0 || !started || *started == 0 || *started == stamp.started;
}

CapturedRun RunCaptured(const std::wstring& commandLine, const std::wstring& currentFolder,
                        const std::wstring& outputPath)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    FileHandle output(::CreateFileW(outputPath.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!output) ThrowLastError(L"Cannot create the file " + outputPath);

    CapturedRun run;
    {
        ChildProcess child = StartProcess(commandLine, ProcessOptions{currentFolder, output.Get()});
        run.exitCode = WaitForProcess(child, commandLine);
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(output.Get(), &size);
    run.output.resize(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, 1 << 20)));
    DWORD done = 0;
    ::SetFilePointer(output.Get(), 0, nullptr, FILE_BEGIN);
    if (run.output.empty() ||
        !::ReadFile(output.Get(), run.output.data(), static_cast<DWORD>(run.output.size()), &done, nullptr))
        done = 0;
    run.output.resize(done);
    return run;
}

std::wstring CurrentUserSid()
{
    KernelHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return L"";
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    wchar_t* sid = nullptr;
    if (!size || !::GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size) ||
        !::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid))
        return L"";
    std::wstring text = sid;
    ::LocalFree(sid);
    return text;
}

KernelHandle MakeSharedMutex(const std::wstring& name, bool anyUser)
{
    // Full access for the system, the administrators and the user (or everyone); without
    // the user's name, the default rules.
    const std::wstring user = anyUser ? L"WD" : CurrentUserSid();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!user.empty())
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            (L"D:(A;;GA;;;SY)(A;;GA;;;BA)(A;;GA;;;" + user + L")").c_str(), SDDL_REVISION_1, &descriptor, nullptr);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    KernelHandle mutex(::CreateMutexW(&attributes, FALSE, name.c_str()));
    const DWORD error = ::GetLastError();
    if (descriptor) ::LocalFree(descriptor);
    ::SetLastError(error);
    return mutex;
}
