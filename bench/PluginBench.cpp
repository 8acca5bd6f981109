// The plug-in and start-up benchmark. What a build does to the plug-ins
// (ApplyPresetToPlugins), re-applying the preset in force and the scan alone, beside
// plain Win32 yardsticks, on generated installations; and the program's start until
// its main window is idle, beside an empty window. Every routine runs in a fresh
// process of its own, in an order that turns each round, on a tree restored before it;
// after each run the files it changed and wrote are counted, and a count the round does
// not expect stops the benchmark with an error. It prints medians with their range and
// the per-round ratios to each yardstick, and passes no judgement.
//   PluginBench [--rounds N] [--count N] [--big N] [--root FOLDER]
//   PluginBench --startup [--rounds N] [--count N] [--root FOLDER] [--versus EXE]
//       (start-up alone; EXE: an earlier build of the program beside the benchmark)
//   PluginBench --requests TRACE [--count N] [--root FOLDER]
//       (each routine once, its wineserver requests counted in TRACE, the trace of a
//       server started with wineserver -d1)
//   PluginBench --child ROUTINE PEBUILDER COUNT RESULTFILE   (one timed run)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Baselines.h"
#include "bench/BenchRuns.h"
#include "bench/PluginTree.h"
#include "bench/ProductCalls.h"
#include "bench/ServerRequests.h"
#include "bench/StartupBench.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/WinError.h"

namespace {

enum class Routine { Idle, Apply, Plain, Atomic, Durable, Reapply, ReadOnly, Scan };

struct RoutineName {
    Routine routine;
    const wchar_t* word;  // on the child's command line
    const char* label;
};

const RoutineName kRoutines[] = {
    {Routine::Idle, L"idle", "idle process (reference)"},
    {Routine::Apply, L"apply", "ApplyPresetToPlugins, half change"},
    {Routine::Plain, L"plain", "  yardstick plain: read, write back"},
    {Routine::Atomic, L"atomic", "  yardstick atomic: temp + rename"},
    {Routine::Durable, L"durable", "  yardstick durable: flushed"},
    {Routine::Reapply, L"reapply", "ApplyPresetToPlugins, none change"},
    {Routine::ReadOnly, L"readonly", "  yardstick: read every INF"},
    {Routine::Scan, L"scan", "ScanPluginFolder alone"},
};

const std::pair<Routine, Routine> kRatios[] = {
    {Routine::Apply, Routine::Plain},      {Routine::Apply, Routine::Atomic},   {Routine::Apply, Routine::Durable},
    {Routine::Reapply, Routine::ReadOnly}, {Routine::Scan, Routine::ReadOnly},
};

const RoutineName& NameOf(Routine routine) { return kRoutines[static_cast<size_t>(routine)]; }

// Switching routines start from the tree as made; the others from the preset in force.
bool Switches(Routine r)
{
    return r == Routine::Apply || r == Routine::Plain || r == Routine::Atomic || r == Routine::Durable;
}

std::wstring PresetName(int count) { return L"Half " + std::to_wstring(count); }

void Run(Routine routine, const std::wstring& peBuilder, int count)
{
    const TCurrentSettings settings = BenchSettings(peBuilder);
    const std::wstring plugins = peBuilder + L"\\Plugin";
    switch (routine) {
    case Routine::Idle: break;
    case Routine::Apply:
    case Routine::Reapply: BenchApplyPreset(settings, PresetName(count)); break;
    case Routine::Scan: BenchScanPlugins(settings); break;
    case Routine::Plain: RunBaseline(Baseline::Plain, plugins, PresetWants); break;
    case Routine::Atomic: RunBaseline(Baseline::Atomic, plugins, PresetWants); break;
    case Routine::Durable: RunBaseline(Baseline::Durable, plugins, PresetWants); break;
    case Routine::ReadOnly: RunBaseline(Baseline::ReadOnly, plugins, PresetWants); break;
    }
}

// A generated installation, its two states in memory and what is on disk now.
struct Installation {
    PluginTree tree;
    std::vector<std::string> made, switched;  // each INF file as made, and as the preset wants it
    std::vector<bool> isSwitched;             // the state on disk, as last counted
    size_t changing = 0;                      // files the preset changes
};

Installation MakeInstallation(const std::wstring& root, int count)
{
    Installation in{PlanPluginTree(root + L"\\PEBuilder" + std::to_wstring(count), count), {}, {}, {}, 0};
    WritePluginTree(in.tree, false);
    BenchStorePreset(BenchSettings(in.tree.peBuilder), PresetName(count), in.tree.PresetKeys());
    for (PlannedPlugin p : in.tree.plugins) {
        in.made.push_back(InfBytes(p));
        in.changing += p.enabled != p.inPreset;
        p.enabled = p.inPreset;
        in.switched.push_back(InfBytes(p));
    }
    in.isSwitched.assign(in.made.size(), false);
    return in;
}

size_t CountFiles(const std::wstring& folder)
{
    size_t files = 0;
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return 0;
    do {
        if (data.cFileName[0] == L'.') continue;
        files += data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? CountFiles(folder + L"\\" + data.cFileName) : 1;
    } while (::FindNextFileW(find.Get(), &data));
    return files;
}

// Puts every INF file in the state the routine starts from, writing only those that
// are not; answers the files' last-write times.
std::vector<uint64_t> Restore(Installation& in, bool switched)
{
    std::vector<uint64_t> times;
    for (size_t i = 0; i < in.made.size(); ++i) {
        const std::wstring path = in.tree.InfPath(in.tree.plugins[i]);
        if (in.isSwitched[i] != switched) {
            WriteWholeFile(path, switched ? in.switched[i] : in.made[i]);
            in.isSwitched[i] = switched;
        }
        times.push_back(LastWrite(path));
    }
    return times;
}

struct Counts {
    size_t changed = 0, written = 0;
};

// Reads every INF file back: each must be as made or as switched, and as the routine
// leaves it; counts those whose content changed and those written at all.
Counts Count(Installation& in, const std::vector<uint64_t>& before, Routine routine)
{
    Counts c;
    for (size_t i = 0; i < in.made.size(); ++i) {
        const std::wstring path = in.tree.InfPath(in.tree.plugins[i]);
        const std::string bytes = ReadFileBytes(path);
        const bool wasSwitched = in.isSwitched[i];
        if (bytes == in.switched[i])
            in.isSwitched[i] = true;
        else if (bytes == in.made[i])
            in.isSwitched[i] = false;
        else
            throw AppError(L"After " + std::wstring(NameOf(routine).word) + L" the file " + path +
                           L" is neither as made nor as the preset wants it");
        c.changed += in.isSwitched[i] != wasSwitched && in.made[i] != in.switched[i];
        const uint64_t after = LastWrite(path);
        c.written += before[i] != after;
    }
    const size_t files = CountFiles(in.tree.PluginFolder()), expectedFiles = 2 * in.made.size();
    if (files != expectedFiles)
        throw AppError(L"After " + std::wstring(NameOf(routine).word) + L" the plug-in folder holds " +
                       std::to_wstring(files) + L" files, not " + std::to_wstring(expectedFiles));
    return c;
}

void Expect(Routine routine, const Installation& in, Counts c)
{
    size_t changed = Switches(routine) ? in.changing : 0, written = changed;
    if (routine == Routine::Plain) written = in.made.size();  // in place, every file
    if (c.changed != changed || c.written != written)
        throw AppError(std::wstring(NameOf(routine).word) + L" changed " + std::to_wstring(c.changed) +
                       L" and wrote " + std::to_wstring(c.written) + L" INF files; the round expects " +
                       std::to_wstring(changed) + L" and " + std::to_wstring(written));
}

// One round on one installation: every routine once, in an order turned by the round.
void PlugInRound(Installation& in, int round, std::vector<std::vector<ChildRun>>& runs)
{
    const size_t n = std::size(kRoutines);
    const int count = static_cast<int>(in.made.size());
    for (size_t k = 0; k < n; ++k) {
        const Routine routine = kRoutines[(k + static_cast<size_t>(round)) % n].routine;
        const std::vector<uint64_t> before = Restore(in, !Switches(routine) && routine != Routine::Idle);
        const ChildRun run = RunChild(L"--child " + std::wstring(NameOf(routine).word) + L" \"" + in.tree.peBuilder +
                                      L"\" " + std::to_wstring(count));
        Expect(routine, in, Count(in, before, routine));
        runs[static_cast<size_t>(routine)].push_back(run);
    }
}

void ReportPlugIns(const Installation& in, const std::vector<std::vector<ChildRun>>& runs)
{
    const size_t rounds = runs[0].size();
    std::printf("\n%zu plug-ins, %zu change; %zu rounds, each routine in a fresh process on a restored tree,\n"
                "the order turned each round; every run's changed and written files counted and as expected\n",
                in.made.size(), in.changing, rounds);
    std::printf("  %-38s %s\n", "routine", "ms: median (min-max)           peak working set KiB above idle");
    std::vector<double> idlePeak;
    for (const ChildRun& r : runs[0]) idlePeak.push_back(r.peakKiB);
    const double idle = SpreadOf(idlePeak).median;
    for (const RoutineName& n : kRoutines) {
        std::vector<double> ms, peak;
        for (const ChildRun& r : runs[static_cast<size_t>(n.routine)]) {
            ms.push_back(r.ms);
            peak.push_back(r.peakKiB - idle);
        }
        std::printf("  %-38s %-30s %+.0f\n", n.label, Format(SpreadOf(ms), "%.1f").c_str(), SpreadOf(peak).median);
    }
    std::printf("  per-round ratios: median (min-max), n\n");
    for (const auto& [routine, base] : kRatios) {
        std::vector<double> ratios;
        for (size_t i = 0; i < rounds; ++i)
            ratios.push_back(runs[static_cast<size_t>(routine)][i].ms / runs[static_cast<size_t>(base)][i].ms);
        const std::string pair = std::string(Narrow(NameOf(routine).word)) + " / " + Narrow(NameOf(base).word);
        std::printf("  %-38s %s, n=%zu\n", pair.c_str(), Format(SpreadOf(ratios), "%.2f").c_str(), ratios.size());
    }
    std::fflush(stdout);
}

// Each routine once on its restored tree, checked as in a timed round, with the
// requests its process made of the wineserver.
void ReportRequests(Installation& in, ServerTrace& trace)
{
    const int count = static_cast<int>(in.made.size());
    std::vector<size_t> requests(std::size(kRoutines));
    for (const RoutineName& n : kRoutines) {
        const std::vector<uint64_t> before = Restore(in, !Switches(n.routine) && n.routine != Routine::Idle);
        trace.SkipToEnd();
        const ChildRun run =
            RunChild(L"--child " + std::wstring(n.word) + L" \"" + in.tree.peBuilder + L"\" " + std::to_wstring(count));
        Expect(n.routine, in, Count(in, before, n.routine));
        requests[static_cast<size_t>(n.routine)] = trace.Count(run.firstThread);
    }
    std::printf("\n%zu plug-ins, %zu change; each routine once in a fresh process on a restored tree, its\n"
                "changed and written files counted and as expected; the requests of its threads\n",
                in.made.size(), in.changing);
    std::printf("  %-38s %s\n", "routine", "wineserver requests");
    for (const RoutineName& n : kRoutines)
        std::printf("  %-38s %zu\n", n.label, requests[static_cast<size_t>(n.routine)]);
    std::printf("  ratios, and differences above the idle process\n");
    const double idle = static_cast<double>(requests[static_cast<size_t>(Routine::Idle)]);
    for (const auto& [routine, base] : kRatios) {
        const double r = static_cast<double>(requests[static_cast<size_t>(routine)]);
        const double b = static_cast<double>(requests[static_cast<size_t>(base)]);
        const std::string pair = std::string(Narrow(NameOf(routine).word)) + " / " + Narrow(NameOf(base).word);
        std::printf("  %-38s %.3f, above idle %.3f\n", pair.c_str(), r / b, (r - idle) / (b - idle));
    }
    std::fflush(stdout);
}

int ChildMain(const std::wstring& word, const std::wstring& peBuilder, int count, const std::wstring& result)
{
    auto n =
        std::find_if(std::begin(kRoutines), std::end(kRoutines), [&](const RoutineName& r) { return word == r.word; });
    if (n == std::end(kRoutines)) throw AppError(L"No routine " + word);
    const double start = NowMs();
    Run(n->routine, peBuilder, count);
    WriteChildResult(result, NowMs() - start);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        std::vector<std::wstring> args(argv + 1, argv + argc);
        if (args.size() == 5 && args[0] == L"--child") return ChildMain(args[1], args[2], std::stoi(args[3]), args[4]);

        int rounds = 11, count = 2000, big = 8000;
        std::wstring root = L"C:\\KitwrightBench", versus, trace;
        // Start-up alone, or the server requests: one installation, no timed plug-in rounds.
        const bool startupOnly = !args.empty() && args[0] == L"--startup";
        const bool requestsOnly = args.size() >= 2 && args[0] == L"--requests";
        if (requestsOnly) trace = args[1];
        for (size_t i = startupOnly ? 1 : requestsOnly ? 2 : 0; i < args.size(); i += 2) {
            if (i + 1 == args.size()) throw AppError(L"No value after " + args[i]);
            if (args[i] == L"--rounds")
                rounds = std::stoi(args[i + 1]);
            else if (args[i] == L"--count")
                count = std::stoi(args[i + 1]);
            else if (args[i] == L"--big")
                big = std::stoi(args[i + 1]);
            else if (args[i] == L"--root")
                root = args[i + 1];
            else if (args[i] == L"--versus" && startupOnly)
                versus = args[i + 1];
            else
                throw AppError(L"Unknown argument " + args[i]);
        }
        if (rounds < 1 || count < 4 || big < 4) throw AppError(L"Bad --rounds, --count or --big");

        std::printf("%s benchmark: code page %u, installations below %ls\n",
                    startupOnly ? "Start-up" : requestsOnly ? "Server request" : "Plug-in", ::GetACP(), root.c_str());
        std::vector<Installation> installations;
        std::vector<int> sizes{count};
        if (!startupOnly && !requestsOnly) sizes.push_back(big);
        for (int n : sizes) {
            const double start = NowMs();
            installations.push_back(MakeInstallation(root, n));
            std::printf("  made %d plug-ins with their preset in %.1f s\n", n, (NowMs() - start) / 1000);
            std::fflush(stdout);
        }
        if (requestsOnly) {
            ServerTrace serverTrace(trace);
            ReportRequests(installations[0], serverTrace);
            return 0;
        }
        // Round 0 warms the file cache and is not counted; its files are checked all the same.
        for (Installation& in : installations) {
            if (startupOnly) break;
            std::vector<std::vector<ChildRun>> runs(std::size(kRoutines)), warm(std::size(kRoutines));
            PlugInRound(in, 0, warm);
            for (int round = 1; round <= rounds; ++round) PlugInRound(in, round, runs);
            ReportPlugIns(in, runs);
        }
        RunStartupBench(root, installations[0].tree, rounds, versus);
        return 0;
    } catch (const std::exception& error) {
        const auto* app = dynamic_cast<const AppError*>(&error);
        std::fprintf(stderr, "PluginBench: %ls\n", app ? app->Message().c_str() : L"failed");
        return 1;
    }
}
