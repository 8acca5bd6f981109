// Which INF files are plug-ins, what their entries hold, their keys, and a preset's
// key list.
#include <gtest/gtest.h>

#include "pebuilder/PluginEntry.h"

namespace {

std::optional<TDataStruct> Entry(const std::wstring& text)
{
    return PluginEntryFromInf(IniView::Parse(text), L"C:\\pe\\plugin\\tool", L"Tool.inf");
}

const std::wstring kSigned = L"[Version]\nSignature=\"$Windows NT$\"\n";

}  // namespace

TEST(PluginEntry, SignatureMustBeWindowsNtWithOrWithoutQuotes)
{
    const std::wstring body = L"[PEBuilder]\nName=Tool\n";
    EXPECT_TRUE(Entry(L"[Version]\nSignature=\"$Windows NT$\"\n" + body));
    EXPECT_TRUE(Entry(L"[version]\nsignature =  $Windows NT$ \n" + body));
    EXPECT_FALSE(Entry(L"[Version]\nSignature=$WINDOWS NT$\n" + body));
    EXPECT_FALSE(Entry(L"[Version]\nSignature=\"$Chicago$\"\n" + body));
    EXPECT_FALSE(Entry(L"[Version]\nSignature=\"\"$Windows NT$\"\"\n" + body));
    EXPECT_FALSE(Entry(L"[Version]\nSignature=\"$Windows NT$\n" + body));
    EXPECT_FALSE(Entry(body));
}

TEST(PluginEntry, NameIsTrimmedAndUnquotedAndMustNotBeEmpty)
{
    EXPECT_EQ(Entry(kSigned + L"[PEBuilder]\nName=\"  My Tool \"\n")->DisplayName, L"  My Tool ");
    EXPECT_EQ(Entry(kSigned + L"[pebuilder]\nname=\tツール\n")->DisplayName, L"ツール");
    EXPECT_EQ(Entry(kSigned + L"[PEBuilder]\nName=\"\"\n")->DisplayName, L"");
    EXPECT_EQ(Entry(kSigned + L"[PEBuilder]\nName=\"a\"b\"\n")->DisplayName, L"a\"b");
    EXPECT_EQ(Entry(kSigned + L"[PEBuilder]\nName=\"\n")->DisplayName, L"\"");
    EXPECT_FALSE(Entry(kSigned + L"[PEBuilder]\nName=  \n"));
    EXPECT_FALSE(Entry(kSigned + L"[PEBuilder]\nHelp=x\n"));
}

TEST(PluginEntry, FieldsFromOneParse)
{
    std::optional<TDataStruct> e = Entry(kSigned +
                                         L"[PEBuilder]\nName=Tool\nHelp=\"help\\tool.htm\"\n"
                                         L"Config = \"cfg.exe\", -x ,y \nEnable=1\n");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Folder, L"C:\\pe\\plugin\\tool");
    EXPECT_EQ(e->FileName, L"Tool.inf");
    EXPECT_EQ(e->FullPath, L"C:\\pe\\plugin\\tool\\Tool.inf");
    EXPECT_EQ(e->HelpFile, L"C:\\pe\\plugin\\tool\\help\\tool.htm");
    EXPECT_EQ(e->ConfigCommand, L"\"cfg.exe\", -x ,y");
    EXPECT_TRUE(e->Enabled);

    std::optional<TDataStruct> bare = Entry(kSigned + L"[PEBuilder]\nName=Tool\nHelp=\"\"\n");
    EXPECT_EQ(bare->HelpFile, L"");
    EXPECT_EQ(bare->ConfigCommand, L"");
    EXPECT_FALSE(bare->Enabled);
}

TEST(PluginEntry, EnabledOnlyWhenEnableReadsAsOne)
{
    for (const wchar_t* value : {L"1", L"0x1", L"$1", L"+1"})
        EXPECT_TRUE(Entry(kSigned + L"[PEBuilder]\nName=T\nEnable=" + value + L"\n")->Enabled) << value;
    for (const wchar_t* value : {L"0", L"2", L"-1", L"yes", L"", L"1 ;on"})
        EXPECT_FALSE(Entry(kSigned + L"[PEBuilder]\nName=T\nEnable=" + value + L"\n")->Enabled) << value;
    // The last Enable line counts, as for every INI value.
    EXPECT_TRUE(Entry(kSigned + L"[PEBuilder]\nName=T\nEnable=0\nEnable=1\n")->Enabled);
}

TEST(PluginEntry, InfFileNamesMatchWithoutCase)
{
    EXPECT_TRUE(IsInfFileName(L"tool.inf"));
    EXPECT_TRUE(IsInfFileName(L"TOOL.INF"));
    EXPECT_TRUE(IsInfFileName(L"a.b.Inf"));
    EXPECT_FALSE(IsInfFileName(L"tool.inf.bak"));
    EXPECT_FALSE(IsInfFileName(L"tool.ini"));
    EXPECT_FALSE(IsInfFileName(L"inf"));
}

TEST(PluginEntry, KeyIsNameAndFolderBelowThePluginFolder)
{
    struct Case {
        const wchar_t *folder, *pebuilder, *key;
    };
    const Case cases[] = {
        {L"C:\\PE\\Plugin\\mytool", L"C:\\pe", L"My Tool::mytool\\"},
        {L"C:\\pe\\PLUGIN\\net\\tools", L"c:\\PE", L"My Tool::net\\tools\\"},
        {L"C:\\pe\\Plugin", L"C:\\pe", L"My Tool::"},
        // Folders elsewhere step up, other drives keep their full path.
        {L"C:\\other\\x", L"C:\\pe", L"My Tool::..\\..\\other\\x\\"},
        {L"D:\\x", L"C:\\pe", L"My Tool::D:\\x\\"},
        // Empty names on the way are dropped, as everywhere in relative paths.
        {L"C:\\pe\\\\Plugin\\a\\\\b", L"C:\\pe", L"My Tool::a\\b\\"},
        {L"\\\\srv\\pe\\Plugin\\a", L"\\\\srv\\pe\\", L"My Tool::a\\"},
        {L"C:\\pe\\Plugins\\a", L"C:\\pe", L"My Tool::..\\Plugins\\a\\"},
    };
    TDataStruct e;
    e.DisplayName = L"My Tool";
    for (const Case& c : cases) {
        e.Folder = c.folder;
        EXPECT_EQ(PluginKeyOf(e, c.pebuilder), c.key) << testing::PrintToString(std::wstring(c.folder));
    }
}

TEST(PluginEntry, PresetKeysAreValuesSortedWithoutCase)
{
    std::vector<std::wstring> keys =
        PresetKeysFromValueLines({L"001=b::b\\", L"002=", L"003=A::a\\", L"noequals", L"004=c=d::", L"005=a::A\\"});
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0], L"A::a\\");  // equal without case: kept in stored order
    EXPECT_EQ(keys[1], L"a::A\\");
    EXPECT_EQ(keys[2], L"b::b\\");
    EXPECT_EQ(keys[3], L"c=d::");
    EXPECT_TRUE(PresetHasKey(keys, L"a::a\\"));
    EXPECT_TRUE(PresetHasKey(keys, L"B::B\\"));
    EXPECT_TRUE(PresetHasKey(keys, L"C=D::"));
    EXPECT_FALSE(PresetHasKey(keys, L"b::b"));
    EXPECT_FALSE(PresetHasKey(keys, L"b::"));
    EXPECT_FALSE(PresetHasKey({}, L"a::"));
}
