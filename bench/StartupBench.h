// The program's start until its main window waits for input, beside an empty window
// that loads the same DLLs and a bare empty window, each in a fresh process.
#pragma once

#include <string>

#include "bench/PluginTree.h"

// Kitwright.exe and EmptyWindow.exe lie beside the benchmark; the program starts on
// the profile "Bench" naming the installation tree.
void RunStartupBench(const std::wstring& root, const PluginTree& tree, int rounds);
