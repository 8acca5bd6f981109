// Wineserver requests of one child process, counted from the trace that a server
// started with debugging on (wineserver -d1) writes: one reply line per request,
// "TID: name() = STATUS ...", where TID is the requesting thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads the trace as it grows; each Count covers what was written since the last.
class ServerTrace {
public:
    explicit ServerTrace(std::wstring path);  // AppError when the trace is not there
    // Skips what the trace holds now.
    void SkipToEnd();
    // The requests made since the last call by the thread firstThread and by the
    // threads it and they created (the whole of a child process, when given its first
    // thread); AppError when the trace holds none of them.
    size_t Count(uint32_t firstThread);

private:
    std::string ReadNew();
    std::wstring path_;
    uint64_t offset_ = 0;
};

// The same count over trace text already read: the pure part, kept apart for testing.
size_t CountThreadRequests(std::string_view trace, uint32_t firstThread);
