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

// Whether name can stand for one profile key by itself (the check without a list).
bool IsProfileName(std::wstring_view name);

// The profile that start-up creates and that stands in when none is stored, or when
// the stored one is no profile name: [Strings] RS_601, or its built-in text when the
// language file gives a text that cannot name a profile (empty, a backslash, too
// long), which would address the Profiles key itself or nested keys below it.
std::wstring DefaultProfileName();
