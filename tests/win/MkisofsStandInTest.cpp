// The mkisofs.exe stand-in: real ISO images from the host's genisoimage under Wine,
// with the arguments of Kitwright's default ISO template.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Text.h"
#include "tests/support/StandIns.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr size_t kSector = 2048;

// The default template of the external ISO program, its placeholders filled in.
std::wstring DefaultTemplate(const std::wstring& iso, const std::wstring& outDir)
{
    return L"\"" + BinFolder() + L"\\mkisofs.exe\" -iso-level 4 -volid \"ToviPE\" -A PEBUILDER/MKISOFS -sysid " +
           L"\"Win32\" -b bootsect.bin -no-emul-boot -boot-load-size 4 -hide bootsect.bin -hide boot.catalog -o \"" +
           iso + L"\" \"" + outDir + L"\"";
}

void MakeBuildOutput(const std::wstring& folder)
{
    WriteBytes(folder + L"\\bootsect.bin", std::string(kSector, '\xEB'));
    WriteBytes(folder + L"\\I386\\SYSTEM32\\config.txt", "a file of the tree\r\n");
}

TEST(MkisofsStandIn, DefaultTemplateMakesABootableImage)
{
    ScratchFolder scratch;
    const std::wstring out = scratch / L"ビルド 出力";  // a Japanese name with a blank
    MakeBuildOutput(out);
    const std::wstring iso = scratch / L"イメージ.iso";

    ProcessResult result = RunProcess(DefaultTemplate(iso, out), scratch.Path(), true);
    ASSERT_EQ(result.exitCode, 0u) << result.output;
    // genisoimage's own report, passed on through the handles it was given.
    EXPECT_NE(result.output.find("extents written"), std::string::npos) << result.output;

    std::string image = ReadBytes(iso);
    ASSERT_GE(image.size(), 20 * kSector);
    // Primary volume descriptor at sector 16, the volume id padded with blanks.
    EXPECT_EQ(image[16 * kSector], '\x01');
    EXPECT_EQ(image.substr(16 * kSector + 1, 5), "CD001");
    EXPECT_EQ(image.substr(16 * kSector + 8, 5), "Win32");
    EXPECT_EQ(image.substr(16 * kSector + 40, 32), "ToviPE" + std::string(26, ' '));
    // El Torito boot record volume descriptor at sector 17.
    EXPECT_EQ(image[17 * kSector], '\x00');
    EXPECT_EQ(image.substr(17 * kSector + 1, 5), "CD001");
    EXPECT_EQ(image.substr(17 * kSector + 7, 23), "EL TORITO SPECIFICATION");
    // The boot image is in the image, though hidden from its directory.
    EXPECT_NE(image.find(std::string(kSector, '\xEB')), std::string::npos);
    EXPECT_NE(image.find("a file of the tree"), std::string::npos);
}

TEST(MkisofsStandIn, RelativePathsAreTheCurrentFoldersAndBootPathsTheImages)
{
    ScratchFolder scratch;
    MakeBuildOutput(scratch / L"tree");
    // A bootsect.bin in the current folder must not be taken for the image's own.
    WriteBytes(scratch / L"bootsect.bin", "not this one");

    std::wstring commandLine = L"\"" + BinFolder() +
                               L"\\mkisofs.exe\" -volid REL -b bootsect.bin -no-emul-boot -hide bootsect.bin "
                               L"-o relative.iso tree";
    ProcessResult result = RunProcess(commandLine, scratch.Path(), true);
    ASSERT_EQ(result.exitCode, 0u) << result.output;
    std::string image = ReadBytes(scratch / L"relative.iso");
    EXPECT_EQ(image.substr(17 * kSector + 7, 23), "EL TORITO SPECIFICATION");
    EXPECT_NE(image.find(std::string(kSector, '\xEB')), std::string::npos);
}

TEST(MkisofsStandIn, FailingRunsGiveGenisoimagesStatusAndMessage)
{
    ScratchFolder scratch;
    const std::wstring iso = scratch / L"none.iso";
    ProcessResult missingTree = RunProcess(DefaultTemplate(iso, scratch / L"no such folder"), scratch.Path(), true);
    EXPECT_NE(missingTree.exitCode, 0u);
    EXPECT_NE(missingTree.output.find("no such folder"), std::string::npos) << missingTree.output;

    // A tree without the boot image named by -b.
    WriteBytes(scratch / L"empty tree\\file.txt", "x");
    ProcessResult missingBoot = RunProcess(DefaultTemplate(iso, scratch / L"empty tree"), scratch.Path(), true);
    EXPECT_NE(missingBoot.exitCode, 0u);
    EXPECT_NE(missingBoot.output.find("bootsect.bin"), std::string::npos) << missingBoot.output;

    // An image in a folder that does not exist: genisoimage cannot open it, and no file
    // named after the whole Windows path appears in the current folder.
    MakeBuildOutput(scratch / L"tree");
    ProcessResult missingFolder =
        RunProcess(DefaultTemplate(scratch / L"missing\\deeper\\x.iso", scratch / L"tree"), scratch / L"tree", true);
    EXPECT_NE(missingFolder.exitCode, 0u);
    EXPECT_NE(missingFolder.output.find("/missing/deeper/x.iso"), std::string::npos) << missingFolder.output;
    for (const std::wstring& name : FolderEntryNames(scratch / L"tree"))
        EXPECT_FALSE(name.size() >= 4 && SameText(name.substr(name.size() - 4), L".iso"))
            << testing::PrintToString(name);
}

}  // namespace
