// Entry point of Kitwright.exe.
#include <windows.h>
#include <shellapi.h>

#include "app/MainCommands.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "core/Settings.h"
#include "dialogs/ProfileForm.h"

namespace {

std::vector<std::wstring> CommandLineArguments()
{
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> arguments(argv, argv + (argv ? count : 0));
    ::LocalFree(argv);
    return arguments;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // The current profile's settings, which every window shares for the whole run.
    TCurrentSettings CurrentSettings;
    StartupWindows windows;
    windows.runMainWindow = [&CurrentSettings] { RunMainWindow(CurrentSettings, ProgramCommands()); };
    windows.createChooser = [] { return std::unique_ptr<ProfileChooser>(std::make_unique<TProfile_Form>()); };
    return RunStartup(CommandLineArguments(), windows);
}
