// Properties of the INI and INF rewrites over many generated inputs made of the pieces
// real files are made of (section headers, keys, blanks, line ends of every kind,
// Shift-JIS characters whose trail bytes look like '[', '\' or ']').
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/Ini.h"
#include "pebuilder/InfEnable.h"

namespace {

std::string RandomInf(std::mt19937& random)
{
    static const std::vector<std::string> pieces = {
        "[PEBuilder]", "[pebuilder]", " [PEBuilder] ",
        "[Version]",   "[Other]",     "[",
        "]",           "Enable=1",    "enable=0",
        "Enable =1",   " Enable=1",   "ENABLE=",
        "Name=",       "\"Tool\"",    "Signature=\"$Windows NT$\"",
        "=",           ";",           " ",
        "\t",          "\r\n",        "\n",
        "\r",          "\r\r\n",      "\x83\x5C",
        "\x95\x5C",    "\x83\x5B",    "\x83\x5D",
        "x",           "Help=a.htm",  "\xFF",
    };
    std::uniform_int_distribution<size_t> count(0, 40), pick(0, pieces.size() - 1);
    std::string text;
    for (size_t n = count(random); n > 0; --n) text += pieces[pick(random)];
    return text;
}

// Splits at CR LF, CR or LF, as the rewrite does.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

// Bytes as Latin-1 units. Not the iterator constructor: where wchar_t is signed (Linux)
// it makes 0x80..0xFF negative, which no decoded text holds.
std::wstring Latin1(const std::string& bytes)
{
    std::wstring text;
    for (char c : bytes) text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

}  // namespace

TEST(RandomInput, EnableRewriteAgreesWithTheReaderAndSettles)
{
    std::mt19937 random(20261207);
    for (int i = 0; i < 3000; ++i) {
        const std::string inf = RandomInf(random);
        const bool enabled = i % 2 == 0;
        InfRewrite once = RewriteEnableLine(inf, enabled);
        SCOPED_TRACE(testing::PrintToString(inf));

        // Every line keeps its bytes but the Enable lines.
        std::vector<std::string> before = Lines(inf), after = Lines(once.bytes);
        ASSERT_EQ(before.size(), after.size());
        for (size_t n = 0; n < before.size(); ++n) {
            if (before[n] != after[n]) {
                EXPECT_EQ(after[n], enabled ? "Enable=1" : "Enable=0");
            }
        }
        // Whatever the reader took as the Enable value, it now reads the flag.
        auto read = [](const std::string& bytes) {
            return IniDocument::Parse(Latin1(bytes)).Find(L"PEBuilder", L"Enable");
        };
        std::optional<std::wstring> was = read(inf), now = read(once.bytes);
        EXPECT_EQ(was.has_value(), now.has_value());
        if (now) {
            EXPECT_EQ(*now, enabled ? L"1" : L"0");
        }
        // Every line ends with CR LF.
        if (!once.bytes.empty()) {
            EXPECT_EQ(once.bytes.substr(once.bytes.size() - 2), "\r\n");
        }

        InfRewrite twice = RewriteEnableLine(once.bytes, enabled);
        EXPECT_FALSE(twice.changed);
        EXPECT_EQ(twice.bytes, once.bytes);
    }
}

TEST(RandomInput, IniRewriteIsStableAndKeepsWhatItWrote)
{
    std::mt19937 random(7);
    for (int i = 0; i < 3000; ++i) {
        const std::string bytes = RandomInf(random);
        const std::wstring text = Latin1(bytes);
        SCOPED_TRACE(testing::PrintToString(bytes));
        IniDocument doc = IniDocument::Parse(text);
        doc.WriteString(L"PEBuilder", L"Enable", L"1");
        doc.WriteInteger(L"input", L"whattodo", i);

        const std::wstring written = doc.Serialize();
        IniDocument again = IniDocument::Parse(written);
        EXPECT_EQ(again.Serialize(), written);
        EXPECT_EQ(again.ReadString(L"pebuilder", L"enable", L""), L"1");
        EXPECT_EQ(again.ReadInteger(L"INPUT", L"WhatToDo", -1), i);
    }
}
