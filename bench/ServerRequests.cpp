// Counting a child process's wineserver requests in the server's trace.
#include "bench/ServerRequests.h"

#include <windows.h>

#include <cstdlib>
#include <set>

#include "core/Error.h"
#include "core/Handles.h"
#include "core/WinError.h"

namespace {

// The thread id before ": " at the start of a trace line, if the line has one.
bool ThreadOf(std::string_view line, uint32_t& thread)
{
    const size_t colon = line.find(": ");
    if (colon == 0 || colon == std::string_view::npos || colon > 8) return false;
    uint32_t id = 0;
    for (char c : line.substr(0, colon)) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        id = id * 16 + static_cast<uint32_t>(digit);
    }
    thread = id;
    return true;
}

}  // namespace

size_t CountThreadRequests(std::string_view trace, uint32_t firstThread)
{
    std::set<uint32_t> threads{firstThread};
    size_t requests = 0;
    while (!trace.empty()) {
        const size_t end = trace.find('\n');
        const std::string_view line = trace.substr(0, end);
        trace.remove_prefix(end == std::string_view::npos ? trace.size() : end + 1);
        uint32_t thread = 0;
        if (!ThreadOf(line, thread) || !threads.count(thread)) continue;
        // A reply: "name() = STATUS"; the request itself is the line "name( args )".
        const std::string_view rest = line.substr(line.find(": ") + 2);
        const size_t reply = rest.find("() = ");
        if (reply == std::string_view::npos || rest.find_first_of(" (") < reply) continue;
        ++requests;
        // A thread the process made for itself: its requests are the process's too.
        if (rest.substr(0, reply) == "new_thread") {
            const size_t tid = rest.find(" tid=", reply);
            if (tid != std::string_view::npos)
                threads.insert(static_cast<uint32_t>(std::strtoul(std::string(rest.substr(tid + 5, 8)).c_str(), nullptr, 16)));
        }
    }
    return requests;
}

ServerTrace::ServerTrace(std::wstring path) : path_(std::move(path))
{
    if (::GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES)
        ThrowLastError(L"Cannot find the server trace " + path_);
}

std::string ServerTrace::ReadNew()
{
    FileHandle file(::CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError(L"Cannot open the server trace " + path_);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset_);
    if (!::SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN)) ThrowLastError(L"Cannot read " + path_);
    std::string text;
    char buffer[1 << 16];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    offset_ += text.size();
    return text;
}

void ServerTrace::SkipToEnd() { ReadNew(); }

size_t ServerTrace::Count(uint32_t firstThread)
{
    const size_t requests = CountThreadRequests(ReadNew(), firstThread);
    if (requests == 0)
        throw AppError(L"The server trace " + path_ + L" holds no request of thread " + std::to_wstring(firstThread) +
                       L": is the server tracing (wineserver -d1)?");
    return requests;
}
