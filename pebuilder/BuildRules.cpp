// The build's decisions on the custom toggles and on PE Builder's log.
#include "pebuilder/BuildRules.h"

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
