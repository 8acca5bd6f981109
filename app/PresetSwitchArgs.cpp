// The command line of the preset file switches.
#include "app/PresetSwitchArgs.h"

#include <array>

#include "core/Text.h"

namespace {

struct SwitchWord {
    const wchar_t* word;
    size_t values;
};
constexpr std::array<SwitchWord, 5> kWords{{
    {L"export", 2},
    {L"import", 1},
    {L"profile-name", 1},
    {L"as", 1},
    {L"skip-missing", 0},
}};

// The switch that the argument is, or nothing.
const SwitchWord* SwitchOf(const std::wstring& argument)
{
    if (argument.size() < 2 || (argument[0] != L'-' && argument[0] != L'/')) return nullptr;
    for (const SwitchWord& word : kWords)
        if (SameText(std::wstring_view(argument).substr(1), word.word)) return &word;
    return nullptr;
}

}  // namespace

PresetSwitchParse ParsePresetSwitches(const std::vector<std::wstring>& arguments)
{
    PresetSwitchParse parse;
    std::vector<std::pair<const SwitchWord*, std::vector<std::wstring>>> given;
    std::wstring stray;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const SwitchWord* word = SwitchOf(arguments[i]);
        if (!word) {
            if (stray.empty()) stray = arguments[i];
            continue;
        }
        std::vector<std::wstring> values;
        for (size_t v = 0; v < word->values && i + 1 < arguments.size(); ++v) values.push_back(arguments[++i]);
        if (word == &kWords[0] || word == &kWords[1]) parse.present = true;
        given.emplace_back(word, std::move(values));
    }
    if (!parse.present) return parse;

    PresetSwitches switches;
    bool sawExport = false;
    auto fail = [&](const std::wstring& error) {
        parse.error = error;
        return parse;
    };
    std::vector<const SwitchWord*> seen;
    for (const auto& [word, values] : given) {
        const std::wstring name = std::wstring(L"/") + word->word;
        for (const SwitchWord* earlier : seen)
            if (earlier == word) return fail(name + L" is given twice.");
        seen.push_back(word);
        if (values.size() < word->values)
            return fail(name + L" needs " + std::to_wstring(word->values) + L" value(s).");
        for (const std::wstring& value : values)
            if (value.empty()) return fail(name + L" has an empty value.");
        if (word == &kWords[0]) {
            sawExport = true;
            switches.preset = values[0];
            switches.file = values[1];
        } else if (word == &kWords[1]) {
            switches.import = true;
            switches.file = values[0];
        } else if (word == &kWords[2]) {
            switches.profile = values[0];
        } else if (word == &kWords[3]) {
            switches.as = values[0];
        } else {
            switches.skipMissing = true;
        }
    }
    if (sawExport && switches.import) return fail(L"/export and /import cannot be given together.");
    if (sawExport && (switches.as || switches.skipMissing)) return fail(L"/as and /skip-missing belong to /import.");
    if (!stray.empty()) return fail(L"\"" + stray + L"\" is not a switch or a switch's value here.");
    parse.switches = std::move(switches);
    return parse;
}

std::vector<std::wstring> PresetSwitchUsage()
{
    auto code = [](PresetSwitchExit exit, const wchar_t* meaning) {
        return L"  " + std::to_wstring(static_cast<int>(exit)) + L" " + meaning;
    };
    return {
        L"Kitwright.exe /export \"Preset\" \"File\" [/profile-name \"Profile\"]",
        L"  writes the preset of the profile (else the current one) to a preset file.",
        L"Kitwright.exe /import \"File\" [/profile-name \"Profile\"] [/as \"Name\"] [/skip-missing]",
        L"  stores the file's preset in the profile, under its own name or the name of /as;",
        L"  with /skip-missing also when some of its plug-ins are not in the installation.",
        L"Exit codes:",
        code(kPresetExitDone, L"done"),
        code(kPresetExitFailed, L"failed"),
        code(kPresetExitUsage, L"bad arguments"),
        code(kPresetExitNoProfile, L"no such profile, or no such preset"),
        code(kPresetExitNotPresetFile, L"not a preset file, or damaged"),
        code(kPresetExitMissingPlugins, L"plug-ins missing, or nothing to import"),
        code(kPresetExitNameRefused, L"the name is taken or not valid"),
    };
}
