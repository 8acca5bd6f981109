// Text and path helpers of the portable logic: trimming, case-blind comparison, numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Removes blanks and control characters (everything up to U+0020) from both ends.
std::wstring Trim(std::wstring_view text);
std::wstring TrimRight(std::wstring_view text);

// Case folding as the registry and Windows' case-blind comparisons do it for the
// scripts users meet here (Latin, Greek, Cyrillic, full-width forms).
wchar_t FoldCase(wchar_t c);
std::wstring UpperCase(std::wstring_view text);
bool SameText(std::wstring_view a, std::wstring_view b);
int CompareText(std::wstring_view a, std::wstring_view b);
bool StartsWithText(std::wstring_view text, std::wstring_view prefix);

// Replaces every occurrence of pattern, found without regard to case, by value.
std::wstring ReplaceAllText(std::wstring_view text, std::wstring_view pattern, std::wstring_view value);

// A 32-bit integer as the program reads numbers from text: an optional sign and
// decimal digits, or hexadecimal after "$", "0x" or "0X" (up to 8 digits after any
// leading zeros, taken as the bits of the value). Anything else, the empty text included, is no number.
std::optional<int32_t> ParseInteger(std::wstring_view text);

// Paths keep backslashes; folders are held without a trailing one.
std::wstring ExcludeTrailingBackslash(std::wstring_view path);  // removes one
std::wstring IncludeTrailingBackslash(std::wstring_view path);
std::wstring ExtractFileDir(std::wstring_view path);   // up to the last '\' or ':'
std::wstring ExtractFileName(std::wstring_view path);  // after the last '\' or ':'
std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view extension);

// Whether the plain form of a path ending in this file name reaches a device rather
// than a file: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$ and CONOUT$ in
// any letter case, alone or followed by blanks, an extension or a colon ("nul.inf").
bool IsDosDeviceName(std::wstring_view name);

// folder relative to base, both full paths: common leading names dropped (compared
// without regard to case), one "..\" per remaining name of base, then the remaining
// names of folder, each followed by '\'. On different drives: folder with a '\'.
std::wstring RelativePath(std::wstring_view folder, std::wstring_view base);

// Splits at CR LF, LF or CR; a final line end opens no further line.
std::vector<std::wstring> SplitLines(std::wstring_view text);
