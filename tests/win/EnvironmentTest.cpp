// The test environment itself: the prefix runs with the ANSI code page of a Japanese
// Windows and its own registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/Files.h"

TEST(Environment, AnsiCodePageIsJapanese)
{
    EXPECT_EQ(::GetACP(), 932u);
    // "ソ" is 0x83 0x5C in Shift-JIS: its trail byte is a backslash.
    EXPECT_EQ(WideToAnsi(L"ソ"), "\x83\x5C");
    EXPECT_EQ(AnsiToWide("\x83\x5C"), L"ソ");
}

// Text is decoded line by line where lines are plain ASCII: the result must be that of
// one conversion of the whole, whatever the bytes, broken double-byte characters included.
TEST(AnsiText, DecodesAsOneConversionOfTheWhole)
{
    auto whole = [](const std::string& bytes) {
        std::wstring text(bytes.size(), L'\0');
        text.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                              text.data(), static_cast<int>(text.size()))));
        return text;
    };
    std::vector<std::string> cases = {
        "",
        "[PEBuilder]\r\nName=\"x\"\r\n",
        "Name=\"\x83\x5C\x83\x74\x83\x67\"\r\nEnable=1\r\n",  // trail bytes that read as "\" and "t"
        "a\x83\r\nb\x83\nc\x83",                              // lead bytes before a line break and at the end
        "\x83\n\n\x81\x40\r\x80\xA0\xFD\xFE\xFF\n",           // bytes no character starts with
        std::string("x\0\x83\0y\n", 6),
    };
    // And random text of the bytes that matter: ASCII, line breaks, lead and trail bytes.
    const char alphabet[] = "a=[]\\ \r\n\x81\x83\x9F\xE0\xFC\x40\x5C\x7E\x80\xA0\xFD";
    uint32_t seed = 7;
    for (int n = 0; n < 500; ++n) {
        std::string bytes;
        for (int i = n % 40; i >= 0; --i) {
            seed = seed * 1103515245u + 12345u;
            bytes += alphabet[(seed >> 16) % (sizeof alphabet - 1)];
        }
        cases.push_back(bytes);
    }
    for (const std::string& bytes : cases) EXPECT_EQ(AnsiToWide(bytes), whole(bytes)) << bytes;
}
