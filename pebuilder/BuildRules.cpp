// The build's decisions on the custom toggles and on PE Builder's log.
#include "pebuilder/BuildRules.h"

#include "core/Text.h"

namespace {

int Cell(const std::vector<int>& toggles, size_t column) { return column < toggles.size() ? toggles[column] : 0; }

}  // namespace

bool SkipsBuild(int versionClass, const std::vector<int>& toggles)
{
    if (versionClass <= 0) return Cell(toggles, 0) == 0;
    return Cell(toggles, 0) == 0 && Cell(toggles, 1) == 0;
}

bool LogShowsSuccess(const std::vector<std::wstring>& logLines)
{
    if (logLines.empty()) return false;
    const std::wstring& last = logLines.back();
    return last.find(L"Terminated by user...") == std::wstring::npos && last.find(L"[<<]") == std::wstring::npos;
}

std::vector<std::wstring> ToggleNames(int versionClass)
{
    if (versionClass <= 0) return {L"build", L"iso"};
    if (versionClass == 1) return {L"registry", L"files", L"iso"};
    return {L"registry", L"files", L"iso", L"cd"};
}

NamedToggles TogglesSkipping(int versionClass, const std::vector<std::wstring>& skipped)
{
    const std::vector<std::wstring> names = ToggleNames(versionClass);
    NamedToggles toggles{std::vector<int>(names.size(), 1), L""};
    for (const std::wstring& skip : skipped) {
        size_t column = 0;
        while (column < names.size() && !SameText(names[column], skip)) ++column;
        if (column == names.size()) {
            toggles.unknown = skip;
            break;
        }
        toggles.cells[column] = 0;
    }
    return toggles;
}
