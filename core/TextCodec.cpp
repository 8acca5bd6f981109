// Byte-order marks.
#include "core/TextCodec.h"

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
