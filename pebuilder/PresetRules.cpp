// Preset names and value names.
#include "pebuilder/PresetRules.h"

namespace {

constexpr size_t kMaxKeyNameLength = 255;

}  // namespace

bool IsPresetKeyName(std::wstring_view name)
{
    return !name.empty() && name.find(L'\\') == std::wstring_view::npos && name.size() <= kMaxKeyNameLength;
}

bool IsStorablePresetName(std::wstring_view name) { return IsPresetKeyName(name) && name != L"none"; }

std::wstring PresetValueName(size_t count)
{
    std::wstring digits = std::to_wstring(count);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), L'0');
    return digits;
}
