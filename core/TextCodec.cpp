// Byte-order marks and strict UTF-8.
#include "core/TextCodec.h"

#include <utility>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

}  // namespace

TextEncoding DetectEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom)) return TextEncoding::Utf8Bom;
    if (bytes.starts_with(kUtf16LeBom)) return TextEncoding::Utf16LeBom;
    if (bytes.starts_with(kUtf16BeBom)) return TextEncoding::Utf16BeBom;
    return TextEncoding::Ansi;
}

std::string_view ByteOrderMark(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return kUtf8Bom;
    case TextEncoding::Utf16LeBom: return kUtf16LeBom;
    case TextEncoding::Utf16BeBom: return kUtf16BeBom;
    case TextEncoding::Ansi: break;
    }
    return {};
}

namespace {

// One UTF-8 sequence at bytes[at]: the code point and its length, or length 0.
std::pair<char32_t, size_t> Utf8Sequence(std::string_view bytes, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    size_t length = 0;
    char32_t point = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, point = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, point = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, point = lead & 0x07, least = 0x10000;
    } else {
        return {0, 0};
    }
    if (bytes.size() - at < length) return {0, 0};
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {0, 0};
        point = point << 6 | (byte(at + i) & 0x3F);
    }
    if (point < least || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return {0, 0};
    return {point, length};
}

}  // namespace

size_t Utf8ValidLength(std::string_view bytes)
{
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t length = Utf8Sequence(bytes, at).second;
        if (length == 0) return at;
        at += length;
    }
    return at;
}

std::optional<std::wstring> Utf8ToWide(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();) {
        const auto [point, length] = Utf8Sequence(bytes, at);
        if (length == 0) return std::nullopt;
        at += length;
        if (sizeof(wchar_t) == 2 && point >= 0x10000) {
            text += static_cast<wchar_t>(0xD800 + ((point - 0x10000) >> 10));
            text += static_cast<wchar_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            text += static_cast<wchar_t>(point);
        }
    }
    return text;
}

std::optional<std::string> WideToUtf8(std::wstring_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t point = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2) point &= 0xFFFF;
        if (point >= 0xD800 && point <= 0xDBFF && sizeof(wchar_t) == 2 && i + 1 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                point = 0x10000 + ((point - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if ((point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) return std::nullopt;
        if (point < 0x80) {
            bytes += static_cast<char>(point);
        } else if (point < 0x800) {
            bytes += static_cast<char>(0xC0 | point >> 6);
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        } else if (point < 0x10000) {
            bytes += static_cast<char>(0xE0 | point >> 12);
            bytes += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | point >> 18);
            bytes += static_cast<char>(0x80 | (point >> 12 & 0x3F));
            bytes += static_cast<char>(0x80 | (point >> 6 & 0x3F));
            bytes += static_cast<char>(0x80 | (point & 0x3F));
        }
    }
    return bytes;
}
