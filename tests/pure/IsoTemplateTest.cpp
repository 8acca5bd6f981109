// Expansion of the external ISO program's command template.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Ini.h"
#include "core/Settings.h"
#include "pebuilder/IsoTemplate.h"

namespace {

const IsoTemplateFolders kFolders{L"C:\\pebuilder", L"C:\\Tools\\Kitwright", L"C:\\pebuilder\\PEOutput"};

}  // namespace

TEST(IsoTemplate, DefaultTemplateWithAPEBuilderFolder)
{
    IniDocument inf = IniDocument::Parse(L"[input]\r\nisofile= C:\\iso\\pebuilder.iso \r\noutdir=PEOutput\\\r\n");
    EXPECT_EQ(ExpandIsoTemplate(kDefaultExternalProgram, inf, kFolders),
              L"\"C:\\pebuilder\\mkisofs.exe\" -iso-level 4 -volid \"ToviPE\" -A PEBUILDER/MKISOFS -sysid \"Win32\" "
              L"-b bootsect.bin -no-emul-boot -boot-load-size 4 -hide bootsect.bin -hide boot.catalog "
              L"-o \"C:\\iso\\pebuilder.iso\" \"C:\\pebuilder\\PEOutput\"");
}

TEST(IsoTemplate, EveryPlaceholderInAnyCaseAndEveryOccurrence)
{
    IniDocument inf = IniDocument::Parse(
        L"[input]\r\nsource=D:\\xp \\\r\nCUSTOMDIR=C:\\custom\\\r\nbuildiso=1\r\nburncd=1\r\nblankcdrw=0\r\n"
        L"device=1,0,0\r\nverbose=1\r\nvolumeid=MYPE\r\nisoduplicatesonce=1\r\nisofile=x.iso\r\n");
    EXPECT_EQ(ExpandIsoTemplate(L"@outdir@|@OUTDIR@|@OutDir@", inf, kFolders),
              L"C:\\pebuilder\\PEOutput|C:\\pebuilder\\PEOutput|C:\\pebuilder\\PEOutput");
    EXPECT_EQ(ExpandIsoTemplate(L"@Kitwright@ @SourcePath@ @CustomDir@ @IsoFile@", inf, kFolders),
              L"C:\\Tools\\Kitwright D:\\xp C:\\custom x.iso");
    // The spellings the settings dialog shows as help.
    EXPECT_EQ(ExpandIsoTemplate(L"@BuildISO@ @BurnCD@ @BlankCDRW@ @Device@ @Verbose@ @VolumeID@ @ISOduplicatesonce@",
                                inf, kFolders),
              L"1 1 0 1,0,0 1 MYPE 1");
    // Text around and between placeholders, and unknown ones, are left alone.
    EXPECT_EQ(ExpandIsoTemplate(L"a@@PEBuilder@@b @Unknown@ @PEBuilder", inf, kFolders),
              L"a@C:\\pebuilder@b @Unknown@ @PEBuilder");
}

TEST(IsoTemplate, AbsentKeysGiveZeroOrEmpty)
{
    IniDocument empty;
    EXPECT_EQ(
        ExpandIsoTemplate(L"[@buildiso@][@burncd@][@blankcdrw@][@verbose@][@ISOduplicatesonce@]", empty, kFolders),
        L"[0][0][0][0][0]");
    EXPECT_EQ(ExpandIsoTemplate(L"[@device@][@volumeid@][@IsoFile@][@SourcePath@][@CustomDir@]", empty, kFolders),
              L"[][][][][]");
    // A key that is present but empty stays empty: values are taken as written.
    IniDocument blank = IniDocument::Parse(L"[input]\r\nburncd=\r\nverbose= 1 \r\n");
    EXPECT_EQ(ExpandIsoTemplate(L"[@burncd@][@verbose@]", blank, kFolders), L"[][1]");
}

TEST(IsoTemplate, ValueHoldingALaterPlaceholderIsExpandedAgain)
{
    IniDocument inf = IniDocument::Parse(
        L"[input]\r\nisofile=@outdir@\\@VolumeId@.iso\r\nvolumeid=PE\r\n"
        L"device=@PEBuilder@\r\n");
    // @IsoFile@ comes before @OutDir@ and @volumeid@, so its value is expanded further;
    // @device@ comes after @PEBuilder@, so its value stays as written.
    EXPECT_EQ(ExpandIsoTemplate(L"-o \"@IsoFile@\" -dev @device@", inf, kFolders),
              L"-o \"C:\\pebuilder\\PEOutput\\PE.iso\" -dev @PEBuilder@");
    IsoTemplateFolders folders = kFolders;
    folders.PEBuilder = L"@Kitwright@\\pe";
    EXPECT_EQ(ExpandIsoTemplate(L"@PEBuilder@", inf, folders), L"C:\\Tools\\Kitwright\\pe");
}

TEST(IsoTemplate, ACommandLongerThanAProgramCanBeStartedWithIsRefused)
{
    // Each value names the next placeholder twice: 2^10 copies of the last value.
    IniDocument chain = IniDocument::Parse(
        L"[input]\r\nisofile=@SourcePath@@SourcePath@\r\nsource=@CustomDir@@CustomDir@\r\n"
        L"customdir=@buildiso@@buildiso@\r\nbuildiso=@burncd@@burncd@\r\nburncd=@blankcdrw@@blankcdrw@\r\n"
        L"blankcdrw=@device@@device@\r\ndevice=@verbose@@verbose@\r\nverbose=@volumeid@@volumeid@\r\n"
        L"volumeid=@ISOduplicatesonce@@ISOduplicatesonce@\r\nISOduplicatesonce=" +
        std::wstring(100, L'x') + L"\r\n");
    EXPECT_THROW(ExpandIsoTemplate(L"@IsoFile@@IsoFile@@IsoFile@@IsoFile@", chain, kFolders), AppError);

    // Up to the limit the command is made; one character more is refused.
    IniDocument inf = IniDocument::Parse(L"[input]\r\ndevice=" + std::wstring(1000, L'd') + L"\r\n");
    std::wstring templ(kMaxCommandLineLength - 32 * 1000, L't');
    for (int i = 0; i < 32; ++i) templ += L"@device@";
    EXPECT_EQ(ExpandIsoTemplate(templ, inf, kFolders).size(), kMaxCommandLineLength);
    EXPECT_THROW(ExpandIsoTemplate(L"t" + templ, inf, kFolders), AppError);
    // A template that shrinks as it expands is judged by the command it makes.
    IniDocument empty;
    EXPECT_EQ(ExpandIsoTemplate(std::wstring(kMaxCommandLineLength, L'@') + L"@device@", empty, kFolders).size(),
              kMaxCommandLineLength);
}

TEST(IsoTemplate, NoValueLeavesItsArgument)
{
    IniDocument inf = IniDocument::Parse(
        L"[input]\r\nisofile=C:\\iso\\pe.iso\" -o \"C:\\INJECTED.iso\" -x \"\r\nvolumeid=VOL\" -sysid \"INJECTED\r\n"
        L"device=0,1,0\\\r\n");
    IsoTemplateFolders folders = kFolders;
    folders.OutDir = L"C:\\My Out\\";
    const struct {
        std::wstring_view templ, line;
    } cases[] = {
        {L"-o \"@IsoFile@\"", L"-o \"C:\\iso\\pe.iso\\\" -o \\\"C:\\INJECTED.iso\\\" -x \\\"\""},
        {L"p -volid @VolumeID@", L"p -volid \"VOL\\\" -sysid \\\"INJECTED\""},
        // Backslashes before the closing quote, the template's or the value's, are doubled.
        {L"p \"@OutDir@\" \"@device@\" @device@", L"p \"C:\\My Out\\\\\" \"0,1,0\\\\\" 0,1,0\\"},
        {L"p -A\"x @device@\"y", L"p \"-Ax 0,1,0\\y\""},
        // An unquoted empty value leaves no argument; a quoted one is an empty argument.
        {L"p @CustomDir@ \"@CustomDir@\"", L"p  \"\""},
        // The program keeps plain quotes, or none when it needs none.
        {L"\"@PEBuilder@\\mk.exe\" x", L"\"C:\\pebuilder\\mk.exe\" x"},
        {L"@OutDir@\\mk.exe x", L"\"C:\\My Out\\\\mk.exe\" x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandIsoTemplate(c.templ, inf, folders), c.line) << testing::PrintToString(std::wstring(c.templ));
    folders.PEBuilder = L"C:\\pe\" -x \"";
    EXPECT_THROW(ExpandIsoTemplate(L"\"@PEBuilder@\\mk.exe\"", inf, folders), AppError);
}
