// The drive part of a path, and the volume root the NTFS test asks the system about.
#include "core/DriveRoot.h"

std::wstring ExtractFileDrive(std::wstring_view path)
{
    if (path.size() >= 2 && path[1] == L':') return std::wstring(path.substr(0, 2));
    if (path.size() < 2 || path[0] != L'\\' || path[1] != L'\\') return {};
    // "\\server\share": stop before the second backslash after the leading pair. The
    // last character never counts as a separator, so "\\server\" gives "\\server".
    size_t end = 2;
    int separators = 0;
    while (end + 1 < path.size() && separators < 2) {
        if (path[end] == L'\\') ++separators;
        if (separators < 2) ++end;
    }
    if (end < path.size() && path[end] == L'\\') return std::wstring(path.substr(0, end));
    return std::wstring(path.substr(0, end + 1));
}

std::wstring NtfsQueryRoot(std::wstring_view path)
{
    return ExtractFileDrive(path.substr(0, path.find(L':', 3))) + L'\\';
}
