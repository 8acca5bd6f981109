// The name of an installation's build lock.
#include "pebuilder/BuildLock.h"

#include <cstdint>

#include "core/Text.h"

std::wstring BuildLockName(std::wstring_view fullFolder)
{
    // FNV-1a over the UTF-16 units of the folder in the case Windows compares names in.
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t unit : UpperCase(ExcludeTrailingBackslash(fullFolder))) {
        hash ^= static_cast<uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring name = L"Global\\Kitwright.Build.";
    for (int shift = 60; shift >= 0; shift -= 4) name += digits[(hash >> shift) & 0xF];
    return name;
}
