// The language file on a Western Windows: the ANSI code page is 1252, and a file with
// a byte-order mark still carries Japanese.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Language.h"
#include "core/StringTable.h"
#include "tests/support/TestSupport.h"

TEST(Language1252, AnsiFilesFollowTheSystemCodePageAndUtf8FilesTheirMark)
{
    ASSERT_EQ(::GetACP(), 1252u);
    ScratchFolder scratch;
    SetLanguageFile(scratch / L"Kitwright.rsl");

    WriteBytes(LanguageFile, "[Strings]\r\nRS_100=Fehler \xE9\xDF\r\n");
    LoadStringTableFromLanguageFile();
    EXPECT_EQ(Str(RS_100), L"Fehler éß");
    EXPECT_EQ(Str(RS_101), L"確認");

    WriteBytes(LanguageFile, "\xEF\xBB\xBF[Strings]\r\nRS_100=\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC \xC3\xA9\r\n");
    LoadStringTableFromLanguageFile();
    EXPECT_EQ(Str(RS_100), L"エラー é");

    StringTable::Load(nullptr);
    SetLanguageFile(L"");
}
