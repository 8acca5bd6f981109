// Byte-order marks and UTF-16 code units: the one place that knows how the files the
// program shares with others mark and lay out their text. Portable, no system calls,
// except the code-page conversions at the end (TextCodec_win.cpp).
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

enum class TextEncoding { Ansi, Utf8Bom, Utf16LeBom, Utf16BeBom };

// The encoding that the file's first bytes announce; Ansi when there is no mark.
TextEncoding DetectEncoding(std::string_view bytes);
std::string_view ByteOrderMark(TextEncoding encoding);  // empty for Ansi
inline bool IsUtf16(TextEncoding e) { return e == TextEncoding::Utf16LeBom || e == TextEncoding::Utf16BeBom; }

// The 16-bit units of UTF-16 bytes (no mark) in that byte order. A last odd byte
// makes no unit; callers that must keep every byte keep it themselves.
template <typename Unit>
std::basic_string<Unit> Utf16Units(std::string_view bytes, bool bigEndian)
{
    std::basic_string<Unit> units;
    units.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<Unit>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return units;
}

template <typename Unit>
void AppendUtf16Bytes(std::string& out, std::basic_string_view<Unit> units, bool bigEndian)
{
    out.reserve(out.size() + units.size() * 2);
    for (Unit u : units) {
        auto hi = static_cast<char>((u >> 8) & 0xFF), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
}

// At least the number of lines of text split at CR LF, CR or LF: room for a reader to
// reserve at once.
template <typename Unit>
size_t LineCountBound(std::basic_string_view<Unit> text)
{
    size_t breaks = 0;
    for (Unit u : text) breaks += u == Unit('\r') || u == Unit('\n');
    return breaks + 1;
}

// UTF-8 without a byte-order mark, strictly: nothing for bytes that are not UTF-8
// (a sequence cut short, overlong, a surrogate, beyond U+10FFFF) or for text with an
// unpaired surrogate, so that no character is silently replaced on the way.
std::optional<std::wstring> Utf8ToWide(std::string_view bytes);
std::optional<std::string> WideToUtf8(std::wstring_view text);
// Where the first byte that is not UTF-8 lies (bytes.size() when all of it is).
size_t Utf8ValidLength(std::string_view bytes);

// Text in the system code pages (the ANSI one, and UTF-8), in TextCodec_win.cpp.
std::wstring DecodeText(std::string_view bytes, TextEncoding encoding);  // BOM dropped
std::wstring DecodeText(std::string_view bytes);                         // detected
// Encodes with the BOM of the encoding. Text that the ANSI code page cannot hold
// throws AppError naming path, rather than writing question marks.
std::string EncodeText(std::wstring_view text, TextEncoding encoding, const std::wstring& path);

std::wstring AnsiToWide(std::string_view bytes);
std::string WideToAnsi(std::wstring_view text);  // unmappable characters become '?'

// The lead bytes of the ANSI code page's double-byte characters.
std::bitset<256> AnsiLeadBytes();
