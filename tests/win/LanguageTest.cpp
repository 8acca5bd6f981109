// The language file and the string table it fills, on real files under the Japanese
// code page 932.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Handles.h"
#include "core/Language.h"
#include "core/StringTable.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Utf16Le(std::wstring_view text)
{
    std::string bytes;
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

class LanguageFileTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguageFile(scratch / L"Kitwright.rsl"); }
    void TearDown() override
    {
        SetLanguageFile(L"");
        StringTable::Load(nullptr);
    }

    void Load(std::string_view bytes)
    {
        WriteBytes(LanguageFile, bytes);
        LoadStringTableFromLanguageFile();
    }

    ScratchFolder scratch;
};

}  // namespace

TEST(LanguagePath, IsTheExecutablePathWithTheExtensionRsl)
{
    InitLanguageFilePath(L"C:\\Tools\\Kitwright.exe");
    EXPECT_EQ(LanguageFile, L"C:\\Tools\\Kitwright.rsl");
    InitLanguageFilePath(L"C:\\My.Tools\\Kitwright");
    EXPECT_EQ(LanguageFile, L"C:\\My.Tools\\Kitwright.rsl");

    InitLanguageFilePath();
    const std::wstring beside = BinFolder() + L"\\LanguageTest.rsl";
    EXPECT_EQ(LanguageFile, beside);
    EXPECT_FALSE(LanguageFileExists());

    WriteBytes(beside, "[Strings]\r\nRS_100=Error\r\n");
    EXPECT_TRUE(LanguageFileExists());
    LoadStringTableFromLanguageFile();
    ::DeleteFileW(beside.c_str());
    EXPECT_EQ(Str(RS_100), L"Error");
    EXPECT_EQ(Str(RS_101), L"確認");

    StringTable::Load(nullptr);
    SetLanguageFile(L"");
}

TEST_F(LanguageFileTest, KeysAreFoundWhateverTheirCaseAndBlanks)
{
    Load("[Strings]\r\nRS_100 = Error \r\n");
    EXPECT_EQ(Str(RS_100), L"Error");

    Load("[strings]\nrs_100=Error\n");
    EXPECT_EQ(Str(RS_100), L"Error");
}

TEST_F(LanguageFileTest, AnEmptyValueEmptiesTheTextAndACommentChangesNothing)
{
    Load("[Strings]\r\nRS_100=\r\nRS_101=Confirm\r\n");
    EXPECT_EQ(Str(RS_100), L"");
    EXPECT_EQ(Str(RS_101), L"Confirm");

    Load("[Strings]\r\n;RS_100=Error\r\n");
    EXPECT_EQ(Str(RS_100), L"エラー");
}

TEST_F(LanguageFileTest, OneKeyReplacesOneTextAndTheOthersStayJapanese)
{
    Load("[Strings]\r\nRS_100=Error\r\nRS_005=not a key of the table\r\n");
    EXPECT_EQ(Str(RS_100), L"Error");
    EXPECT_EQ(Str(RS_101), L"確認");
    EXPECT_EQ(Str(RS_009), L"PE Builderの環境設定[%s](&R)");
    EXPECT_EQ(Str(RS_601), L"デフォルト");
}

TEST_F(LanguageFileTest, WithoutTheFileEveryTextIsBuiltIn)
{
    Load("[Strings]\r\nRS_100=Error\r\nRS_501=Reset\r\n");
    ASSERT_EQ(Str(RS_100), L"Error");

    ::DeleteFileW(LanguageFile.c_str());
    EXPECT_FALSE(LanguageFileExists());
    LoadStringTableFromLanguageFile();
    EXPECT_EQ(Str(RS_100), L"エラー");
    EXPECT_EQ(Str(RS_501), L"環境を初期化しました");
}

TEST_F(LanguageFileTest, ShiftJisTextWhoseTrailByteIsABackslash)
{
    // "ソ" is 83 5C and "表" is 95 5C: a reader that looked at bytes would see a
    // backslash at the end of the value.
    Load("[Strings]\r\nRS_100=\x83\x5C\r\nRS_101=\x95\x5C\r\nRS_103=\x83\x47\x83\x89\x81\x5B\r\n");
    EXPECT_EQ(Str(RS_100), L"ソ");
    EXPECT_EQ(Str(RS_101), L"表");
    EXPECT_EQ(Str(RS_103), L"エラー");
}

TEST_F(LanguageFileTest, FilesWithAByteOrderMarkAreReadInTheirEncoding)
{
    const std::wstring text = L"[Strings]\r\nRS_100=エラー発生\r\nRS_101=表ソ\r\n";

    Load(
        "\xEF\xBB\xBF"
        "[Strings]\r\nRS_100=\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\r\n");
    EXPECT_EQ(Str(RS_100), L"エラー");

    Load("\xFF\xFE" + Utf16Le(text));
    EXPECT_EQ(Str(RS_100), L"エラー発生");
    EXPECT_EQ(Str(RS_101), L"表ソ");

    std::string bigEndian = "\xFE\xFF";
    for (wchar_t c : text) {
        bigEndian += static_cast<char>(c >> 8);
        bigEndian += static_cast<char>(c & 0xFF);
    }
    Load(bigEndian);
    EXPECT_EQ(Str(RS_100), L"エラー発生");
}

TEST_F(LanguageFileTest, GarbageGivesTheBuiltInTextsWhereKeysAreMissing)
{
    std::string garbage;
    unsigned state = 12345;
    for (int i = 0; i < 64 * 1024; ++i) {
        state = state * 1103515245u + 12345u;
        garbage += static_cast<char>(state >> 16);
    }
    Load(garbage);
    EXPECT_EQ(Str(RS_100), L"エラー");

    // What follows the garbage on lines of its own is still read.
    Load(garbage + "xx\r\n[Strings]\r\nRS_101=Confirm\r\n");
    EXPECT_EQ(Str(RS_100), L"エラー");
    EXPECT_EQ(Str(RS_101), L"Confirm");

    Load(std::string("\xFF\xFE\x00", 3));  // odd length after a UTF-16 mark
    EXPECT_EQ(Str(RS_100), L"エラー");
}

TEST_F(LanguageFileTest, AHugeFileGivesTheBuiltInTexts)
{
    WriteBytes(LanguageFile, "[Strings]\r\nRS_100=Error\r\n");
    {
        FileHandle file(::CreateFileW(LanguageFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file);
        LARGE_INTEGER size{};
        size.QuadPart = 300ll << 20;
        ASSERT_TRUE(::SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file.Get()));
    }
    LoadStringTableFromLanguageFile();
    EXPECT_EQ(Str(RS_100), L"エラー");
    EXPECT_EQ(ReadLanguageCaption(L"Strings", L"RS_100", L"d"), L"d");
}

TEST_F(LanguageFileTest, CaptionsOutsideTheFirstShow)
{
    EXPECT_EQ(ReadLanguageCaption(L"Form01", L"RS_025", L"Design"), L"Design");  // no file

    WriteBytes(LanguageFile, "[Form01]\r\nRS_025=Standard\r\n");
    EXPECT_EQ(ReadLanguageCaption(L"form01", L"rs_025"), L"Standard");
    EXPECT_EQ(ReadLanguageCaption(L"Form01", L"RS_026"), L"");
    EXPECT_EQ(ReadLanguageCaption(L"Form05", L"RS_001", L"%s"), L"%s");
}
