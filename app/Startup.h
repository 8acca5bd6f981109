// Start-up: string table, command line, settings migration, profile chooser, main window.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/ProfileChooser.h"

// The text of the taskbar button.
inline const wchar_t kApplicationTitle[] = L"Kitwright";

// The windows start-up opens; either may be empty while the program has no such window.
struct StartupWindows {
    std::function<std::unique_ptr<ProfileChooser>()> createChooser;
    // Creates the main window and runs the message loop until it has closed.
    std::function<void()> runMainWindow;
};

// Runs the program from its first step to its end. The exit code is 0, except for the
// switches that work with no window (an unattended build, the preset files), which
// give their own.
int RunStartup(const std::vector<std::wstring>& arguments, const StartupWindows& windows);

// The steps, each also used on its own by the tests.
void ResetSettings();                 // erases every setting and says so
void MigrateSingleProfileSettings();  // the layout from before profiles existed
// Shows the chooser; true when the program goes on to its main window.
bool RunChooserStep(ProfileChooser& chooser);
