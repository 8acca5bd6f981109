// The folder, log and help commands, with recorders in place of the file browser, the
// help viewer and the text editor.
#include <gtest/gtest.h>

#include "app/FolderCommands.h"
#include "core/Files.h"
#include "core/Registry.h"
#include "core/Shell.h"
#include "tests/support/RecordedStarts.h"
#include "tests/support/TestSupport.h"

TEST(Measure, WhatExplorerGets)
{
    RecordedStarts starts;
    ScratchFolder scratch;
    ShellOpen(nullptr, scratch.Path() + L"\\");
    for (auto& s : starts.WaitFor(1)) std::wcout << s.program << L" [" << s.given << L"]" << std::endl;
    ::WinHelpW(nullptr, L"C:\\x\\Kit.hlp", HELP_FINDER, 0);
    for (auto& s : starts.WaitFor(2)) std::wcout << s.program << L" [" << s.given << L"]" << std::endl;
}
