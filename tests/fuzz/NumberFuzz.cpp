// Number reading over any text, against a reading written from the rule itself: an
// optional sign, then decimal digits, or hexadecimal after "$", "0x" or "0X" taken as
// the bits of the value; the INI reader trims before it reads.
#include <cstdint>
#include <cstring>
#include <string>

#include "core/Ini.h"
#include "core/Text.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

std::optional<int32_t> Expected(std::wstring_view text)
{
    for (wchar_t c : text)
        if (c >= 0x80 || c == 0) return std::nullopt;
    std::string s(text.begin(), text.end());
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    int base = 10;
    if (s.rfind("$", 0) == 0) {
        s.erase(0, 1);
        base = 16;
    } else if (s.rfind("0x", 0) == 0 || s.rfind("0X", 0) == 0) {
        s.erase(0, 2);
        base = 16;
    }
    const char* digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (s.empty() || s.find_first_not_of(digits) != std::string::npos) return std::nullopt;
    s.erase(0, std::min(s.find_first_not_of('0'), s.size() - 1));
    if (s.size() > (base == 16 ? 8u : 10u)) return std::nullopt;
    const uint64_t magnitude = std::stoull(s, nullptr, base);
    if (base == 16) return static_cast<int32_t>(negative ? 0u - static_cast<uint32_t>(magnitude) : magnitude);
    const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::wstring Hex(uint32_t bits)
{
    wchar_t buffer[16];
    swprintf(buffer, 16, L"%X", bits);
    return buffer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size >= 4) {
        int32_t number;
        std::memcpy(&number, data, 4);
        Require(ParseInteger(std::to_wstring(number)) == number, "every integer reads back from its decimal text");
        for (const wchar_t* prefix : {L"$", L"0x", L"0X", L"$0000"})
            Require(ParseInteger(prefix + Hex(static_cast<uint32_t>(number))) == number,
                    "every integer reads back from its hexadecimal bits");
    }
    const std::wstring text = WideFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    Require(ParseInteger(text) == Expected(text), "a number reads as the rule says");
    if (!HasLineEnd(text)) {
        const IniDocument ini = IniDocument::Parse(L"[s]\r\nk = " + text + L" \r\n");
        Require(ini.ReadInteger(L"s", L"k", -7) == Expected(Trim(text)).value_or(-7),
                "an INI value reads as a number after trimming, else as the default");
    }
    return 0;
}
