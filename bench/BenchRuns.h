// What the benchmarks share: timed runs in fresh processes of the benchmark's own
// program, and figures as a median with their range.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

double NowMs();  // a monotonic clock in milliseconds
// The file's last-write time; AppError naming it when it cannot be asked.
uint64_t LastWrite(const std::wstring& path);

// One timed run in a child process: what the child measured of its routine.
struct ChildRun {
    double ms = 0;
    double peakKiB = 0;        // the child's peak working set
    uint32_t firstThread = 0;  // the id of the child's first thread
};

// Starts this program again with arguments and a result file appended, waits for it
// and reads what it wrote; AppError when it fails or writes nothing.
ChildRun RunChild(const std::wstring& arguments);
// In the child: writes the routine's time and the process's peak working set.
void WriteChildResult(const std::wstring& resultFile, double ms);

struct Spread {
    double median = 0, min = 0, max = 0;
    size_t n = 0;
};
Spread SpreadOf(std::vector<double> values);
// "median (min-max)" with each figure in the printf format given.
std::string Format(const Spread& spread, const char* format);
std::string Narrow(const std::wstring& ascii);
