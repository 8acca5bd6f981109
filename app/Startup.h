// Start-up: string table, command line, settings migration, profile chooser, main window.
#pragma once

// Runs the program from its first step to its end; the result is the exit code.
int RunStartup();
