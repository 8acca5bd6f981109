// mkisofs.exe stand-in: runs the host's genisoimage under Wine with the same arguments,
// Windows paths turned into Unix paths, and passes on its output and exit status.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Wine's own exports; neither exists on Windows.
using UnixSpawnFn = NTSTATUS(WINAPI*)(char* const* argv, int wait);
using UnixFileNameFn = char*(CDECL*)(const wchar_t* dosName);

constexpr const char* kHostProgram = "/usr/bin/genisoimage";
constexpr const wchar_t* kHostProgramSeenFromWine = L"\\\\?\\unix\\usr\\bin\\genisoimage";
constexpr int kNoHost = 127;  // as a shell says "command not found"

// Options whose value names a path inside the image tree, not on the disk: the boot
// image, the boot catalogue and hidden entries. Their values pass unchanged.
bool TakesImagePath(const std::wstring& option)
{
    static const wchar_t* const kOptions[] = {L"-b",    L"-eltorito-boot", L"-c",      L"-eltorito-catalog",
                                              L"-hide", L"-hide-joliet",   L"-hidden", L"-hide-udf",
                                              L"-e",    L"-hide-hfs"};
    for (const wchar_t* name : kOptions)
        if (option == name) return true;
    return false;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(length, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

std::wstring FullPath(const std::wstring& path)
{
    DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    length = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    full.resize(length);
    return full;
}

// The Unix name of a full Windows path, or false when Wine cannot map it. Names that
// do not exist yet (an output file in a missing folder) are mapped below the nearest
// folder that does, so that genisoimage reports them rather than writing a file whose
// Unix name is the whole Windows path.
bool UnixPath(UnixFileNameFn toUnix, const std::wstring& path, std::string& hostPath)
{
    if (char* name = toUnix(path.c_str())) {
        hostPath = name;
        ::HeapFree(::GetProcessHeap(), 0, name);
        return true;
    }
    size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size() || slash < 3) return false;
    if (!UnixPath(toUnix, path.substr(0, slash), hostPath)) return false;
    if (!hostPath.ends_with('/')) hostPath += '/';
    hostPath += Utf8(path.substr(slash + 1));
    return true;
}

// Wine hands a Unix child this process's standard input and output, but its standard
// error is Wine's own. When our standard error is our standard output (the usual
// redirection of both into one file or pipe), the child's is joined to it too.
bool ErrorJoinsOutput()
{
    HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE), error = ::GetStdHandle(STD_ERROR_HANDLE);
    if (!output || output == INVALID_HANDLE_VALUE || ::GetFileType(output) == FILE_TYPE_CHAR) return false;
    if (output == error) return true;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    return ::GetFileInformationByHandle(output, &a) && ::GetFileInformationByHandle(error, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

int Fail(const std::wstring& message, int exitCode)
{
    std::fwprintf(stderr, L"mkisofs.exe (Kitwright's stand-in, not mkisofs): %ls\n", message.c_str());
    return exitCode;
}

}  // namespace

int wmain()
{
    auto spawn = reinterpret_cast<UnixSpawnFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp")));
    auto toUnix = reinterpret_cast<UnixFileNameFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!spawn || !toUnix)
        return Fail(L"it runs the host's genisoimage and so works only under Wine; on Windows it makes no image.",
                    kNoHost);
    if (::GetFileAttributesW(kHostProgramSeenFromWine) == INVALID_FILE_ATTRIBUTES)
        return Fail(L"the host has no /usr/bin/genisoimage (Debian package genisoimage).", kNoHost);

    // The MSVCRT rules, as the program that started us quoted the arguments.
    int count = 0;
    std::unique_ptr<wchar_t*, decltype(&::LocalFree)> args(::CommandLineToArgvW(::GetCommandLineW(), &count),
                                                           &::LocalFree);
    if (!args) return Fail(L"cannot read the command line.", 2);

    // sh runs genisoimage in its own place (exec), so the status is genisoimage's.
    std::vector<std::string> unixArgs{
        "/bin/sh", "-c", ErrorJoinsOutput() ? "exec \"$0\" \"$@\" 2>&1" : "exec \"$0\" \"$@\"", kHostProgram};
    for (int i = 1; i < count; ++i) {
        std::wstring arg = args.get()[i];
        std::wstring option = i > 1 ? args.get()[i - 1] : L"";
        bool isPath = !arg.empty() && arg[0] != L'-' &&
                      (option == L"-o" ||
                       (!TakesImagePath(option) && ::GetFileAttributesW(arg.c_str()) != INVALID_FILE_ATTRIBUTES));
        // Relative paths are the current folder's, which the Unix child does not share.
        std::string hostPath;
        if (isPath && !UnixPath(toUnix, FullPath(arg), hostPath))
            return Fail(L"Wine cannot map the path " + arg + L" to a Unix path.", 2);
        unixArgs.push_back(isPath ? hostPath : Utf8(arg));
    }

    std::vector<char*> argv;
    for (std::string& arg : unixArgs) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    std::fflush(stderr);
    // The child's exit status, or an NTSTATUS error when Wine could not start it.
    NTSTATUS status = spawn(argv.data(), 1);
    if (static_cast<ULONG>(status) >= 0xC0000000u) {
        wchar_t code[16];
        std::swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(status));
        return Fail(L"Wine could not start /bin/sh for genisoimage (status " + std::wstring(code) + L").", kNoHost);
    }
    return static_cast<int>(status);
}
