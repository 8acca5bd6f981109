// Plugin_Builder.exe stand-in: records how it was started into Plugin_Builder.record
// beside itself and ends; Plugin_Builder.sim may choose a delay and an exit code.
#include <windows.h>

#include "core/Error.h"
#include "standins/common/StandIn.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    try {
        IniDocument record;
        RecordStart(record);
        SaveRecord(ExeFolder() + L"\\Plugin_Builder.record", record);
        IniDocument settings = LoadSimulatorSettings(L"Plugin_Builder.sim");
        SimulateDelay(settings);
        return settings.ReadInteger(L"Simulator", L"ExitCode", 0);
    } catch (const AppError& error) {
        ::OutputDebugStringW(error.Message().c_str());
        return 1;
    }
}
