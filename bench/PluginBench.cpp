// The plug-in benchmark: times what a build does to the plug-ins (ApplyPresetToPlugins)
// beside plain Win32 yardsticks, and the plug-in scan alone, as medians of interleaved
// runs on a generated installation, and measures each routine's peak working set in a
// fresh process. It prints figures and passes no judgement.
//   PluginBench [--runs N] [--count N] [--big N] [--root FOLDER]
//   PluginBench --peak ROUTINE PEBUILDER COUNT   (the child: exit code = peak in KiB)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Baselines.h"
#include "bench/PluginTree.h"
#include "bench/ProductCalls.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/WinError.h"

namespace {

enum class Routine { Idle, Apply, Reapply, Scan, Plain, Atomic, Durable, ReadOnly };

struct RoutineName {
    Routine routine;
    const wchar_t* word;  // on the child's command line
    const char* label;
};

const RoutineName kRoutines[] = {
    {Routine::Idle, L"idle", "idle process (reference)"},
    {Routine::Apply, L"apply", "ApplyPresetToPlugins, half change"},
    {Routine::Plain, L"plain", "  baseline plain: read, write back"},
    {Routine::Atomic, L"atomic", "  baseline atomic: temp + rename"},
    {Routine::Durable, L"durable", "  baseline durable: flushed (limit)"},
    {Routine::Reapply, L"reapply", "ApplyPresetToPlugins, none change"},
    {Routine::ReadOnly, L"readonly", "  baseline: read every INF"},
    {Routine::Scan, L"scan", "ScanPluginFolder alone"},
};

// Which yardstick each routine is set against: the program's switch against all three.
std::vector<Routine> BaselinesOf(Routine routine)
{
    switch (routine) {
    case Routine::Apply: return {Routine::Plain, Routine::Atomic, Routine::Durable};
    case Routine::Reapply:
    case Routine::Scan: return {Routine::ReadOnly};
    default: return {};
    }
}

const RoutineName& NameOf(Routine routine)
{
    return *std::find_if(std::begin(kRoutines), std::end(kRoutines),
                         [&](const RoutineName& n) { return n.routine == routine; });
}

std::wstring PresetName(int count) { return L"Half " + std::to_wstring(count); }

std::wstring PeBuilderFolder(const std::wstring& root, int count)
{
    return root + L"\\PEBuilder" + std::to_wstring(count);
}

void Run(Routine routine, const std::wstring& peBuilder, int count)
{
    const TCurrentSettings settings = BenchSettings(peBuilder);
    switch (routine) {
    case Routine::Idle: break;
    case Routine::Apply:
    case Routine::Reapply: BenchApplyPreset(settings, PresetName(count)); break;
    case Routine::Scan: BenchScanPlugins(settings); break;
    case Routine::Plain: RunBaseline(Baseline::Plain, peBuilder + L"\\Plugin", PresetWants); break;
    case Routine::Atomic: RunBaseline(Baseline::Atomic, peBuilder + L"\\Plugin", PresetWants); break;
    case Routine::Durable: RunBaseline(Baseline::Durable, peBuilder + L"\\Plugin", PresetWants); break;
    case Routine::ReadOnly: RunBaseline(Baseline::ReadOnly, peBuilder + L"\\Plugin", PresetWants); break;
    }
}

double Milliseconds(Routine routine, const std::wstring& peBuilder, int count)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    Run(routine, peBuilder, count);
    ::QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A generated installation on disk with its preset in the registry.
PluginTree MakeInstallation(const std::wstring& root, int count)
{
    PluginTree tree = PlanPluginTree(PeBuilderFolder(root, count), count);
    WritePluginTree(tree, false);
    BenchStorePreset(BenchSettings(tree.peBuilder), PresetName(count), tree.PresetKeys());
    return tree;
}

// Puts back the files a switching routine changes, or switches them for one that
// expects the preset in force.
void Prepare(Routine routine, const PluginTree& tree, int count)
{
    WritePluginTree(tree, true);
    if (routine == Routine::Reapply || routine == Routine::ReadOnly || routine == Routine::Scan)
        Run(Routine::Apply, tree.peBuilder, count);
}

void CheckSwitched(Routine routine, const PluginTree& tree)
{
    size_t wrong = CountWrongStates(tree);
    if (wrong) throw AppError(std::to_wstring(wrong) + L" INF files are not switched after " + NameOf(routine).word);
}

void TimeRoutines(const PluginTree& tree, int count, int runs)
{
    const std::vector<Routine> switching = {Routine::Apply, Routine::Plain, Routine::Atomic, Routine::Durable};
    const std::vector<Routine> reading = {Routine::Reapply, Routine::ReadOnly, Routine::Scan};
    std::vector<std::vector<double>> times(std::size(kRoutines));
    // Round 0 warms the caches and checks that every routine leaves the preset in force.
    for (int round = 0; round <= runs; ++round) {
        for (const std::vector<Routine>& group : {switching, reading}) {
            for (size_t i = 0; i < group.size(); ++i) {
                Routine routine = group[(i + round) % group.size()];
                if (&group == &switching) WritePluginTree(tree, true);
                double ms = Milliseconds(routine, tree.peBuilder, count);
                if (round == 0 && &group == &switching) CheckSwitched(routine, tree);
                if (round > 0) times[static_cast<size_t>(routine)].push_back(ms);
            }
        }
        if (round == 0) CheckSwitched(Routine::Reapply, tree);
    }

    std::printf("\nTimes: %d plug-ins, %zu of them change; median of %d interleaved runs, tree restored before each\n",
                count, tree.ChangedByPreset(), runs);
    std::printf("  %-38s %10s   %s\n", "routine", "ms", "ratio to baseline");
    for (const RoutineName& n : kRoutines) {
        if (n.routine == Routine::Idle) continue;
        double ms = Median(times[static_cast<size_t>(n.routine)]);
        std::printf("  %-38s %10.1f", n.label, ms);
        for (Routine base : BaselinesOf(n.routine))
            std::printf("   %.2fx %ls", ms / Median(times[static_cast<size_t>(base)]), NameOf(base).word);
        std::printf("\n");
    }
}

DWORD PeakInChild(Routine routine, const std::wstring& peBuilder, int count)
{
    std::wstring command = L"\"" + ExecutablePath() + L"\" --peak " + NameOf(routine).word + L" \"" + peBuilder +
                           L"\" " + std::to_wstring(count);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        ThrowLastError(L"Cannot start " + command);
    KernelHandle process(info.hProcess), thread(info.hThread);
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    if (code <= 1) throw AppError(L"The child process failed: " + command);
    return code;
}

void MeasurePeaks(const std::vector<PluginTree>& trees)
{
    std::vector<std::vector<DWORD>> peaks(std::size(kRoutines));
    for (const PluginTree& tree : trees) {
        const int count = static_cast<int>(tree.plugins.size());
        for (const RoutineName& n : kRoutines) {
            Prepare(n.routine, tree, count);
            peaks[static_cast<size_t>(n.routine)].push_back(PeakInChild(n.routine, tree.peBuilder, count));
        }
    }
    std::printf("\nPeak working set in KiB, one run in a fresh process each; above the idle process in brackets\n");
    std::printf("  %-38s", "routine");
    for (const PluginTree& tree : trees) std::printf(" %13zu plug-ins", tree.plugins.size());
    std::printf("\n");
    auto peakOf = [&](Routine r, size_t t) { return static_cast<long>(peaks[static_cast<size_t>(r)][t]); };
    auto aboveIdle = [&](Routine r, size_t t) { return peakOf(r, t) - peakOf(Routine::Idle, t); };
    for (const RoutineName& n : kRoutines) {
        std::printf("  %-38s", n.label);
        for (size_t t = 0; t < trees.size(); ++t)
            std::printf(" %10ld (%+9ld)", peakOf(n.routine, t), aboveIdle(n.routine, t));
        std::printf("\n");
    }
    std::printf("  ratio to baseline: whole peak (above idle)\n");
    for (const RoutineName& n : kRoutines) {
        for (Routine base : BaselinesOf(n.routine)) {
            std::wstring pair = std::wstring(n.word) + L" / " + NameOf(base).word;
            std::printf("  %-38ls", pair.c_str());
            for (size_t t = 0; t < trees.size(); ++t) {
                double whole = static_cast<double>(peakOf(n.routine, t)) / static_cast<double>(peakOf(base, t));
                long baseAbove = std::max(aboveIdle(base, t), 1L);
                std::printf(" %9.2fx (%8.1fx)", whole,
                            static_cast<double>(aboveIdle(n.routine, t)) / static_cast<double>(baseAbove));
            }
            std::printf("\n");
        }
    }
}

int ChildMain(const std::wstring& word, const std::wstring& peBuilder, int count)
{
    auto n =
        std::find_if(std::begin(kRoutines), std::end(kRoutines), [&](const RoutineName& r) { return word == r.word; });
    if (n == std::end(kRoutines)) throw AppError(L"No routine " + word);
    Run(n->routine, peBuilder, count);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
        ThrowLastError(L"Cannot read the process's memory counters");
    return static_cast<int>(counters.PeakWorkingSetSize / 1024);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        std::vector<std::wstring> args(argv + 1, argv + argc);
        if (args.size() == 4 && args[0] == L"--peak") return ChildMain(args[1], args[2], std::stoi(args[3]));

        int runs = 9, count = 2000, big = 8000;
        std::wstring root = L"C:\\KitwrightBench";
        for (size_t i = 0; i + 1 < args.size(); i += 2) {
            if (args[i] == L"--runs")
                runs = std::stoi(args[i + 1]);
            else if (args[i] == L"--count")
                count = std::stoi(args[i + 1]);
            else if (args[i] == L"--big")
                big = std::stoi(args[i + 1]);
            else if (args[i] == L"--root")
                root = args[i + 1];
            else
                throw AppError(L"Unknown argument " + args[i]);
        }
        if (runs < 1 || count < 4 || big < 4) throw AppError(L"Bad --runs, --count or --big");

        std::printf("Plug-in benchmark: code page %u, installations below %ls\n", ::GetACP(), root.c_str());
        std::vector<PluginTree> trees;
        for (int n : {count, big}) {
            double start = static_cast<double>(::GetTickCount());
            trees.push_back(MakeInstallation(root, n));
            std::printf("  made %d plug-ins with their preset in %.1f s\n", n, (::GetTickCount() - start) / 1000);
            std::fflush(stdout);
        }
        TimeRoutines(trees[0], count, runs);
        std::fflush(stdout);
        MeasurePeaks(trees);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "PluginBench: %s\n", error.what());
        return 1;
    }
}
