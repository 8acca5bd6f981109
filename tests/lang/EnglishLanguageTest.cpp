// The English language file against the program's sources: every section and key that
// the code names in its string literals must be in lang/English.rsl, [Strings] must
// hold exactly the string table, and the texts must keep the placeholders of the
// built-in ones. The keys come from the code itself, so a window that starts reading a
// new key fails here until the file has it. Runs on the host: it reads the source tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/Ini.h"
#include "core/StringTable.h"

namespace {

namespace fs = std::filesystem;

// One key that a unit of the program reads, from one of the sections it names.
struct KeyRead {
    std::string unit;                // "dialogs/about1"
    std::set<std::string> sections;  // {"Form03"}
    std::string key;                 // "RS_001"

    bool operator==(const KeyRead&) const = default;
};

// What the sources read from the language file.
struct LanguageReads {
    std::vector<KeyRead> keys;
    std::set<std::string> fonts;  // "Font01"
    std::vector<std::string> problems;

    bool Reads(const std::string& section, const std::string& key) const
    {
        for (const KeyRead& read : keys)
            if (read.sections.count(section) && read.key == key) return true;
        return false;
    }
};

// The contents of the string literals of C++ source text; comments and character
// literals are skipped, escapes are kept as written.
std::vector<std::string> StringLiterals(const std::string& text)
{
    std::vector<std::string> literals;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "//") == 0) {
            i = text.find('\n', i);
            if (i == std::string::npos) break;
        } else if (text.compare(i, 2, "/*") == 0) {
            i = text.find("*/", i + 2);
            if (i == std::string::npos) break;
            ++i;
        } else if (text[i] == '"' || text[i] == '\'') {
            const char quote = text[i];
            std::string literal;
            for (++i; i < text.size() && text[i] != quote; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) literal += text[i++];
                literal += text[i];
            }
            if (quote == '"') literals.push_back(literal);
        }
    }
    return literals;
}

// One unit of the program (a header and its sources, "dir/Name"): the sections it names
// and the keys it reads. A key needs a section named in the same unit; in a unit that
// names several sections, one of them must hold it.
void ScanUnit(const std::string& unit, const std::string& text, LanguageReads& reads)
{
    static const std::regex key("RS_[0-9]{3}"), section("Form[0-9]{2}|Strings"), font("Font[0-9]{2}");
    std::set<std::string> sections, keys;
    for (const std::string& literal : StringLiterals(text)) {
        if (std::regex_match(literal, key)) {
            keys.insert(literal);
        } else if (literal.rfind("RS_", 0) == 0) {
            reads.problems.push_back(unit + ": a key made at run time (\"" + literal +
                                     "\") cannot be checked against the language file; name each key");
        } else if (std::regex_match(literal, section)) {
            sections.insert(literal);
        } else if (std::regex_match(literal, font)) {
            reads.fonts.insert(literal);
        }
    }
    if (!keys.empty() && sections.empty())
        reads.problems.push_back(unit + ": reads keys but names no section in the same file");
    if (sections.empty()) return;
    for (const std::string& k : keys) reads.keys.push_back({unit, sections, k});
}

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The string table's own file composes the [Strings] keys from the table, which the
// tests below take from StringTable itself.
const std::set<std::string> kNotScanned = {"core/StringTable"};

LanguageReads ScanSourceTree(const fs::path& top)
{
    std::map<std::string, std::string> units;
    for (const char* folder : {"app", "core", "dialogs", "ui", "controls", "pebuilder"}) {
        if (!fs::exists(top / folder)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(top / folder)) {
            const fs::path& path = entry.path();
            if (path.extension() != ".cpp" && path.extension() != ".h") continue;
            std::string stem = path.stem().string();
            if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, "_win") == 0) stem.resize(stem.size() - 4);
            std::string unit = fs::relative(path.parent_path(), top).generic_string() + "/" + stem;
            units[unit] += ReadText(path) + "\n";
        }
    }
    LanguageReads reads;
    for (const auto& [unit, text] : units)
        if (!kNotScanned.count(unit)) ScanUnit(unit, text, reads);
    return reads;
}

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The key names of each section, in file order, as the lines of the file give them.
std::map<std::string, std::vector<std::string>> KeysBySection(const std::string& text)
{
    std::map<std::string, std::vector<std::string>> sections;
    std::istringstream lines(text);
    std::string line, current;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            current = line.substr(1, line.find(']') - 1);
            sections[current];
        } else if (line.find('=') != std::string::npos) {
            sections[current].push_back(line.substr(0, line.find('=')));
        }
    }
    return sections;
}

size_t Count(std::wstring_view text, std::wstring_view what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::wstring_view::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

class EnglishFile : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        bytes = new std::string(ReadText(fs::path(KW_SOURCE_DIR) / "lang" / "English.rsl"));
        english = new IniDocument(IniDocument::Parse(Wide(*bytes)));
        reads = new LanguageReads(ScanSourceTree(KW_SOURCE_DIR));
    }
    static void TearDownTestSuite()
    {
        delete bytes;
        delete english;
        delete reads;
    }

    static std::string* bytes;
    static IniDocument* english;
    static LanguageReads* reads;
};

std::string* EnglishFile::bytes = nullptr;
IniDocument* EnglishFile::english = nullptr;
LanguageReads* EnglishFile::reads = nullptr;

}  // namespace

TEST(LanguageScan, FindsTheLiteralsOfCodeNotOfComments)
{
    LanguageReads reads;
    ScanUnit("dialogs/Box",
             "// [Form09] \"RS_777\" in a comment\n"
             "/* \"RS_778\" */ const wchar_t q = L'\"';\n"
             "SetLanguageSection(L\"Form03\", {CaptionBinding(Handle(), L\"RS_001\")});\n"
             "ReadLanguageCaption(L\"Form03\", L\"RS_002\", L\"a \\\" quote\");\n"
             "ReadFontSpec(L\"Font02\", kListFontName, 10);\n",
             reads);
    EXPECT_EQ(reads.keys,
              (std::vector<KeyRead>{{"dialogs/Box", {"Form03"}, "RS_001"}, {"dialogs/Box", {"Form03"}, "RS_002"}}));
    EXPECT_EQ(reads.fonts, std::set<std::string>{"Font02"});
    EXPECT_TRUE(reads.problems.empty());
}

TEST(LanguageScan, RefusesWhatItCannotCheck)
{
    LanguageReads reads;
    ScanUnit("ui/Made", "ReadLanguageCaption(L\"Form01\", Format(L\"RS_%03d\", n));", reads);
    ScanUnit("ui/Lost", "CaptionBinding(OK, L\"RS_004\");", reads);
    ASSERT_EQ(reads.problems.size(), 2u);
    EXPECT_NE(reads.problems[0].find("ui/Made"), std::string::npos);
    EXPECT_NE(reads.problems[1].find("ui/Lost"), std::string::npos);
}

TEST_F(EnglishFile, IsPlainAsciiWithCrLfLineEnds)
{
    for (unsigned char c : *bytes) ASSERT_LT(c, 0x80) << "every ANSI code page must read it alike";
    EXPECT_EQ(Count(Wide(*bytes), L"\n"), Count(Wide(*bytes), L"\r\n"));
}

TEST_F(EnglishFile, HoldsEveryKeyTheSourcesRead)
{
    for (const std::string& problem : reads->problems) ADD_FAILURE() << problem;
    // The scan sees the windows that exist now: the about box and the name prompt at least.
    EXPECT_TRUE(reads->Reads("Form03", "RS_001"));
    EXPECT_TRUE(reads->Reads("Form06", "RS_009"));
    for (const KeyRead& read : reads->keys) {
        bool found = false;
        for (const std::string& section : read.sections) {
            std::optional<std::wstring> value = english->Find(Wide(section), Wide(read.key));
            found = found || (value && !value->empty());
        }
        std::string where;
        for (const std::string& section : read.sections) where += "[" + section + "]";
        EXPECT_TRUE(found) << read.unit << " reads " << read.key << ", which " << where
                           << " of lang/English.rsl lacks or leaves empty";
    }
}

TEST_F(EnglishFile, StringsAreExactlyTheStringTableWithItsPlaceholders)
{
    std::set<std::string> table;
    for (StringId id : StringTable::Ids()) {
        std::wstring key = StringTable::KeyOf(id);
        table.insert(std::string(key.begin(), key.end()));
        std::optional<std::wstring> text = english->Find(L"Strings", key);
        ASSERT_TRUE(text && !text->empty()) << "[Strings] lacks " << table.size();
        std::wstring builtIn = StringTable::BuiltIn(id);
        // A format text: the same "%s" as the built-in one, and no other directive.
        EXPECT_EQ(Count(*text, L"%s"), Count(builtIn, L"%s")) << std::string(key.begin(), key.end());
        EXPECT_EQ(Count(*text, L"%"), Count(builtIn, L"%")) << std::string(key.begin(), key.end());
    }
    EXPECT_EQ(table.size(), static_cast<size_t>(StringTable::Count));
    std::vector<std::string> inFile = KeysBySection(*bytes)["Strings"];
    EXPECT_EQ(std::set<std::string>(inFile.begin(), inFile.end()), table);
    EXPECT_EQ(inFile.size(), table.size()) << "a key given twice";
}

TEST_F(EnglishFile, FontsSuitAnEnglishWindows)
{
    std::set<std::string> fonts = reads->fonts;
    fonts.insert({"Font01", "Font02"});
    for (const std::string& section : fonts) {
        SCOPED_TRACE(section);
        EXPECT_FALSE(english->ReadString(Wide(section), L"Name", L"").empty());
        EXPECT_GT(english->ReadInteger(Wide(section), L"Size", 0), 0);
        // DEFAULT_CHARSET: names in any script are drawn, through the fonts linked to the face.
        EXPECT_EQ(english->ReadInteger(Wide(section), L"Charset", -1), 1);
    }
}

TEST_F(EnglishFile, TheOutputPathLabelKeepsItsPlaceholder)
{
    // [Form05] RS_003 is a format that the PE Builder settings dialog fills.
    EXPECT_EQ(Count(english->ReadString(L"Form05", L"RS_003", L""), L"%s"), 1u);
    EXPECT_EQ(Count(english->ReadString(L"Form05", L"RS_003", L""), L"%"), 1u);
}
