// The PE Builder settings dialog's rules: fields by version class, Label2's text, the
// two forms of the output path, the OK check in order, and the values written.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/Ini.h"
#include "pebuilder/InputSettings.h"

namespace {

InputValueSource FromIni(const IniDocument& doc)
{
    return {[&doc](const wchar_t* name, const std::wstring& def) { return doc.ReadString(L"input", name, def); },
            [&doc](const wchar_t* name) { return doc.ReadInteger(L"input", name, 0); }};
}

const wchar_t* kFull =
    L"[input]\r\nsource=D:\\xp\\\r\noutdir=out\\\r\nisofile=C:\\iso\\pe.iso\r\ncustomdir=C:\\custom\\\r\n"
    L"buildiso=1\r\nverbose=1\r\nskipfiles=1\r\nskipregistry=1\r\nburncd=1\r\nblankcdrw=1\r\n"
    L"ISOduplicatesonce=1\r\nvolumeid=PE\r\ndevice=1,0,0\r\nuseAbsoluteOutput=1\r\nfulloutdir=E:\\build\\\r\n";

std::map<std::wstring, std::wstring> AsMap(const std::vector<InputWrite>& writes)
{
    std::map<std::wstring, std::wstring> m;
    for (const InputWrite& w : writes) m[w.key] = w.number ? std::to_wstring(*w.number) : w.text;
    return m;
}

std::vector<std::wstring> Keys(const std::vector<InputWrite>& writes)
{
    std::vector<std::wstring> keys;
    for (const InputWrite& w : writes) keys.push_back(w.key);
    return keys;
}

}  // namespace

TEST(InputSettingsLoad, EachClassReadsOnlyItsKeys)
{
    IniDocument doc = IniDocument::Parse(kFull);
    InputSettingsFields c0 = LoadInputSettings(FromIni(doc), 0);
    EXPECT_EQ(c0.source, L"D:\\xp");
    EXPECT_EQ(c0.outdir, L"out");
    EXPECT_EQ(c0.isoFolder, L"C:\\iso");
    EXPECT_EQ(c0.isoName, L"pe.iso");
    EXPECT_EQ(c0.customdir, L"C:\\custom");
    EXPECT_TRUE(c0.absoluteOutput && c0.buildiso && c0.verbose);
    EXPECT_FALSE(c0.skipfiles || c0.skipregistry || c0.burncd);
    EXPECT_EQ(c0.device, L"");

    InputSettingsFields c1 = LoadInputSettings(FromIni(doc), 1);
    EXPECT_FALSE(c1.absoluteOutput);
    EXPECT_TRUE(c1.skipfiles && c1.skipregistry);
    EXPECT_FALSE(c1.burncd || c1.blankcdrw || c1.ISOduplicatesonce);

    InputSettingsFields c2 = LoadInputSettings(FromIni(doc), 2);
    EXPECT_TRUE(c2.burncd && c2.blankcdrw && c2.ISOduplicatesonce);
    EXPECT_EQ(c2.volumeid, L"PE");
    EXPECT_EQ(c2.device, L"1,0,0");
    EXPECT_EQ(c2.outdir, L"out") << "fulloutdir is a class 3 key";

    InputSettingsFields c3 = LoadInputSettings(FromIni(doc), 3);
    EXPECT_TRUE(c3.absoluteOutput);
    EXPECT_EQ(c3.outdir, L"E:\\build");
}

TEST(InputSettingsLoad, AbsoluteChoiceOfClass3)
{
    auto load = [](const wchar_t* text) { return LoadInputSettings(FromIni(IniDocument::Parse(text)), 3); };
    // Without fulloutdir the absolute path is outdir as written.
    InputSettingsFields f = load(L"[input]\r\noutdir=C:\\o\\\r\nuseAbsoluteOutput=1\r\n");
    EXPECT_TRUE(f.absoluteOutput);
    EXPECT_EQ(f.outdir, L"C:\\o");
    f = load(L"[input]\r\noutdir=o\\\r\nuseAbsoluteOutput=0\r\nfulloutdir=C:\\x\\\r\n");
    EXPECT_FALSE(f.absoluteOutput);
    EXPECT_EQ(f.outdir, L"o");
    // A value neither 0 nor 1 keeps the start state: relative.
    EXPECT_FALSE(load(L"[input]\r\nuseAbsoluteOutput=2\r\n").absoluteOutput);
    // A missing file: everything empty, nothing ticked.
    f = load(L"");
    EXPECT_EQ(f.source + f.outdir + f.isoFolder + f.isoName + f.customdir, L"");
    EXPECT_FALSE(f.absoluteOutput || f.buildiso);
}

TEST(InputSettingsLabel, BuiltInAndLanguageTexts)
{
    EXPECT_EQ(OutputLabelText(true, {}), L"ビルドファイル出力パス(&D):");
    EXPECT_EQ(OutputLabelText(false, {}), L"ビルドファイル出力パス[PE Builderパスからのオフセット](&D):");
    OutputLabelTexts lang{true, L"Output%s:", L"(offset)"};
    EXPECT_EQ(OutputLabelText(true, lang), L"Output:");
    EXPECT_EQ(OutputLabelText(false, lang), L"Output (offset):");
    // A pattern that is not what a format expects is shown, not read past.
    EXPECT_EQ(FormatText(L"%d %s %s 100%%", L"x"), L"%d x %s 100%");
    EXPECT_EQ(FormatText(L"end%", L"x"), L"end%");
}

TEST(InputSettingsOutput, RelativeAndAbsoluteFormsConvert)
{
    EXPECT_EQ(OutputToAbsolute(L"C:\\PEB", L"out"), L"C:\\PEB\\out");
    EXPECT_EQ(OutputToRelative(L"C:\\PEB", L"C:\\PEB\\out"), L"out");
    EXPECT_EQ(OutputToRelative(L"C:\\PEB", L"c:\\peb\\Out\\sub\\"), L"Out\\sub");
    EXPECT_EQ(OutputToRelative(L"C:\\PEB", L"C:\\other"), L"..\\other");
    EXPECT_EQ(OutputToRelative(L"C:\\PEB", L"D:\\out"), L"D:\\out");
    EXPECT_EQ(OutputToAbsolute(L"C:\\PEB", L""), L"C:\\PEB");

    EXPECT_EQ(OutputBrowseStart(L"C:\\PEB", L"out", false), L"C:\\PEB\\out");
    EXPECT_EQ(OutputBrowseStart(L"C:\\PEB", L"E:\\out", true), L"E:\\out");
    EXPECT_EQ(OutputBrowseResult(L"C:\\PEB", L"C:\\PEB\\build", false), L"build");
    EXPECT_EQ(OutputBrowseResult(L"C:\\PEB", L"C:\\PEB\\build", true), L"C:\\PEB\\build");
}

TEST(InputSettingsCheck, FirstFieldAtFaultInOrder)
{
    std::set<std::wstring> folders = {L"D:\\xp", L"C:\\PEB\\out", L"C:\\iso", L"C:\\custom", L"E:\\abs"};
    FolderTest exists = [&](const std::wstring& p) { return folders.count(p) > 0; };
    InputSettingsFields f;
    f.source = L"D:\\xp";
    f.outdir = L"out";
    f.absoluteOutput = false;
    f.isoFolder = L"C:\\iso";
    f.isoName = L"pe.iso";
    f.customdir = L"  ";
    EXPECT_EQ(CheckInputSettings(f, L"C:\\PEB", exists).field, InputField::None);

    auto fault = [&](InputSettingsFields g) {
        InputCheck c = CheckInputSettings(g, L"C:\\PEB", exists);
        return std::pair{c.field, c.message};
    };
    InputSettingsFields g = f;
    g.customdir = L"C:\\nope";
    EXPECT_EQ(fault(g), std::pair(InputField::CustomDir, RS_405));
    g.isoName = L" ";
    EXPECT_EQ(fault(g), std::pair(InputField::IsoName, RS_404));
    g.isoFolder = L"C:\\nope";
    EXPECT_EQ(fault(g), std::pair(InputField::IsoFolder, RS_403));
    g.absoluteOutput = true;  // "out" is no absolute folder
    EXPECT_EQ(fault(g), std::pair(InputField::OutDir, RS_402));
    g.source = L"";
    EXPECT_EQ(fault(g), std::pair(InputField::Source, RS_401));

    g = f;
    g.absoluteOutput = true;
    g.outdir = L"E:\\abs";
    EXPECT_EQ(fault(g).first, InputField::None);
    // An empty relative path would be the PE Builder folder itself.
    g.absoluteOutput = false;
    g.outdir = L"";
    folders.insert(L"C:\\PEB\\");
    EXPECT_EQ(fault(g), std::pair(InputField::OutDir, RS_402));
}

TEST(InputSettingsWrites, OrderAndFormsByClass)
{
    InputSettingsFields f;
    f.source = L"D:\\xp";
    f.outdir = L"E:\\abs";
    f.absoluteOutput = true;
    f.isoFolder = L"C:";
    f.isoName = L"pe.iso";
    f.customdir = L"";
    f.buildiso = f.skipfiles = f.burncd = f.blankcdrw = f.ISOduplicatesonce = true;
    f.volumeid = L"abc";

    EXPECT_EQ(Keys(InputSettingsWrites(f, 0, std::nullopt)),
              (std::vector<std::wstring>{L"source", L"outdir", L"isofile", L"customdir", L"buildiso", L"verbose"}));
    auto w3 = InputSettingsWrites(f, 3, L"1,0,0");
    EXPECT_EQ(Keys(w3),
              (std::vector<std::wstring>{L"source", L"outdir", L"isofile", L"customdir", L"buildiso", L"verbose",
                                         L"skipfiles", L"skipregistry", L"burncd", L"blankcdrw", L"device", L"volumeid",
                                         L"ISOduplicatesonce", L"useAbsoluteOutput", L"fulloutdir"}));
    auto m = AsMap(w3);
    EXPECT_EQ(m[L"source"], L"D:\\xp\\");
    EXPECT_EQ(m[L"outdir"], L"E:\\abs\\");
    EXPECT_EQ(m[L"fulloutdir"], L"E:\\abs\\");
    EXPECT_EQ(m[L"isofile"], L"C:\\pe.iso");
    EXPECT_EQ(m[L"customdir"], L"");
    EXPECT_EQ(m[L"buildiso"], L"1");
    EXPECT_EQ(m[L"verbose"], L"0");
    EXPECT_EQ(m[L"skipregistry"], L"0");
    EXPECT_EQ(m[L"device"], L"1,0,0");
    EXPECT_EQ(m[L"volumeid"], L"ABC");
    EXPECT_EQ(m[L"useAbsoluteOutput"], L"1");

    // Relative output: no fulloutdir; burning off keeps the volume but drops the device.
    f.absoluteOutput = false;
    f.outdir = L"out";
    f.burncd = false;
    f.customdir = L"C:\\c";
    m = AsMap(InputSettingsWrites(f, 3, L"1,0,0"));
    EXPECT_EQ(m.count(L"fulloutdir"), 0u);
    EXPECT_EQ(m[L"useAbsoluteOutput"], L"0");
    EXPECT_EQ(m[L"device"], L"");
    EXPECT_EQ(m[L"volumeid"], L"ABC");
    EXPECT_EQ(m[L"customdir"], L"C:\\c\\");

    // No drive: nothing burnt, no volume ID whatever was typed.
    f.burncd = true;
    m = AsMap(InputSettingsWrites(f, 2, std::nullopt));
    EXPECT_EQ(m[L"burncd"], L"0");
    EXPECT_EQ(m[L"blankcdrw"], L"0");
    EXPECT_EQ(m[L"device"], L"");
    EXPECT_EQ(m[L"volumeid"], L"");
    EXPECT_EQ(m[L"ISOduplicatesonce"], L"1");
}
