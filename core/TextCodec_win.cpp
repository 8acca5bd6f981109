// The Windows half of the text codec: the system's code pages (ANSI and UTF-8) and the
// lead bytes of the ANSI code page.
#include "core/TextCodec.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "core/Error.h"

namespace {

std::wstring MultiByteToWideWhole(UINT codePage, std::string_view bytes)
{
    // No byte becomes more than one UTF-16 unit (a UTF-8 sequence of four bytes becomes
    // two), so one conversion into room for every byte does, without asking the length.
    std::wstring text(bytes.size(), L'\0');
    int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                       static_cast<int>(text.size()));
    if (length == 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        length = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        text.resize(static_cast<size_t>(length));
        ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    }
    text.resize(static_cast<size_t>(length));
    return text;
}

bool IsAscii(std::string_view bytes)
{
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080ull) return false;
    }
    for (; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    return true;
}

// The text of bytes in the code page (the ANSI one, or UTF-8). Most lines of the files
// read here are plain ASCII, which every code page the system keeps text in maps to
// the same characters: those lines are widened as they are and only the others go
// through the conversion, which costs several times as much a byte. A line feed is
// never the first byte of a character, so after one the text splits exactly where a
// conversion of the whole would be between two characters.
std::wstring MultiByteToWide(UINT codePage, std::string_view bytes)
{
    if (bytes.empty()) return {};
    std::wstring text(bytes.size(), L'\0');
    size_t out = 0, converted = 0;  // converted: the bytes before it are in text
    auto convert = [&](size_t end) {
        if (converted == end) return true;
        const int length = ::MultiByteToWideChar(codePage, 0, bytes.data() + converted, static_cast<int>(end - converted),
                                                 text.data() + out, static_cast<int>(text.size() - out));
        out += static_cast<size_t>(length);
        converted = end;
        return length > 0;
    };
    for (size_t line = 0; line < bytes.size();) {
        const size_t feed = bytes.find('\n', line);
        const size_t end = feed == std::string_view::npos ? bytes.size() : feed + 1;
        if (IsAscii(bytes.substr(line, end - line))) {
            if (!convert(line)) return MultiByteToWideWhole(codePage, bytes);
            for (size_t i = line; i < end; ++i) text[out++] = static_cast<unsigned char>(bytes[i]);
            converted = end;
        }
        line = end;
    }
    if (!convert(bytes.size())) return MultiByteToWideWhole(codePage, bytes);
    text.resize(out);
    return text;
}

std::string WideToMultiByte(UINT codePage, std::wstring_view text, BOOL* lossy)
{
    if (text.empty()) return {};
    BOOL* usedDefault = codePage == CP_UTF8 ? nullptr : lossy;
    // Without this flag "é" quietly becomes "e" and "¥" becomes a backslash in code
    // page 932, and the caller is not told.
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int length = ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       usedDefault);
    std::string bytes(length, '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          usedDefault);
    return bytes;
}

}  // namespace

std::wstring DecodeText(std::string_view bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8Bom: return MultiByteToWide(CP_UTF8, bytes.substr(3));
    case TextEncoding::Utf16LeBom:
    case TextEncoding::Utf16BeBom: return Utf16Units<wchar_t>(bytes.substr(2), encoding == TextEncoding::Utf16BeBom);
    case TextEncoding::Ansi: break;
    }
    return MultiByteToWide(CP_ACP, bytes);
}

std::wstring DecodeText(std::string_view bytes) { return DecodeText(bytes, DetectEncoding(bytes)); }

std::string EncodeText(std::wstring_view text, TextEncoding encoding, const std::wstring& path)
{
    std::string bytes;
    switch (encoding) {
    case TextEncoding::Utf8Bom: return std::string(ByteOrderMark(encoding)) + WideToMultiByte(CP_UTF8, text, nullptr);
    case TextEncoding::Utf16LeBom:
    case TextEncoding::Utf16BeBom: {
        bytes = ByteOrderMark(encoding);
        AppendUtf16Bytes(bytes, text, encoding == TextEncoding::Utf16BeBom);
        return bytes;
    }
    case TextEncoding::Ansi: break;
    }
    BOOL lossy = FALSE;
    bytes = WideToMultiByte(CP_ACP, text, &lossy);
    if (lossy)
        throw AppError(L"Cannot write the file " + path +
                       L"\r\nThe text holds characters that the system code page cannot represent.");
    return bytes;
}

std::wstring AnsiToWide(std::string_view bytes) { return MultiByteToWide(CP_ACP, bytes); }

std::string WideToAnsi(std::wstring_view text) { return WideToMultiByte(CP_ACP, text, nullptr); }

std::bitset<256> AnsiLeadBytes()
{
    std::bitset<256> lead;
    CPINFO info{};
    if (!::GetCPInfo(CP_ACP, &info)) return lead;
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i]; i += 2) {
        for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) lead.set(b);
    }
    return lead;
}
