// Which texts can name a profile, and the default profile's name.
#include "core/ProfileNames.h"

#include "core/StringTable.h"
#include "core/Text.h"

namespace {

constexpr size_t kMaxKeyNameLength = 255;

}  // namespace

ProfileNameCheck CheckProfileName(std::wstring_view name, const std::vector<std::wstring>& listed)
{
    if (name.empty() || name.size() > kMaxKeyNameLength || name.find(L'\\') != std::wstring_view::npos)
        return ProfileNameCheck::Invalid;
    for (const std::wstring& other : listed)
        if (SameText(name, other)) return ProfileNameCheck::Exists;
    return ProfileNameCheck::Ok;
}

bool IsProfileName(std::wstring_view name) { return CheckProfileName(name, {}) == ProfileNameCheck::Ok; }

std::wstring DefaultProfileName()
{
    const std::wstring& name = Str(RS_601);
    return IsProfileName(name) ? name : StringTable::BuiltIn(RS_601);
}
