// Timed runs in fresh processes, and figures with their range.
#include "bench/BenchRuns.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>

#include "bench/PluginTree.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/WinError.h"

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

uint64_t LastWrite(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) ThrowLastError(L"Cannot ask " + path);
    return static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

ChildRun RunChild(const std::wstring& arguments)
{
    const std::wstring result = ExecutablePath() + L".result";
    ::DeleteFileW(result.c_str());
    std::wstring command = L"\"" + ExecutablePath() + L"\" " + arguments + L" \"" + result + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        ThrowLastError(L"Cannot start " + command);
    KernelHandle process(info.hProcess), thread(info.hThread);
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.Get(), &code);
    std::optional<std::string> text = TryReadFileBytes(result);
    ChildRun run;
    run.firstThread = info.dwThreadId;
    if (code != 0 || !text || std::sscanf(text->c_str(), "%lf %lf", &run.ms, &run.peakKiB) != 2)
        throw AppError(L"The run failed: " + command);
    return run;
}

void WriteChildResult(const std::wstring& resultFile, double ms)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
        ThrowLastError(L"Cannot read the process's memory counters");
    char text[64];
    std::snprintf(text, sizeof text, "%.3f %lu", ms, static_cast<unsigned long>(counters.PeakWorkingSetSize / 1024));
    WriteWholeFile(resultFile, text);
}

Spread SpreadOf(std::vector<double> values)
{
    Spread s;
    s.n = values.size();
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

std::string Format(const Spread& spread, const char* format)
{
    char median[32], min[32], max[32];
    std::snprintf(median, sizeof median, format, spread.median);
    std::snprintf(min, sizeof min, format, spread.min);
    std::snprintf(max, sizeof max, format, spread.max);
    return std::string(median) + " (" + min + "-" + max + ")";
}

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }
