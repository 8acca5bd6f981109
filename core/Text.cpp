// Text and path helpers of the portable logic.
#include "core/Text.h"

#include <algorithm>

#include "core/DriveRoot.h"

namespace {

bool IsBlank(wchar_t c) { return c <= L' '; }

// The folder names of a path's folder part (everything up to its last backslash),
// without the drive.
std::vector<std::wstring_view> FolderNames(std::wstring_view path)
{
    std::wstring_view rest = path.substr(ExtractFileDrive(path).size());
    size_t last = rest.rfind(L'\\');
    rest = last == std::wstring_view::npos ? std::wstring_view{} : rest.substr(0, last);
    std::vector<std::wstring_view> names;
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring_view::npos) end = rest.size();
        if (end > start) names.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

}  // namespace

std::wstring Trim(std::wstring_view text)
{
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return std::wstring(text.substr(first, last - first));
}

std::wstring TrimRight(std::wstring_view text)
{
    size_t last = text.size();
    while (last > 0 && IsBlank(text[last - 1])) --last;
    return std::wstring(text.substr(0, last));
}

wchar_t FoldCase(wchar_t c)
{
    if (c < 0x80) return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 0x20) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c >= 0x100 && c <= 0x17F) {
        bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x178 || c == 0x17F) return c;
        if (oddUpper) return (c & 1) ? c : static_cast<wchar_t>(c - 1);
        return (c & 1) ? static_cast<wchar_t>(c - 1) : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) return static_cast<wchar_t>(c - 0x20);
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x430 && c <= 0x44F) return static_cast<wchar_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<wchar_t>(c - 0x50);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0x20);
    return c;
}

std::wstring UpperCase(std::wstring_view text)
{
    std::wstring result(text);
    for (wchar_t& c : result) c = FoldCase(c);
    return result;
}

int CompareText(std::wstring_view a, std::wstring_view b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = FoldCase(a[i]), y = FoldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(std::wstring_view a, std::wstring_view b) { return a.size() == b.size() && CompareText(a, b) == 0; }

bool StartsWithText(std::wstring_view text, std::wstring_view prefix)
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::wstring ReplaceAllText(std::wstring_view text, std::wstring_view pattern, std::wstring_view value)
{
    if (pattern.empty()) return std::wstring(text);
    std::wstring folded = UpperCase(text);
    std::wstring key = UpperCase(pattern);
    std::wstring result;
    size_t start = 0;
    for (size_t hit; (hit = folded.find(key, start)) != std::wstring::npos; start = hit + key.size()) {
        result.append(text.substr(start, hit - start));
        result.append(value);
    }
    result.append(text.substr(start));
    return result;
}

std::optional<int32_t> ParseInteger(std::wstring_view text)
{
    if (text.empty()) return std::nullopt;
    bool negative = false;
    size_t i = 0;
    if (text[0] == L'-' || text[0] == L'+') {
        negative = text[0] == L'-';
        i = 1;
    }
    std::wstring_view digits = text.substr(i);
    if (!digits.empty() && digits[0] == L'$') {
        digits.remove_prefix(1);
    } else if (digits.size() >= 2 && digits[0] == L'0' && (digits[1] == L'x' || digits[1] == L'X')) {
        digits.remove_prefix(2);
    } else {
        if (digits.empty()) return std::nullopt;
        int64_t value = 0;
        for (wchar_t c : digits) {
            if (c < L'0' || c > L'9') return std::nullopt;
            value = value * 10 + (c - L'0');
            if (value > 2147483648LL) return std::nullopt;
        }
        if (negative) value = -value;
        if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
        return static_cast<int32_t>(value);
    }
    if (digits.empty()) return std::nullopt;
    // Leading zeros carry no bits: "$000000001F" is 31, like "$1F".
    size_t significant = digits.find_first_not_of(L'0');
    if (significant != std::wstring_view::npos && digits.size() - significant > 8) return std::nullopt;
    uint32_t bits = 0;
    for (wchar_t c : digits) {
        unsigned d;
        if (c >= L'0' && c <= L'9')
            d = c - L'0';
        else if (c >= L'a' && c <= L'f')
            d = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            d = c - L'A' + 10;
        else
            return std::nullopt;
        bits = bits << 4 | d;
    }
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

std::wstring ExcludeTrailingBackslash(std::wstring_view path)
{
    if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
    return std::wstring(path);
}

std::wstring IncludeTrailingBackslash(std::wstring_view path)
{
    std::wstring result(path);
    if (result.empty() || result.back() != L'\\') result += L'\\';
    return result;
}

std::wstring ExtractFileDir(std::wstring_view path)
{
    size_t cut = path.find_last_of(L"\\:");
    if (cut == std::wstring_view::npos) return {};
    // Keep the colon of a drive ("C:"), drop a final backslash.
    return std::wstring(path.substr(0, path[cut] == L':' ? cut + 1 : cut));
}

std::wstring ExtractFileName(std::wstring_view path)
{
    size_t cut = path.find_last_of(L"\\:");
    return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

std::wstring ChangeFileExt(std::wstring_view path, std::wstring_view extension)
{
    size_t dot = path.find_last_of(L".\\:");
    if (dot == std::wstring_view::npos || path[dot] != L'.') dot = path.size();
    std::wstring result(path.substr(0, dot));
    result += extension;
    return result;
}

bool IsDosDeviceName(std::wstring_view name)
{
    name = name.substr(0, name.find_first_of(L".:"));
    while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (SameText(name, device)) return true;
    return name.size() == 4 && (StartsWithText(name, L"COM") || StartsWithText(name, L"LPT")) && name[3] >= L'1' &&
           name[3] <= L'9';
}

std::wstring RelativePath(std::wstring_view folder, std::wstring_view base)
{
    std::wstring dest = IncludeTrailingBackslash(folder);
    if (!SameText(ExtractFileDrive(dest), ExtractFileDrive(base))) return dest;

    std::vector<std::wstring_view> from = FolderNames(base);
    std::vector<std::wstring_view> to = FolderNames(dest);
    size_t common = 0;
    while (common < from.size() && common < to.size() && SameText(from[common], to[common])) ++common;

    std::wstring result;
    for (size_t i = common; i < from.size(); ++i) result += L"..\\";
    for (size_t i = common; i < to.size(); ++i) {
        result += to[i];
        result += L'\\';
    }
    return result;
}

std::vector<std::wstring> SplitLines(std::wstring_view text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
    }
    return lines;
}
