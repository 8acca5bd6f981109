// The drive part of paths and the volume root of the NTFS test.
#include <gtest/gtest.h>

#include "core/DriveRoot.h"

TEST(DriveRoot, DriveLetterIsTheFirstTwoCharacters)
{
    EXPECT_EQ(ExtractFileDrive(L"C:\\pebuilder"), L"C:");
    EXPECT_EQ(ExtractFileDrive(L"c:"), L"c:");
    EXPECT_EQ(ExtractFileDrive(L"d:relative"), L"d:");
    EXPECT_EQ(ExtractFileDrive(L"ソ:\\x"), L"ソ:");  // any character before the colon
}

TEST(DriveRoot, UncDriveIsServerAndShare)
{
    EXPECT_EQ(ExtractFileDrive(L"\\\\server\\share\\dir\\file"), L"\\\\server\\share");
    EXPECT_EQ(ExtractFileDrive(L"\\\\server\\share\\"), L"\\\\server\\share");
    EXPECT_EQ(ExtractFileDrive(L"\\\\server\\share"), L"\\\\server\\share");
    EXPECT_EQ(ExtractFileDrive(L"\\\\server\\"), L"\\\\server");
    EXPECT_EQ(ExtractFileDrive(L"\\\\server"), L"\\\\server");
    EXPECT_EQ(ExtractFileDrive(L"\\\\"), L"\\\\");
    EXPECT_EQ(ExtractFileDrive(L"\\\\s\\x"), L"\\\\s\\x");
}

TEST(DriveRoot, OtherPathsHaveNoDrive)
{
    EXPECT_EQ(ExtractFileDrive(L""), L"");
    EXPECT_EQ(ExtractFileDrive(L"C"), L"");
    EXPECT_EQ(ExtractFileDrive(L"\\"), L"");
    EXPECT_EQ(ExtractFileDrive(L"\\windows"), L"");
    EXPECT_EQ(ExtractFileDrive(L"pebuilder\\plugin"), L"");
    EXPECT_EQ(ExtractFileDrive(L"/\\server\\share"), L"");
}

TEST(DriveRoot, QueryRootAddsBackslashToTheDrive)
{
    EXPECT_EQ(NtfsQueryRoot(L"C:\\pebuilder"), L"C:\\");
    EXPECT_EQ(NtfsQueryRoot(L"C:\\"), L"C:\\");
    EXPECT_EQ(NtfsQueryRoot(L"C:"), L"C:\\");
    EXPECT_EQ(NtfsQueryRoot(L"e:\\out\\iso"), L"e:\\");
    EXPECT_EQ(NtfsQueryRoot(L"\\\\server\\share\\pebuilder"), L"\\\\server\\share\\");
    EXPECT_EQ(NtfsQueryRoot(L"\\\\server"), L"\\\\server\\");
}

TEST(DriveRoot, QueryRootWithoutDriveIsTheCurrentDrivesRoot)
{
    EXPECT_EQ(NtfsQueryRoot(L""), L"\\");
    EXPECT_EQ(NtfsQueryRoot(L"\\pebuilder"), L"\\");
    EXPECT_EQ(NtfsQueryRoot(L"pebuilder"), L"\\");
}

TEST(DriveRoot, QueryRootCutsAtAColonFromTheFourthCharacterOn)
{
    // The cut comes before the drive is taken, so what lies past the colon is never seen.
    EXPECT_EQ(NtfsQueryRoot(L"C:\\file.txt:stream"), L"C:\\");
    EXPECT_EQ(NtfsQueryRoot(L"\\\\server\\share:x\\more"), L"\\\\server\\share\\");
    EXPECT_EQ(NtfsQueryRoot(L"\\\\srv:x\\share"), L"\\\\srv\\");
    // A colon at the fourth character cuts too: only "abc" is left, which has no drive.
    EXPECT_EQ(NtfsQueryRoot(L"abc:\\x"), L"\\");
    EXPECT_EQ(NtfsQueryRoot(L"\\\\a:b\\c"), L"\\\\a\\");
    // A colon before the fourth character is never a cut point.
    EXPECT_EQ(NtfsQueryRoot(L"ab:\\x"), L"\\");
    EXPECT_EQ(NtfsQueryRoot(L"ab:c:d"), L"\\");
    EXPECT_EQ(NtfsQueryRoot(L"C::"), L"C:\\");
    // The first colon from the fourth character on counts, not a later one.
    EXPECT_EQ(NtfsQueryRoot(L"\\\\s\\h:a\\b:c"), L"\\\\s\\h\\");
}
