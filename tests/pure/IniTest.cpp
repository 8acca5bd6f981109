// INI parsing, lookup and the rewritten layout.
#include <gtest/gtest.h>

#include "core/Ini.h"

TEST(Ini, LookupIgnoresCaseBlanksCommentsAndTakesTheLastOccurrence)
{
    IniDocument doc = IniDocument::Parse(
        L"RS_100=before any section\r\n"
        L"[strings]\n"
        L"  RS_100 = Error  \n"
        L";RS_101=Comment\n"
        L"rs_102=first\r"
        L"RS_102=second\r\n"
        L"RS_103=\n"
        L"[Other]\n"
        L"key=a=b\n"
        L"[STRINGS]\n"
        L"RS_104=later section\n");
    // The last [Strings] hides the earlier one.
    EXPECT_FALSE(doc.Find(L"Strings", L"RS_100").has_value());
    EXPECT_EQ(doc.ReadString(L"Strings", L"RS_104", L"d"), L"later section");
    EXPECT_EQ(doc.ReadString(L"other", L"KEY", L"d"), L"a=b");
    EXPECT_EQ(doc.ReadString(L"Missing", L"key", L"d"), L"d");

    IniDocument single =
        IniDocument::Parse(L"[strings]\n  RS_100 = Error  \n;RS_101=x\nrs_102=first\rRS_102=second\nRS_103=\n");
    EXPECT_EQ(single.ReadString(L"Strings", L"RS_100", L"d"), L"Error");
    EXPECT_EQ(single.ReadString(L"Strings", L"RS_101", L"d"), L"d");
    EXPECT_EQ(single.ReadString(L"Strings", L"RS_102", L"d"), L"second");
    EXPECT_EQ(single.ReadString(L"Strings", L"RS_103", L"d"), L"");
}

TEST(Ini, IntegersInDecimalAndHexadecimal)
{
    IniDocument doc = IniDocument::Parse(L"[a]\nx=0x1F\ny=0X1F\nz=$1F\nw=12abc\nv=-3\nbare\n");
    EXPECT_EQ(doc.ReadInteger(L"a", L"x", 0), 31);
    EXPECT_EQ(doc.ReadInteger(L"a", L"y", 0), 31);
    EXPECT_EQ(doc.ReadInteger(L"a", L"z", 0), 31);
    EXPECT_EQ(doc.ReadInteger(L"a", L"w", 9), 9);
    EXPECT_EQ(doc.ReadInteger(L"a", L"v", 0), -3);
    EXPECT_EQ(doc.ReadInteger(L"a", L"bare", 5), 5);  // a line without "=" is no key
}

TEST(Ini, RewriteNormalisesTheLayout)
{
    IniDocument doc = IniDocument::Parse(
        L"; header comment\r\n"
        L"orphan=1\r\n"
        L"[input]\r\n"
        L"\r\n"
        L"source = D:\\src\\ ; not a comment\r\n"
        L"; comment\r\n"
        L"Outdir=out\\\r\n"
        L"bare line\r\n"
        L"outdir=second\r\n"
        L"[Other]\r\n"
        L"k=v");
    doc.WriteString(L"INPUT", L"OutDir", L"new\\");
    doc.WriteInteger(L"input", L"whattodo", 2);
    doc.WriteString(L"Added", L"key", L"value");
    EXPECT_EQ(doc.Serialize(),
              L"[input]\r\n"
              L"source=D:\\src\\ ; not a comment\r\n"
              L"Outdir=out\\\r\n"
              L"bare line\r\n"
              L"OutDir=new\\\r\n"
              L"whattodo=2\r\n"
              L"\r\n"
              L"[Other]\r\n"
              L"k=v\r\n"
              L"\r\n"
              L"[Added]\r\n"
              L"key=value\r\n"
              L"\r\n");
}

TEST(Ini, WriteGoesToTheLastSectionOfAName)
{
    IniDocument doc = IniDocument::Parse(L"[s]\na=1\n[t]\n[S]\nb=2\n");
    doc.WriteString(L"s", L"a", L"9");
    EXPECT_EQ(doc.Serialize(), L"[s]\r\na=1\r\n\r\n[t]\r\n\r\n[S]\r\nb=2\r\na=9\r\n\r\n");
    EXPECT_EQ(doc.ReadString(L"s", L"a", L""), L"9");
}

TEST(Ini, EmptyAndBinaryTextParseWithoutSections)
{
    EXPECT_EQ(IniDocument::Parse(L"").Serialize(), L"");
    std::wstring binary(L"\x01\x02[\0]\xFFFF=", 7);
    IniDocument doc = IniDocument::Parse(binary);
    EXPECT_EQ(doc.ReadString(L"x", L"y", L"d"), L"d");
}

TEST(IniView, ReadsAsTheDocumentReads)
{
    const std::wstring text =
        L"k=before\r\n[A]\r\nx = 1 \r\n;x=2\r\nflag\r\n[b]\r\ny=old\r\n[ a ]\r\nX=3\r\nx=\r\n[B]\nY=$1F\rz=0x\n";
    IniView view = IniView::Parse(text);
    IniDocument doc = IniDocument::Parse(text);
    for (const wchar_t* section : {L"a", L"B", L"none", L""}) {
        for (const wchar_t* key : {L"x", L"Y", L"y", L"z", L"k", L"flag"}) {
            std::optional<std::wstring_view> v = view.Find(section, key);
            std::optional<std::wstring> d = doc.Find(section, key);
            EXPECT_EQ(v.has_value(), d.has_value()) << section << L" " << key;
            if (v && d) {
                EXPECT_EQ(std::wstring(*v), *d);
            }
            EXPECT_EQ(view.ReadInteger(section, key, -1), doc.ReadInteger(section, key, -1));
        }
    }
    EXPECT_EQ(view.ReadString(L"A", L"x", L"def"), L"");
    EXPECT_EQ(view.ReadInteger(L"b", L"y", 0), 31);
    EXPECT_EQ(doc.Serialize(),
              L"[A]\r\nx=1\r\nflag\r\n\r\n[b]\r\ny=old\r\n\r\n[a]\r\nX=3\r\nx=\r\n\r\n[B]\r\nY=$1F\r\nz=0x\r\n\r\n");
}

TEST(IniDocument, LineBreaksThatWouldInjectLinesAreFound)
{
    IniDocument doc = IniDocument::Parse(L"[input]\r\nsource=C:\\\r\n");
    EXPECT_FALSE(doc.FindLineBreak());
    doc.WriteString(L"input", L"verbose", L"1");
    EXPECT_FALSE(doc.FindLineBreak());
    doc.WriteString(L"input", L"outdir", L"D:\\\r\n[input]\r\nsource=E:\\");
    EXPECT_EQ(doc.FindLineBreak(), L"outdir");
    IniDocument lf;
    lf.WriteString(L"input", L"a\nb", L"1");
    EXPECT_EQ(lf.FindLineBreak(), L"a\nb");
    IniDocument section;
    section.WriteString(L"in\rput", L"a", L"1");
    EXPECT_TRUE(section.FindLineBreak());
}
