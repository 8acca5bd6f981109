// A child process for the crash-safety tests: rewrites files in a loop until it is
// killed, so that the kill lands at a random moment of a write.
//   fileloop switch PEBUILDER SUFFIX PRESET1 PRESET2   applies the two presets in turn
//   fileloop ini PATH                                   rewrites [input] source in turn
//   fileloop sort PEBUILDER                             sorts the plug-in folder
// It sets the named event given as the last argument after its first round.
#include <windows.h>

#include <cwchar>
#include <string>

#include "core/Error.h"
#include "core/IniFile.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "pebuilder/PluginSort.h"
#include "pebuilder/Plugins.h"

namespace {

// Says yes to the sort's question.
class Yes : public UserPrompt {
public:
    void Error(const std::wstring&) override {}
    bool Ask(const std::wstring&, const std::wstring&) override { return true; }
    void Inform(const std::wstring&, const std::wstring&) override {}
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) return 255;
    const std::wstring mode = argv[1];
    HANDLE started = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[argc - 1]);
    try {
        for (unsigned round = 0;; ++round) {
            if (mode == L"switch" && argc >= 7) {
                TCurrentSettings settings;
                settings.PEBuilder = argv[2];
                settings.ProfileKeySuffix = argv[3];
                ApplyPresetToPlugins(settings, argv[4 + round % 2]);
            } else if (mode == L"ini" && argc >= 4) {
                // Two values of different lengths, so that a torn write shows.
                WriteIniString(argv[2], L"input", L"source", round % 2 ? L"C:\\short\\" : std::wstring(3000, L'x'));
            } else if (mode == L"sort" && argc >= 4) {
                TCurrentSettings settings;
                settings.PEBuilder = argv[2];
                Yes yes;
                PluginSortClick(settings, yes);
            } else {
                return 255;
            }
            if (round == 0 && started) ::SetEvent(started);
        }
    } catch (const AppError& e) {
        std::fwprintf(stderr, L"%ls\n", e.Message().c_str());
        return 1;
    }
}
