// The main window's folder, log and help commands: open the folders a build of the
// selected entry works with in the shell's file browser, PE Builder's log in the text
// editor, and the program's help file.
#pragma once

#include <windows.h>

#include "core/Settings.h"
#include "dialogs/MainFormView.h"

// The PE Builder folder and its plug-in folder, unchecked.
void PEBuilderE1Click(const MainFormView& main, const TCurrentSettings& settings);
void L1Click(const MainFormView& main, const TCurrentSettings& settings);

// The source, build output, ISO image and custom folders of the selected entry's
// settings source; one that is not set or does not exist is reported instead.
void U1Click(const MainFormView& main, const TCurrentSettings& settings);
void B1Click(const MainFormView& main, const TCurrentSettings& settings);
void ISO1Click(const MainFormView& main, const TCurrentSettings& settings);
void C1Click(const MainFormView& main, const TCurrentSettings& settings);

// pebuilder.log of the PE Builder folder in the text editor (notepad.exe when none is
// set), waited for when the settings say so.
void O2Click(const MainFormView& main, const TCurrentSettings& settings);

// The help finder of the help file beside the executable (its name with ".hlp").
void H2Click(HWND owner);
