// Which texts can name a profile: a profile is a key below the program's Profiles key,
// so its name is one registry key name, compared without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class ProfileNameCheck {
    Ok,
    Invalid,  // empty, too long for a key name, or holding a backslash
    Exists,   // equal to one of the names listed, without regard to case
};

// name is taken as given (callers trim it first). A backslash is refused because the
// registry would take it as a separator and create nested keys below Profiles.
ProfileNameCheck CheckProfileName(std::wstring_view name, const std::vector<std::wstring>& listed);
