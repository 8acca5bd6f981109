// The start-up benchmark: from process creation until the main window waits for input.
#include "bench/StartupBench.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "bench/BenchRuns.h"
#include "bench/ProductCalls.h"
#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Text.h"
#include "core/WinError.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/Installation.h"

namespace {

struct Started {
    double ms = 0;
    std::set<std::wstring> modules;  // full paths in lower case, the program's own left out
};

struct WindowSearch {
    DWORD process;
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM search)
{
    auto* s = reinterpret_cast<WindowSearch*>(search);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (process != s->process || !::IsWindowVisible(window) || std::wstring(name) != s->windowClass) return TRUE;
    s->found = window;
    return FALSE;
}

std::set<std::wstring> ModulesOf(HANDLE process)
{
    HMODULE modules[512];
    DWORD needed = 0;
    if (!::EnumProcessModules(process, modules, sizeof modules, &needed)) ThrowLastError(L"Cannot list the modules");
    std::set<std::wstring> paths;
    for (size_t i = 1; i < std::min<size_t>(needed / sizeof(HMODULE), 512); ++i) {
        wchar_t path[MAX_PATH] = {};
        if (::GetModuleFileNameExW(process, modules[i], path, MAX_PATH)) paths.insert(UpperCase(path));
    }
    return paths;
}

// Starts the command, waits until its first thread waits for input, checks that the
// window of windowClass is showing by then, notes the loaded modules and closes it.
Started StartUntilIdle(std::wstring command, const wchar_t* windowClass)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Started s;
    const double start = NowMs();
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        ThrowLastError(L"Cannot start " + command);
    KernelHandle process(info.hProcess), thread(info.hThread);
    const DWORD idle = ::WaitForInputIdle(process.Get(), 60000);
    s.ms = NowMs() - start;
    WindowSearch search{info.dwProcessId, windowClass, nullptr};
    ::EnumWindows(FindShown, reinterpret_cast<LPARAM>(&search));
    if (idle != 0 || !search.found) {
        ::TerminateProcess(process.Get(), 1);
        throw AppError(command + L" did not wait for input with its " + windowClass + L" window showing");
    }
    s.modules = ModulesOf(process.Get());
    ::PostMessageW(search.found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.Get(), 1);
        throw AppError(command + L" did not end when its window was closed");
    }
    return s;
}

std::wstring Beside(const wchar_t* name) { return L"\"" + ExtractFileDir(ExecutablePath()) + L"\\" + name + L"\""; }

}  // namespace

void RunStartupBench(const std::wstring& root, const PluginTree& tree, int rounds, const std::wstring& versus)
{
    // The profile "Bench" on the tree, with a Plugin Builder that already knows its
    // plug-in folder: a start has nothing to write there.
    const std::wstring pluginBuilder = root + L"\\PluginBuilder";
    ::CreateDirectoryW(pluginBuilder.c_str(), nullptr);
    const std::wstring ini = PluginBuilderIniPath(pluginBuilder);
    WriteWholeFile(ini, WideToAnsi(L"[System]\r\nPluginPath=" + tree.PluginFolder() + L"\r\nSourcePath=C:\\XPSource\r\n\r\n"));
    WriteWholeFile(InputInfPath(tree.peBuilder), "[input]\r\nsource=C:\\XPSource\r\n");
    WriteRegString(kSystemKey, RegName::Profile, L"Bench");
    WriteRegBool(kSystemKey, RegName::ShowProfileList, false);
    WriteRegString(kSystemKey, RegName::PluginBuilder, pluginBuilder);
    WriteRegString(ProfileKey(BenchSettings(tree.peBuilder)), RegName::PEBuilder, tree.peBuilder);
    const uint64_t iniWritten = LastWrite(ini);

    const std::wstring program = Beside(L"Kitwright.exe"), empty = Beside(L"EmptyWindow.exe");
    // The DLLs the program has loaded once idle, which the empty window then loads too.
    const std::set<std::wstring> modules = StartUntilIdle(program, L"TMain_Form").modules;
    std::wstring dlls;
    for (const std::wstring& m : modules) dlls += L" \"" + m + L"\"";

    enum { kProgram, kSameDlls, kBare, kVersus, kKinds };
    const std::string versusLabel = "  " + Narrow(versus) + " (the build before)";
    const char* const labels[] = {"Kitwright.exe until its main window is idle", "  empty window, same DLLs",
                                  "  empty window, bare", versusLabel.c_str()};
    const int kinds = versus.empty() ? kVersus : kKinds;
    std::vector<double> ms[kKinds];
    for (int round = 0; round <= rounds; ++round) {
        for (int k = 0; k < kinds; ++k) {
            const int kind = (k + round) % kinds;
            Started s = kind == kProgram  ? StartUntilIdle(program, L"TMain_Form")
                        : kind == kVersus ? StartUntilIdle(Beside(versus.c_str()), L"TMain_Form")
                                          : StartUntilIdle(empty + (kind == kSameDlls ? dlls : L""),
                                                           L"KitwrightEmptyWindow");
            if ((kind == kProgram || kind == kVersus) && s.modules != modules)
                throw AppError(L"Kitwright.exe loaded other DLLs than on its first start");
            if (kind == kSameDlls && !std::includes(s.modules.begin(), s.modules.end(), modules.begin(), modules.end()))
                throw AppError(L"The empty window did not load every DLL that Kitwright.exe loads");
            if (LastWrite(ini) != iniWritten)
                throw AppError(L"Kitwright.exe rewrote " + ini + L" at its start, which has nothing to change");
            if (round > 0) ms[kind].push_back(s.ms);
        }
    }
    std::printf("\nStart-up: %d rounds, each start a fresh process, the order turned each round; %zu DLLs\n"
                "loaded by Kitwright.exe once idle and by the empty window beside it; Plugin_Builder.ini\n"
                "checked unwritten after every start\n",
                rounds, modules.size());
    std::printf("  %-46s %s\n", "process creation until idle", "ms: median (min-max)");
    for (int k = 0; k < kinds; ++k) std::printf("  %-46s %s\n", labels[k], Format(SpreadOf(ms[k]), "%.1f").c_str());
    std::printf("  per-round ratios: median (min-max), n\n");
    const char* const ratioLabels[] = {"", "Kitwright / empty window, same DLLs", "Kitwright / empty window, bare",
                                       "Kitwright / the build before"};
    for (int base = kSameDlls; base < kinds; ++base) {
        std::vector<double> ratios;
        for (size_t i = 0; i < ms[kProgram].size(); ++i) ratios.push_back(ms[kProgram][i] / ms[base][i]);
        std::printf("  %-46s %s, n=%zu\n", ratioLabels[base], Format(SpreadOf(ratios), "%.2f").c_str(), ratios.size());
    }
    if (!versus.empty()) {
        std::vector<double> ratios;
        for (size_t i = 0; i < ms[kVersus].size(); ++i) ratios.push_back(ms[kVersus][i] / ms[kSameDlls][i]);
        std::printf("  %-46s %s, n=%zu\n", "the build before / empty window, same DLLs",
                    Format(SpreadOf(ratios), "%.2f").c_str(), ratios.size());
    }
    std::fflush(stdout);
}
