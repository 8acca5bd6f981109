// The Enable rewrite of plug-in INF files, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "pebuilder/InfEnable.h"

namespace {

std::string Rewritten(std::string_view inf, bool enabled, const LeadBytes& lead = {})
{
    return RewriteEnableLine(inf, enabled, lead).bytes;
}

// UTF-16LE bytes of an ASCII text, with or without the byte-order mark.
std::string Utf16Le(std::string_view ascii, bool bom = true)
{
    std::string bytes = bom ? "\xFF\xFE" : "";
    for (char c : ascii) bytes += {c, '\0'};
    return bytes;
}

}  // namespace

TEST(InfEnable, ReplacesTheEnableLineInPlaceAndKeepsTheRest)
{
    const std::string inf =
        "[Version]\r\nSignature=\"$Windows NT$\"\r\n\r\n"
        "[PEBuilder]\r\nName=X\r\nenable=1\r\nHelp=x.htm\r\n\r\n"
        "[Other]\r\nEnable=1\r\n";
    InfRewrite off = RewriteEnableLine(inf, false);
    EXPECT_EQ(off.bytes,
              "[Version]\r\nSignature=\"$Windows NT$\"\r\n\r\n"
              "[PEBuilder]\r\nName=X\r\nEnable=0\r\nHelp=x.htm\r\n\r\n"
              "[Other]\r\nEnable=1\r\n");
    EXPECT_TRUE(off.changed);

    // The line is rewritten whenever found, so its spelling becomes "Enable=1".
    InfRewrite on = RewriteEnableLine(inf, true);
    EXPECT_TRUE(on.changed);
    EXPECT_NE(on.bytes.find("\r\nEnable=1\r\nHelp"), std::string::npos);

    InfRewrite again = RewriteEnableLine(off.bytes, false);
    EXPECT_FALSE(again.changed);
    EXPECT_EQ(again.bytes, off.bytes);
}

TEST(InfEnable, EveryLineEndBecomesCrLf)
{
    EXPECT_EQ(Rewritten("[PEBuilder]\nName=X\nEnable=1\n", true), "[PEBuilder]\r\nName=X\r\nEnable=1\r\n");
    EXPECT_TRUE(RewriteEnableLine("[PEBuilder]\nEnable=1\n", true).changed);
    // The last line gains its CR LF; a final line end opens no further line.
    EXPECT_EQ(Rewritten("[PEBuilder]\r\nEnable=0", true), "[PEBuilder]\r\nEnable=1\r\n");
    EXPECT_EQ(Rewritten("a\r\rb\n\r\nc", true), "a\r\n\r\nb\r\n\r\nc\r\n");
    EXPECT_EQ(Rewritten("", true), "");
    EXPECT_FALSE(RewriteEnableLine("", true).changed);
}

TEST(InfEnable, WithoutAnEnableLineOnlyTheLineEndsChange)
{
    EXPECT_EQ(Rewritten("[PEBuilder]\nName=X\n[Other]\nEnable=1\n", true),
              "[PEBuilder]\r\nName=X\r\n[Other]\r\nEnable=1\r\n");
    // Before the section an Enable line belongs to nobody.
    EXPECT_EQ(Rewritten("Enable=1\r\n[Version]\r\nEnable=1\r\n", false), "Enable=1\r\n[Version]\r\nEnable=1\r\n");
    // The section ends at a header even when blanks stand before it.
    EXPECT_EQ(Rewritten("[PEBuilder]\r\n  [Other]\r\nEnable=1\r\n", false), "[PEBuilder]\r\n  [Other]\r\nEnable=1\r\n");
}

TEST(InfEnable, KeysAreFoundAsTheIniReaderFindsThem)
{
    // The reader trims names, so each of these is the Enable line it takes.
    for (const std::string line :
         {"Enable =1", " Enable=1", "\tEnable\t= 1", "ENABLE= 1 ;on", "eNaBlE=", "Enable=a=b"}) {
        EXPECT_EQ(Rewritten("[PEBuilder]\r\n" + line + "\r\n", false), "[PEBuilder]\r\nEnable=0\r\n") << line;
    }
    // Neither a key nor the key: left as written.
    for (const std::string line : {"Enable", "Enabled=1", "Enable1", ";Enable=1", "E nable=1"}) {
        std::string inf = "[PEBuilder]\r\n" + line + "\r\n";
        EXPECT_EQ(Rewritten(inf, false), inf) << line;
    }
}

TEST(InfEnable, EveryEnableLineOfEverySectionIsRewritten)
{
    // The reader takes the last section and the last key of a name; PE Builder may take
    // another, so every one of them is made to agree.
    EXPECT_EQ(Rewritten("[PEBuilder]\r\nEnable=1\r\n[Other]\r\nEnable=1\r\n[pebuilder]\r\nenable = 1\r\n", false),
              "[PEBuilder]\r\nEnable=0\r\n[Other]\r\nEnable=1\r\n[pebuilder]\r\nEnable=0\r\n");
    EXPECT_EQ(Rewritten("[PEBuilder]\r\nEnable=1\r\nName=X\r\n Enable=1\r\n", false),
              "[PEBuilder]\r\nEnable=0\r\nName=X\r\nEnable=0\r\n");
    // A line that only begins like a header is an entry of the section, as the reader sees it.
    EXPECT_EQ(Rewritten("[PEBuilder]\r\n[Other\r\nEnable=1\r\n", false), "[PEBuilder]\r\n[Other\r\nEnable=0\r\n");
}

TEST(InfEnable, HeadersAreTrimmedInsideAndOut)
{
    for (const char* header : {"  [pebuilder]\t", "[ PEBuilder ]", "[\tPEBUILDER]"}) {
        EXPECT_EQ(Rewritten(std::string(header) + "\r\nEnable=1\r\n", false), std::string(header) + "\r\nEnable=0\r\n")
            << header;
    }
    for (const char* header : {"[PEBuilder] ;note", "[PEBuilder", "PEBuilder]", "[PE Builder]", ";[PEBuilder]"}) {
        std::string inf = std::string(header) + "\r\nEnable=1\r\n";
        EXPECT_EQ(Rewritten(inf, false), inf) << header;
    }
}

TEST(InfEnable, AShiftJisTrailByteIsNoClosingBracket)
{
    LeadBytes sjis;
    for (int b = 0x81; b <= 0x9F; ++b) sjis.set(b);
    for (int b = 0xE0; b <= 0xFC; ++b) sjis.set(b);
    // "[PEBuilder" followed by 83 5D: its bytes end in "]" but its text ends in a
    // katakana, so the reader sees no header and the line stays in [PEBuilder].
    const std::string inf = "[PEBuilder]\r\n[PEBuilder\x83]\r\nEnable=1\r\n";
    EXPECT_EQ(Rewritten(inf, false, sjis), "[PEBuilder]\r\n[PEBuilder\x83]\r\nEnable=0\r\n");
    // Without the code page's lead bytes the same bytes close another header.
    EXPECT_EQ(Rewritten(inf, false), inf);
    // A real "]" after a double-byte character closes the header.
    EXPECT_EQ(Rewritten("[PEBuilder]\r\n[\x83\x5D]\r\nEnable=1\r\n", false, sjis),
              "[PEBuilder]\r\n[\x83\x5D]\r\nEnable=1\r\n");
}

TEST(InfEnable, ShiftJisLinesStayByteExact)
{
    // "ソ" 83 5C, "表" 95 5C, "ー" 81 5B, "ロ" 83 8D, "］" 81 6E, "ン" 83 93, "Ｅ" 82 64:
    // trail bytes that read as a backslash, "[", or a letter.
    const std::string name = "Name=\x83\x5C\x95\x5C\x81\x5B";
    const std::string help = "Help=\x83\x5B\x83\x5D.txt\\";
    const std::string comment = "; \x81\x5B\x81\x6E\x83\x93 \x82\x64nable";
    const std::string inf = "[PEBuilder]\r\n" + name + "\r\n" + help + "\rEnable=1\n" + comment + "\r\n";
    InfRewrite r = RewriteEnableLine(inf, false);
    EXPECT_EQ(r.bytes, "[PEBuilder]\r\n" + name + "\r\n" + help + "\r\nEnable=0\r\n" + comment + "\r\n");
    EXPECT_TRUE(r.changed);

    // A Shift-JIS line whose trail byte is "[" does not end the section; one whose
    // bytes read "Enable" after a lead byte is no Enable line.
    const std::string lead =
        "\x81\x5B"
        "[Other]\r\n\x83"
        "Enable=1\r\nEnable=1\r\n";
    EXPECT_EQ(Rewritten("[PEBuilder]\r\n" + lead, false),
              "[PEBuilder]\r\n\x81\x5B[Other]\r\n\x83"
              "Enable=1\r\nEnable=0\r\n");
}

TEST(InfEnable, Utf16FilesAreWalkedInUnitsAndKeepTheirMark)
{
    const std::string inf = Utf16Le("[Version]\nSignature=$Windows NT$\n[PEBuilder]\nName=X\nEnable=0\n");
    InfRewrite r = RewriteEnableLine(inf, true);
    EXPECT_EQ(r.bytes, Utf16Le("[Version]\r\nSignature=$Windows NT$\r\n[PEBuilder]\r\nName=X\r\nEnable=1\r\n"));
    EXPECT_TRUE(r.changed);
    EXPECT_FALSE(RewriteEnableLine(r.bytes, true).changed);

    // Units above 0xFF are kept whole: "表" is U+8868, "ソ" U+30BD.
    std::string japanese =
        Utf16Le("[PEBuilder]\r\nName=") + std::string("\x68\x88\xBD\x30", 4) + Utf16Le("\r\nEnable=1\r\n", false);
    std::string expected =
        Utf16Le("[PEBuilder]\r\nName=") + std::string("\x68\x88\xBD\x30", 4) + Utf16Le("\r\nEnable=0\r\n", false);
    EXPECT_EQ(Rewritten(japanese, false), expected);

    // A "\n" byte inside a unit (U+0A41) splits nothing.
    std::string unit =
        Utf16Le("[PEBuilder]\r\nName=") + std::string("\x0A\x41", 2) + Utf16Le("\r\nEnable=1\r\n", false);
    std::string unitExpected =
        Utf16Le("[PEBuilder]\r\nName=") + std::string("\x0A\x41", 2) + Utf16Le("\r\nEnable=0\r\n", false);
    EXPECT_EQ(Rewritten(unit, false), unitExpected);
}

TEST(InfEnable, Utf8AndBigEndianMarksAreKept)
{
    EXPECT_EQ(Rewritten("\xEF\xBB\xBF[PEBuilder]\nEnable=1", false), "\xEF\xBB\xBF[PEBuilder]\r\nEnable=0\r\n");
    std::string be = "\xFE\xFF";
    for (char c : std::string("[PEBuilder]\nEnable=1\n")) be += {'\0', c};
    std::string beExpected = "\xFE\xFF";
    for (char c : std::string("[PEBuilder]\r\nEnable=0\r\n")) beExpected += {'\0', c};
    EXPECT_EQ(Rewritten(be, false), beExpected);
}

// Whether a file changes, answered from its bytes, for each way a file can differ:
// line ends, the Enable line's spelling, its section, lead bytes and UTF-16 units.
TEST(InfEnable, WhetherAFileChangesIsAnsweredFromItsBytes)
{
    LeadBytes sjis;
    for (int b = 0x81; b <= 0x9F; ++b) sjis.set(b);
    struct Case {
        std::string inf;
        LeadBytes lead;
        bool off, on;  // the answer when switching off, and on
    };
    const Case cases[] = {
        {"[PEBuilder]\r\nEnable=1\r\n", {}, true, false},
        {"[PEBuilder]\r\nEnable=1", {}, true, true},
        {"[PEBuilder]\nEnable=1\n", {}, true, true},
        {"[PEBuilder]\r\nenable = 1\r\n", {}, true, true},
        {"[Other]\r\nEnable=0\r\n", {}, false, false},
        {"[PEBuilder]\r\n[\x83]\r\nEnable=0\r\n", sjis, false, true},  // "]" is a trail byte
        {"[PEBuilder]\r\n[\x83]\r\nEnable=0\r\n", {}, false, false},   // a section of its own
        {Utf16Le("[PEBuilder]\r\nEnable=1\r\n") + "x", {}, true, false},
        {"\xEF\xBB\xBF[PEBuilder]\r\nEnable=0\r\n", {}, false, true},
        {"", {}, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EnableLineChanges(c.inf, false, c.lead), c.off) << testing::PrintToString(c.inf);
        EXPECT_EQ(EnableLineChanges(c.inf, true, c.lead), c.on) << testing::PrintToString(c.inf);
        EXPECT_EQ(RewriteEnableLine(c.inf, true, c.lead).bytes != c.inf, c.on) << testing::PrintToString(c.inf);
    }
}
