// The program's start until its main window waits for input, beside an empty window
// that loads the same DLLs and a bare empty window, each in a fresh process.
#pragma once

#include <string>

#include "bench/PluginTree.h"

// Kitwright.exe and EmptyWindow.exe lie beside the benchmark; the program starts on
// the profile "Bench" naming the installation tree. A second build of the program
// (versus, an executable beside the benchmark, empty for none) runs in the same rounds,
// so that a change is measured against the build before it under the same load.
void RunStartupBench(const std::wstring& root, const PluginTree& tree, int rounds, const std::wstring& versus = L"");
