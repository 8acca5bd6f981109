// Which texts can name a profile.
#include "core/ProfileNames.h"

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
