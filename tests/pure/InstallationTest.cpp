// Paths and command lines of PE Builder and Plugin Builder, to the character.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "pebuilder/Installation.h"

TEST(Installation, PEBuilderFiles)
{
    const std::wstring pe = L"C:\\PE Builder";
    EXPECT_EQ(PEBuilderExePath(pe), L"C:\\PE Builder\\pebuilder.exe");
    EXPECT_EQ(InputInfPath(pe), L"C:\\PE Builder\\input.inf");
    EXPECT_EQ(PluginFolderPath(pe), L"C:\\PE Builder\\Plugin");
    EXPECT_EQ(PEBuilderLogPath(pe), L"C:\\PE Builder\\pebuilder.log");
    EXPECT_EQ(MkisofsExePath(pe), L"C:\\PE Builder\\mkisofs.exe");
    EXPECT_EQ(SourceMarkerPath(L"D:"), L"D:\\i386\\SHELL32.DL_");
    EXPECT_EQ(SourceMarkerPath(L"C:\\XP ソース"), L"C:\\XP ソース\\i386\\SHELL32.DL_");
    EXPECT_EQ(BootSectorPath(L"C:\\PE Builder\\PEOutput"), L"C:\\PE Builder\\PEOutput\\bootsect.bin");
}

TEST(Installation, WrittenPlacesRefuseAnEmptyFolder)
{
    // Either would otherwise be the current drive's root.
    EXPECT_THROW(InputInfPath(L""), AppError);
    EXPECT_THROW(PluginFolderPath(L""), AppError);
    EXPECT_EQ(InputInfPath(L"C:"), L"C:\\input.inf");
}

TEST(Installation, PEBuilderCommandLineKeepsTheBlankBeforeEmptyParameters)
{
    EXPECT_EQ(PEBuilderCommandLine(L"C:\\pe builder", L"-auto -exit -overwrite"),
              L"\"C:\\pe builder\\pebuilder.exe\" -auto -exit -overwrite");
    EXPECT_EQ(PEBuilderCommandLine(L"C:\\pe", L""), L"\"C:\\pe\\pebuilder.exe\" ");
}

TEST(Installation, PluginBuilderFilesAndCommandLine)
{
    const std::wstring plb = L"C:\\Tools\\Plugin Builder";
    EXPECT_EQ(PluginBuilderExePath(plb), L"C:\\Tools\\Plugin Builder\\Plugin_Builder.exe");
    EXPECT_EQ(PluginBuilderIniPath(plb), L"C:\\Tools\\Plugin Builder\\Plugin_Builder.ini");
    EXPECT_EQ(PluginBuilderIniPath(plb + L"\\"), L"C:\\Tools\\Plugin Builder\\Plugin_Builder.ini");
    EXPECT_EQ(PluginBuilderCommandLine(plb, L"C:\\pe\\plugin\\ツール\\tool.inf"),
              L"\"C:\\Tools\\Plugin Builder\\Plugin_Builder.exe\" \"C:\\pe\\plugin\\ツール\\tool.inf\"");
}
