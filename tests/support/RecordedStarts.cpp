// The recorder's file, read back.
#include "tests/support/RecordedStarts.h"

#include <gtest/gtest.h>

#include "core/Files.h"
#include "core/Text.h"

void PrintTo(const RecordedStart& start, std::ostream* os)
{
    *os << testing::PrintToString(start.program) << " " << testing::PrintToString(start.given);
}

std::vector<std::wstring> RecordedStart::Argv() const
{
    std::vector<std::wstring> argv;
    for (size_t start = 0, end; (end = given.find(L'\x1f', start)) != std::wstring::npos; start = end + 1)
        argv.push_back(given.substr(start, end - start));
    return argv;
}

RecordedStarts::RecordedStarts(bool argv) : path_(folder_ / L"starts.txt")
{
    ::SetEnvironmentVariableW(L"KW_RECORD", path_.c_str());
    if (argv) ::SetEnvironmentVariableW(L"KW_RECORD_ARGV", L"1");
}

RecordedStarts::~RecordedStarts()
{
    ::SetEnvironmentVariableW(L"KW_RECORD", nullptr);
    ::SetEnvironmentVariableW(L"KW_RECORD_ARGV", nullptr);
}

std::vector<RecordedStart> RecordedStarts::Now() const
{
    std::vector<RecordedStart> starts;
    std::optional<std::string> bytes = TryReadFileBytes(path_);
    if (!bytes) return starts;
    // The recorder writes UTF-8 without a byte-order mark.
    for (const std::wstring& line : SplitLines(DecodeText("\xEF\xBB\xBF" + *bytes, TextEncoding::Utf8Bom))) {
        size_t tab = line.find(L'\t');
        if (tab == std::wstring::npos) continue;
        starts.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return starts;
}

std::vector<RecordedStart> RecordedStarts::WaitFor(size_t count, DWORD timeoutMs) const
{
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    std::vector<RecordedStart> starts = Now();
    while (starts.size() < count && ::GetTickCount64() < end) {
        ::Sleep(20);
        starts = Now();
    }
    return starts;
}
