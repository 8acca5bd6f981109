// The drive part of a path, and the volume root the NTFS test asks the system about.
#pragma once

#include <string>
#include <string_view>

// "C:" for a path whose second character is ':', "\\server\share" for a UNC path
// (as much of it as there is), else empty.
std::wstring ExtractFileDrive(std::wstring_view path);

// The root IsNtfsVolume queries: the path cut before the first ':' at or after its
// fourth character (a stream or a stray colon, never the drive letter's), then its
// drive part with '\' added; no drive part gives "\", the current drive's root.
std::wstring NtfsQueryRoot(std::wstring_view path);
