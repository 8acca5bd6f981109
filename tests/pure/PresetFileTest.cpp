// The preset file: what it writes and reads back, the files it refuses and where, its
// plug-ins against another installation's catalogue, portable paths, and strict UTF-8.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/TextCodec.h"
#include "pebuilder/PresetFile.h"

namespace {

const std::string kBom = "\xEF\xBB\xBF";

// A file of these lines, each ended by CR LF, with no mark.
std::string Lines(std::initializer_list<std::string> lines)
{
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

// A marked file of format 1 named "N" whose plug-in section starts with these lines.
std::string Marked(std::initializer_list<std::string> lines)
{
    return Lines({"[Kitwright preset]", "format=1", "name=N", "[plugins]"}) + Lines(lines);
}

const std::string kValid = Lines({"[Kitwright preset]", "format=1", "name=Net", "", "[plugins]",
                                  "net\\tcpip.inf|TCP/IP", "", "[settings]", "buildiso=1", "", "[end]"});

}  // namespace

TEST(PresetFile, WhatItWritesReadsBackTheSame)
{
    PortablePreset bare{L"最小構成", {{L"shell\\shell.inf", L"シェル (スタートメニュー)"}}, std::nullopt};
    PortablePreset full{
        L" a|b=c ",
        {{L"[old]\\a=b.inf", L"  Name with | and = "}, {L"x.INF", L""}},
        std::vector<PortableSetting>{
            {L"source", L"C:\\XP\\"}, {L"isofile", L"<PEBuilder>\\pe.iso"}, {L"buildiso", L"1"}, {L"volumeid", L""}}};
    PortablePreset noSettings{L"Empty", {}, std::vector<PortableSetting>{}};
    for (const PortablePreset& preset : {bare, full, noSettings}) {
        const std::string bytes = WritePresetFile(preset);
        EXPECT_TRUE(bytes.starts_with(kBom + "[Kitwright preset]\r\nformat=1\r\n"));
        EXPECT_TRUE(bytes.ends_with("\r\n[end]\r\n"));
        const ParsedPresetFile parsed = ParsePresetFile(bytes);
        EXPECT_EQ(parsed.problem, PresetFileProblem::None);
        EXPECT_EQ(parsed.preset, preset);
    }
    // As a user's editor may leave it: no mark, LF alone, blank lines between.
    ParsedPresetFile edited = ParsePresetFile(
        "[Kitwright "
        "preset]\nformat=1\n\nname=Net\n[plugins]\nnet\\tcpip.inf|TCP/IP\n[settings]\nBUILDISO=0x1\n[end]\n\n");
    EXPECT_EQ(edited.problem, PresetFileProblem::None);
    EXPECT_EQ(edited.preset.settings, (std::vector<PortableSetting>{{L"buildiso", L"0x1"}}));
}

TEST(PresetFile, FilesThatAreNotOneOrAreDamagedAreRefusedWithTheLine)
{
    using enum PresetFileProblem;
    struct Case {
        const char* what;
        std::string bytes;
        PresetFileProblem problem;
        size_t line;
    };
    const Case cases[] = {
        {"empty", "", NotPresetFile, 0},
        {"another text", "hello\r\n", NotPresetFile, 0},
        {"mark after a blank line", "\r\n" + kValid, NotPresetFile, 0},
        {"mark with blanks", " [Kitwright preset]\r\n", NotPresetFile, 0},
        {"UTF-16", "\xFF\xFE[\0K\0", NotPresetFile, 0},
        {"later format", Lines({"[Kitwright preset]", "format=2", "whatever"}), NewerFormat, 0},
        {"mark alone", Lines({"[Kitwright preset]"}), Damaged, 2},
        {"format not a number", Lines({"[Kitwright preset]", "format=one"}), Damaged, 2},
        {"format zero", Lines({"[Kitwright preset]", "format=0"}), Damaged, 2},
        {"no name", Lines({"[Kitwright preset]", "format=1", "[plugins]"}), Damaged, 3},
        {"empty name", Lines({"[Kitwright preset]", "format=1", "name=", "[plugins]"}), Damaged, 3},
        {"no plug-in section", Lines({"[Kitwright preset]", "format=1", "name=N", "[end]"}), Damaged, 4},
        {"cut short", kValid.substr(0, kValid.size() - 7), Damaged, 11},
        {"cut inside a line", kValid.substr(0, 60), Damaged, 6},
        {"plug-in without a name", Marked({"a.inf", "[end]"}), Damaged, 5},
        {"plug-in not an INF", Marked({"a.txt|A", "[end]"}), Damaged, 5},
        {"absolute path", Marked({"C:\\a.inf|A", "[end]"}), Damaged, 5},
        {"path up", Marked({"..\\a.inf|A", "[end]"}), Damaged, 5},
        {"empty folder name", Marked({"a\\\\b.inf|A", "[end]"}), Damaged, 5},
        {"unknown setting", Marked({"[settings]", "whattodo=1", "[end]"}), Damaged, 6},
        {"setting twice", Marked({"[settings]", "verbose=1", "Verbose=0", "[end]"}), Damaged, 7},
        {"number that is none", Marked({"[settings]", "verbose=yes", "[end]"}), Damaged, 6},
        {"folder mark run on", Marked({"[settings]", "source=<PEBuilder>x", "[end]"}), Damaged, 6},
        {"lines after the end", kValid + "more\r\n", Damaged, 12},
        {"settings after the end", Marked({"[end]", "[settings]"}), Damaged, 6},
        {"not UTF-8", Lines({"[Kitwright preset]", "format=1", "name=\x83\x76\x83\x8A", "[plugins]", "[end]"}), Damaged,
         3},
        {"NUL in a name", Lines({"[Kitwright preset]", "format=1", std::string("name=a\0b", 8), "[plugins]", "[end]"}),
         Damaged, 3},
    };
    for (const Case& c : cases) {
        const ParsedPresetFile parsed = ParsePresetFile(c.bytes);
        EXPECT_EQ(parsed.problem, c.problem) << c.what;
        EXPECT_EQ(parsed.line, c.line) << c.what;
        EXPECT_EQ(parsed.preset, PortablePreset{}) << c.what;
    }
}

TEST(PresetFile, WhatTheFileCannotCarryIsRefusedWhenWritten)
{
    const PortablePlugin plugin{L"a.inf", L"A"};
    const PortablePreset cases[] = {
        {L"", {plugin}, std::nullopt},
        {L"two\r\nlines", {plugin}, std::nullopt},
        {L"N", {{L"a.inf", L"line\nbreak"}}, std::nullopt},
        {L"N", {{L"C:\\a.inf", L"A"}}, std::nullopt},
        {L"N", {{L"a.exe", L"A"}}, std::nullopt},
        {L"N", {plugin}, std::vector<PortableSetting>{{L"whattodo", L"1"}}},
        {L"N", {plugin}, std::vector<PortableSetting>{{L"buildiso", L"on"}}},
        {L"N", {plugin}, std::vector<PortableSetting>{{L"source", L"a\rb"}}},
        {std::wstring(1, static_cast<wchar_t>(0xD800)), {plugin}, std::nullopt},
    };
    for (const PortablePreset& preset : cases) EXPECT_THROW(WritePresetFile(preset), AppError) << preset.name.size();
}

TEST(PresetFile, PluginsMatchByPathAndNameElseByTheOneNameNeverByAnotherName)
{
    const std::vector<CataloguePlugin> here = {
        {L"shell\\shell.inf", L"Shell", L"Shell::shell\\"},
        {L"net\\tcpip\\tcpip.inf", L"TCP/IP", L"TCP/IP::net\\tcpip\\"},  // moved since
        {L"tools\\edit.inf", L"Notepad", L"Notepad::tools\\"},           // another plug-in at the path
        {L"a\\x.inf", L"Twice", L"Twice::a\\"},
        {L"b\\x.inf", L"Twice", L"Twice::b\\"},
        {L"c\\one.inf", L"Same key", L"Same key::c\\"},
        {L"c\\two.inf", L"Same key", L"Same key::c\\"},
    };
    const std::vector<PortablePlugin> file = {
        {L"SHELL\\Shell.inf", L"shell"},       // letter case aside, the same
        {L"net\\tcpip.inf", L"TCP/IP"},        // by its one name
        {L"tools\\edit.inf", L"Text Editor"},  // not the plug-in there now
        {L"z\\x.inf", L"Twice"},               // two places: neither is chosen
        {L"c\\three.inf", L"Same key"},        // two files of one key
        {L"shell\\shell.inf", L"Shell"},       // listed twice, stored once
        {L"usb.inf", L"USB"},
    };
    const PluginMatch match = MatchPlugins(file, here);
    EXPECT_EQ(match.keys, (std::vector<std::wstring>{L"Same key::c\\", L"Shell::shell\\", L"TCP/IP::net\\tcpip\\"}));
    EXPECT_EQ(match.missing, (std::vector<PortablePlugin>{file[2], file[3], file[6]}));
    // Listed by name and path; a line that would hide only one is not worth it.
    const std::wstring all = L"  Text Editor (tools\\edit.inf)\r\n  Twice (z\\x.inf)\r\n  USB (usb.inf)";
    EXPECT_EQ(MissingPluginLines(match.missing), all);
    EXPECT_EQ(MissingPluginLines(match.missing, 2), all);
    EXPECT_EQ(MissingPluginLines(match.missing, 1), L"  Text Editor (tools\\edit.inf)\r\n  ... (+2)");
}

TEST(PresetFile, ExportTakesThePluginsTheKeysEnableSortedByName)
{
    StringList catalogue;
    for (auto [folder, file, name] :
         {std::tuple{L"C:\\pe\\Plugin\\zz", L"z.inf", L"b"}, std::tuple{L"C:\\pe\\Plugin", L"top.inf", L"A"},
          std::tuple{L"C:\\pe\\Plugin\\net\\tools", L"t.inf", L"c"},
          std::tuple{L"C:\\pe\\Plugin\\off", L"o.inf", L"off"}}) {
        TDataStruct entry;
        entry.DisplayName = name;
        entry.Folder = folder;
        entry.FileName = file;
        AddListEntry(catalogue, name, entry);
    }
    const std::vector<CataloguePlugin> plugins = CataloguePlugins(catalogue, L"C:\\pe");
    EXPECT_EQ(plugins[1], (CataloguePlugin{L"top.inf", L"A", L"A::"}));
    EXPECT_EQ(plugins[2], (CataloguePlugin{L"net\\tools\\t.inf", L"c", L"c::net\\tools\\"}));
    const std::vector<std::wstring> sortedKeys = {L"a::", L"B::ZZ\\", L"c::net\\tools\\", L"gone::gone\\"};
    EXPECT_EQ(PortablePluginsOf(sortedKeys, plugins),
              (std::vector<PortablePlugin>{{L"top.inf", L"A"}, {L"zz\\z.inf", L"b"}, {L"net\\tools\\t.inf", L"c"}}));
}

TEST(PresetFile, PathsInThePEBuilderFolderTravelWithIt)
{
    struct Case {
        const wchar_t *path, *portable;
    };
    const Case cases[] = {
        {L"C:\\PE\\pebuilder.iso", L"<PEBuilder>\\pebuilder.iso"},
        {L"c:\\pe", L"<PEBuilder>"},
        {L"C:\\pe\\", L"<PEBuilder>\\"},
        {L"C:\\pe2\\x", L"C:\\pe2\\x"},
        {L"D:\\source\\", L"D:\\source\\"},
        {L"BaseOut\\", L"BaseOut\\"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PortablePath(c.path, L"C:\\pe\\"), c.portable) << c.path;
        if (std::wstring_view(c.portable).starts_with(L"<"))
            EXPECT_EQ(LocalPath(c.portable, L"E:\\Tools\\PE Builder"),
                      L"E:\\Tools\\PE Builder" + std::wstring(std::wstring_view(c.portable).substr(11)));
        else
            EXPECT_EQ(LocalPath(c.portable, L"E:\\x"), c.path);
    }
    EXPECT_EQ(PortablePath(L"C:\\pe\\a", L""), L"C:\\pe\\a");
}

TEST(PresetFile, Utf8IsReadAndWrittenStrictly)
{
    struct Case {
        std::string bytes;
        std::optional<std::wstring> text;
    };
    const Case cases[] = {
        {"", L""},
        {"a\xC3\xA9\xE3\x83\x97", L"a\u00E9\u30D7"},
        {"\xF0\x9F\x98\x80", L"\U0001F600"},
        {"\xC3", std::nullopt},              // cut short
        {"\xC0\xAF", std::nullopt},          // overlong
        {"\xED\xA0\x80", std::nullopt},      // a surrogate
        {"\xF4\x90\x80\x80", std::nullopt},  // beyond U+10FFFF
        {"\x83\x76", std::nullopt},          // Shift-JIS
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.bytes), c.text) << c.bytes;
        EXPECT_EQ(Utf8ValidLength(c.bytes), c.text ? c.bytes.size() : 0u) << c.bytes;
        if (c.text) {
            EXPECT_EQ(WideToUtf8(*c.text), c.bytes);
        }
    }
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xDC00))), std::nullopt);
}
