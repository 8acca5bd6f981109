// A child process for the crash-safety tests: rewrites files in a loop until it is
// killed, so that the kill lands at a random moment of a write.
//   fileloop switch PEBUILDER SUFFIX PRESET1 PRESET2   applies the two presets in turn
//   fileloop ini PATH                                   rewrites [input] source in turn
//   fileloop presets SUFFIX TAG ROUNDS                  saves presets as the editor does,
//       ROUNDS times, beside another instance doing the same with another TAG, and ends;
//       it starts when the named event is set, so that both start at once
//   fileloop sort PEBUILDER                             sorts the plug-in folder
// The other modes set the named event given as the last argument after their first round.
#include <windows.h>

#include <cwchar>
#include <string>

#include "core/Error.h"
#include "core/IniFile.h"
#include "core/Messages.h"
#include "core/Settings.h"
#include "pebuilder/PluginSort.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetStore.h"

namespace {

// The plug-in values of one save, each naming its tag and round, so that a mixed or
// partial preset shows.
std::vector<std::wstring> Values(const std::wstring& tag, unsigned round)
{
    std::vector<std::wstring> values;
    for (int i = 0; i < 150; ++i)
        values.push_back(tag + L" " + std::to_wstring(round) + L" " + std::to_wstring(i) + L"::p\\");
    return values;
}

// One round of what editors do: the clean-up of an editor's opening, saves under a new
// name and a rename, a name both instances want at once, Apply and Cancel after it.
void PresetRound(const TCurrentSettings& settings, const std::wstring& tag, unsigned round)
{
    const std::wstring name = tag + L"-" + std::to_wstring(round);
    CleanUpTransientKeys();
    SavePreset(settings, L"", name, Values(tag, round));
    SavePreset(settings, name, name + L" renamed", Values(tag, round));
    try {
        SavePreset(settings, L"", L"Shared-" + std::to_wstring(round), Values(tag, round));
    } catch (const AppError&) {
        // The other instance took the name first; its preset stays.
    }
    // An editor's Apply, a while in which the other instance saves and opens editors,
    // then Cancel.
    WriteAppliedSelection(Values(tag + L" applied", round));
    ::Sleep(20);
    SaveAppliedSelection(settings, L"", name + L" applied");
}

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
    HANDLE started = ::OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, argv[argc - 1]);
    try {
        for (unsigned round = 0;; ++round) {
            if (mode == L"switch" && argc >= 7) {
                TCurrentSettings settings;
                settings.PEBuilder = argv[2];
                settings.ProfileKeySuffix = argv[3];
                ApplyPresetToPlugins(settings, argv[4 + round % 2]);
            } else if (mode == L"presets" && argc >= 6) {
                TCurrentSettings settings;
                settings.ProfileKeySuffix = argv[2];
                if (round == 0 && started) ::WaitForSingleObject(started, 20000);
                if (round == std::wcstoul(argv[4], nullptr, 10)) return 0;
                PresetRound(settings, argv[3], round);
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
