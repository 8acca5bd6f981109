// The Config value's splitting and the command lines of the configuration program and
// the text editor; preset names and value names.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "pebuilder/PluginTools.h"
#include "pebuilder/PresetRules.h"

namespace {

using Elements = std::vector<std::wstring>;

TDataStruct Tool(const std::wstring& config)
{
    TDataStruct entry;
    entry.DisplayName = L"Tool";
    entry.Folder = L"C:\\pe\\plugin\\tool";
    entry.FileName = L"tool.inf";
    entry.FullPath = L"C:\\pe\\plugin\\tool\\tool.inf";
    entry.ConfigCommand = config;
    return entry;
}

}  // namespace

TEST(SplitCommaText, CommasAndBlanksSeparateOutsideQuotes)
{
    EXPECT_EQ(SplitCommaText(L"setup.exe,@PluginFile@"), (Elements{L"setup.exe", L"@PluginFile@"}));
    EXPECT_EQ(SplitCommaText(L"  a b\tc , d  "), (Elements{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(SplitCommaText(L"\"my tool.exe\", \"/x a,b\""), (Elements{L"my tool.exe", L"/x a,b"}));
    EXPECT_EQ(SplitCommaText(L"\"say \"\"hi\"\"\""), (Elements{L"say \"hi\""}));
    EXPECT_EQ(SplitCommaText(L"\"a\"b"), (Elements{L"a", L"b"}));
    EXPECT_EQ(SplitCommaText(L"\"unclosed, rest"), (Elements{L"unclosed, rest"}));
    EXPECT_EQ(SplitCommaText(L"\"\""), (Elements{L""}));
}

TEST(SplitCommaText, EmptyElementsBetweenAndAfterCommas)
{
    EXPECT_EQ(SplitCommaText(L"a,,b"), (Elements{L"a", L"", L"b"}));
    EXPECT_EQ(SplitCommaText(L"a, ,b"), (Elements{L"a", L"", L"b"}));
    EXPECT_EQ(SplitCommaText(L"a,"), (Elements{L"a", L""}));
    EXPECT_EQ(SplitCommaText(L",a"), (Elements{L"", L"a"}));
    EXPECT_TRUE(SplitCommaText(L"").empty());
    EXPECT_TRUE(SplitCommaText(L" \t ").empty());
    EXPECT_EQ(SplitCommaText(std::wstring(L"a\0,b", 4)), (Elements{L"a"}));
}

TEST(PluginConfigCommandLine, ProgramFromThePluginFolderAndThePluginFileQuoted)
{
    EXPECT_EQ(PluginConfigCommandLine(Tool(L"setup.exe,@PluginFile@")),
              L"\"C:\\pe\\plugin\\tool\\setup.exe\" \"C:\\pe\\plugin\\tool\\tool.inf\"");
    EXPECT_EQ(PluginConfigCommandLine(Tool(L"cfg.exe")), L"\"C:\\pe\\plugin\\tool\\cfg.exe\"");
    EXPECT_EQ(PluginConfigCommandLine(Tool(L"\"bin\\my cfg.exe\" /f:@pluginfile@,@PLUGINFILE@x, ,z")),
              L"\"C:\\pe\\plugin\\tool\\bin\\my cfg.exe\" /f:\"C:\\pe\\plugin\\tool\\tool.inf\" "
              L"\"C:\\pe\\plugin\\tool\\tool.inf\"x  z");
    // The file's path is not itself searched for the placeholder again.
    TDataStruct odd = Tool(L"c.exe,@PluginFile@");
    odd.FullPath = L"C:\\@PluginFile@\\t.inf";
    EXPECT_EQ(PluginConfigCommandLine(odd), L"\"C:\\pe\\plugin\\tool\\c.exe\" \"C:\\@PluginFile@\\t.inf\"");
    EXPECT_EQ(PluginConfigCommandLine(Tool(L"")), L"");
}

TEST(TextEditorCommandLine, NotepadWhenNoEditorIsSet)
{
    EXPECT_EQ(TextEditorCommandLine(L"", L"C:\\p\\t.inf"), L"\"notepad.exe\" \"C:\\p\\t.inf\"");
    EXPECT_EQ(TextEditorCommandLine(L"C:\\Program Files\\ed.exe", L"C:\\p q\\t.inf"),
              L"\"C:\\Program Files\\ed.exe\" \"C:\\p q\\t.inf\"");
}

TEST(PresetRules, StorableNames)
{
    EXPECT_TRUE(IsStorablePresetName(L"Tools"));
    EXPECT_TRUE(IsStorablePresetName(L"None"));
    EXPECT_TRUE(IsStorablePresetName(L"nonE"));
    EXPECT_TRUE(IsStorablePresetName(L"PEBuilder"));
    EXPECT_TRUE(IsStorablePresetName(L"最小構成 / 2"));
    EXPECT_TRUE(IsStorablePresetName(std::wstring(255, L'x')));
    EXPECT_FALSE(IsStorablePresetName(L""));
    EXPECT_FALSE(IsStorablePresetName(L"none"));
    EXPECT_TRUE(IsPresetKeyName(L"none"));  // one made outside the program is still read
    EXPECT_FALSE(IsPresetKeyName(L"a\\b"));
    EXPECT_FALSE(IsStorablePresetName(L"a\\b"));
    EXPECT_FALSE(IsStorablePresetName(L"\\"));
    EXPECT_FALSE(IsStorablePresetName(std::wstring(256, L'x')));
}

TEST(PresetRules, ValueNamesHaveAtLeastThreeDigits)
{
    EXPECT_EQ(PresetValueName(1), L"001");
    EXPECT_EQ(PresetValueName(42), L"042");
    EXPECT_EQ(PresetValueName(999), L"999");
    EXPECT_EQ(PresetValueName(1000), L"1000");
}

TEST(PluginTools, WhatStaysInsideThePluginFolder)
{
    for (std::wstring_view path : {L"setup.exe", L"bin\\my cfg.exe", L"docs/help.htm", L".\\a.txt", L"a..b.txt",
                                   L"..a\\x.txt", L"ヘルプ.txt"})
        EXPECT_TRUE(StaysInsideFolder(path)) << testing::PrintToString(std::wstring(path));
    for (std::wstring_view path : {L"", L"..\\p1\\helper.exe", L"..\\..\\..\\outside\\tool.exe", L"a\\..\\..\\x.exe",
                                   L"a/../../x.exe", L"...\\x.exe", L". .\\x.exe", L"\\x.exe", L"/x.exe",
                                   L"\\\\server\\share\\x.exe", L"C:\\x.exe", L"C:x.exe", L"help.txt:x.exe",
                                   L"a\"b.exe", L"a|b", L"a\tb"})
        EXPECT_FALSE(StaysInsideFolder(path)) << testing::PrintToString(std::wstring(path));
}

TEST(PluginTools, HelpIsADocumentInsideThePluginFolder)
{
    for (std::wstring_view name : {L"help.txt", L"a\\b.HTM", L"x.html", L"x.chm", L"x.hlp", L"x.pdf", L"x.rtf",
                                   L"x.doc", L"x.txt.", L"x.mht"})
        EXPECT_TRUE(IsHelpDocumentName(name)) << testing::PrintToString(std::wstring(name));
    for (std::wstring_view name : {L"helper.exe", L"x.EXE", L"x.exe.", L"x.exe ", L"x.bat", L"x.cmd", L"x.lnk",
                                   L"x.url", L"x.vbs", L"x.js", L"x.hta", L"x.msi", L"x.scr", L"readme", L"a.txt\\b"})
        EXPECT_FALSE(IsHelpDocumentName(name)) << testing::PrintToString(std::wstring(name));

    TDataStruct entry = Tool(L"");
    entry.HelpFile = L"C:\\pe\\plugin\\tool\\doc\\help.htm";
    EXPECT_EQ(HelpFileToOpen(entry), L"\"C:\\pe\\plugin\\tool\\doc\\help.htm\"");
    for (std::wstring_view help : {L"..\\p1\\helper.htm", L"helper.exe", L"..\\..\\..\\outside\\tool.exe"}) {
        entry.HelpFile = L"C:\\pe\\plugin\\tool\\" + std::wstring(help);
        EXPECT_THROW(HelpFileToOpen(entry), AppError) << testing::PrintToString(std::wstring(help));
    }
}

TEST(PluginTools, QuotesAndFoldersOfTheCommandLinesHold)
{
    // Each element the INF quoted is one argument, its quotes escaped.
    EXPECT_EQ(PluginConfigCommandLine(Tool(L"c.exe,\"a \"\"b\"\" c\",\"@PluginFile@ x\"")),
              L"\"C:\\pe\\plugin\\tool\\c.exe\" \"a \\\"b\\\" c\" \"C:\\pe\\plugin\\tool\\tool.inf x\"");
    for (std::wstring_view config : {L"..\\p1\\helper.exe", L"..\\..\\..\\outside\\tool.exe", L"C:\\x.exe",
                                     L"\"setup\"\" --INJECTED x.exe\""})
        EXPECT_THROW(PluginConfigCommandLine(Tool(std::wstring(config))), AppError)
            << testing::PrintToString(std::wstring(config));
    EXPECT_THROW(TextEditorCommandLine(L"C:\\ed.exe\" --INJECTED \"x", L"C:\\p\\t.inf"), AppError);
}
