// The preset editor benchmark: how long the edit command takes until the editor shows
// its check list of a generated installation's plug-ins, painted, beside the plug-in
// scan alone that the command starts with, and the per-round ratios to the scan as
// medians with their range. Each routine runs in a fresh process of its own, in an
// order turned each round; each opening is checked to list every plug-in, and after
// every run the installation is checked unwritten. It prints figures and passes no
// judgement.
//   EditorBench [--runs N] [--root FOLDER] [COUNT ...]   (default: 9 runs, 2000 and 8000)
//   EditorBench --child ROUTINE PEBUILDER COUNT RESULTFILE   (one timed run)
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/PresetCommands.h"
#include "bench/BenchRuns.h"
#include "bench/PluginTree.h"
#include "bench/ProductCalls.h"
#include "core/Error.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "dialogs/preset.h"

namespace {

const wchar_t kPreset[] = L"Half";

// The main window with the benchmark's preset selected.
class BenchView : public MainFormView {
public:
    HWND Owner() const override { return nullptr; }
    UserPrompt& Prompt() const override { return prompt_; }
    int SelectedIndex() const override { return 1; }
    std::wstring SelectedText() const override { return kPreset; }
    int FindEntry(const std::wstring&) const override { return 1; }
    void SelectEntry(int) override {}
    void ReloadPresetList() override {}
    void LB_Click() override {}
    void SetBuildButtonsEnabled(bool) override {}
    void SetPluginSortEnabled(bool) override {}

private:
    mutable MessageBoxPrompt prompt_{nullptr};
};

BOOL CALLBACK FindEditor(HWND window, LPARAM found)
{
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    if (!::IsWindowVisible(window) || std::wstring(name) != L"TPreset_Form") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Runs the command; a watcher thread waits for the editor, has it paint everything now
// (which returns once it has), notes the time and cancels it. Answers milliseconds.
double OpenEditor(const TCurrentSettings& settings, bool edit, size_t expectedItems)
{
    BenchView view;
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<double> shown{0};
    std::atomic<size_t> items{0};
    std::thread watcher([&] {
        HWND editor = nullptr;
        while (!editor) {
            ::EnumThreadWindows(uiThread, FindEditor, reinterpret_cast<LPARAM>(&editor));
            if (!editor) ::Sleep(1);
        }
        ::RedrawWindow(editor, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        shown = NowMs();
        auto* form = dynamic_cast<TPreset_Form*>(Window::FromHandle(editor));
        items = form ? form->CLB1.Count() : 0;
        ::PostMessageW(editor, WM_CLOSE, 0, 0);
    });
    const double start = NowMs();
    if (edit)
        Edit_PresetExecute(view, settings);
    else
        Add_PresetExecute(view, settings);
    watcher.join();
    if (items != expectedItems)
        throw AppError(L"The editor listed " + std::to_wstring(items) + L" plug-ins, not " +
                       std::to_wstring(expectedItems));
    return shown - start;
}

enum Routine { kScan, kAdd, kEdit, kRoutines };
const wchar_t* const kWords[kRoutines] = {L"scan", L"add", L"edit"};

// In a fresh process: what the program has done before its main window takes a
// command (OLE, the common controls, the window font), then the routine alone, timed.
int ChildMain(const std::wstring& word, const std::wstring& peBuilder, size_t count, const std::wstring& result)
{
    const auto* found = std::find(std::begin(kWords), std::end(kWords), word);
    if (found == std::end(kWords)) throw AppError(L"No routine " + word);
    const Routine routine = static_cast<Routine>(found - std::begin(kWords));
    if (FAILED(::OleInitialize(nullptr))) throw AppError(L"Cannot initialise OLE");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    SharedFont(FontSpec{kWindowFontName, kWindowFontSize, SHIFTJIS_CHARSET});
    const TCurrentSettings settings = BenchSettings(peBuilder);

    const double start = NowMs();
    double ms = 0;
    if (routine == kScan) {
        const size_t listed = BenchScanPlugins(settings);
        ms = NowMs() - start;
        if (listed != count) throw AppError(L"The scan found " + std::to_wstring(listed) + L" plug-ins");
    } else {
        ms = OpenEditor(settings, routine == kEdit, count);
    }
    WriteChildResult(result, ms);
    ::OleUninitialize();
    return 0;
}

// The last-write time of every file of the installation's plug-in folder.
std::vector<uint64_t> WriteTimes(const PluginTree& tree)
{
    std::vector<uint64_t> times;
    for (const PlannedPlugin& p : tree.plugins) times.push_back(LastWrite(tree.InfPath(p)));
    return times;
}

void Measure(const std::wstring& root, int count, int runs)
{
    PluginTree tree = PlanPluginTree(root + L"\\PEBuilder" + std::to_wstring(count), count);
    WritePluginTree(tree, false);
    const TCurrentSettings settings = BenchSettings(tree.peBuilder);
    BenchStorePreset(settings, kPreset, tree.PresetKeys());
    const std::vector<uint64_t> written = WriteTimes(tree);

    std::vector<double> ms[kRoutines];
    // Round 0 warms the file cache and is not counted.
    for (int round = 0; round <= runs; ++round) {
        for (int k = 0; k < kRoutines; ++k) {
            const int routine = (k + round) % kRoutines;  // the order turns each round
            const ChildRun run = RunChild(L"--child " + std::wstring(kWords[routine]) + L" \"" + tree.peBuilder +
                                          L"\" " + std::to_wstring(count));
            // Opening and cancelling the editor writes no plug-in: every run starts from
            // the tree as made.
            if (WriteTimes(tree) != written)
                throw AppError(L"After " + std::wstring(kWords[routine]) + L" a plug-in file of " + tree.peBuilder +
                               L" has been written");
            if (round > 0) ms[routine].push_back(run.ms);
        }
    }
    std::printf("\n%d plug-ins, %d rounds, the scan and both openings each in a fresh process, the order\n"
                "turned each round; every opening listed all plug-ins, no plug-in file written\n",
                count, runs);
    std::printf("  %-44s %s\n", "", "ms: median (min-max)");
    std::printf("  %-44s %s\n", "ScanPluginFolder alone", Format(SpreadOf(ms[kScan]), "%.1f").c_str());
    std::printf("  %-44s %s\n", "editor open and painted, new preset", Format(SpreadOf(ms[kAdd]), "%.1f").c_str());
    std::printf("  %-44s %s\n", "editor open and painted, preset of half", Format(SpreadOf(ms[kEdit]), "%.1f").c_str());
    std::printf("  per-round ratios to the scan: median (min-max), n\n");
    for (const auto& [label, routine] : {std::pair{"new preset / scan", kAdd}, std::pair{"preset of half / scan", kEdit}}) {
        std::vector<double> ratios;
        for (size_t i = 0; i < ms[kScan].size(); ++i) ratios.push_back(ms[routine][i] / ms[kScan][i]);
        std::printf("  %-44s %s, n=%zu\n", label, Format(SpreadOf(ratios), "%.2f").c_str(), ratios.size());
    }
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        int runs = 9;
        std::wstring root = L"C:\\KitwrightEditorBench";
        std::vector<int> counts;
        std::vector<std::wstring> args(argv + 1, argv + argc);
        if (args.size() == 5 && args[0] == L"--child")
            return ChildMain(args[1], args[2], static_cast<size_t>(std::stoi(args[3])), args[4]);
        for (size_t i = 0; i < args.size(); ++i) {
            if (args[i] == L"--runs" && i + 1 < args.size())
                runs = std::stoi(args[++i]);
            else if (args[i] == L"--root" && i + 1 < args.size())
                root = args[++i];
            else
                counts.push_back(std::stoi(args[i]));
        }
        if (counts.empty()) counts = {2000, 8000};
        if (runs < 1 || std::any_of(counts.begin(), counts.end(), [](int n) { return n < 4; }))
            throw AppError(L"Bad --runs or plug-in count");
        std::printf("Preset editor benchmark: code page %u, installations below %ls\n", ::GetACP(), root.c_str());
        for (int count : counts) Measure(root, count, runs);
        return 0;
    } catch (const std::exception& error) {
        const auto* app = dynamic_cast<const AppError*>(&error);
        std::fprintf(stderr, "EditorBench: %ls\n", app ? app->Message().c_str() : L"failed");
        return 1;
    }
}
