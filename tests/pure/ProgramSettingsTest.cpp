// The program settings dialog's rules: the OK check, the copy into the settings, the
// external-program boxes and the file dialog's filter.
#include <gtest/gtest.h>

#include <set>

#include "pebuilder/ProgramSettings.h"

namespace {

struct Files {
    std::set<std::wstring> present;
    std::vector<std::wstring> asked = {};
    FileTest Test()
    {
        return [this](const std::wstring& path) {
            asked.push_back(path);
            return present.count(path) > 0;
        };
    }
};

ProgramSettingsFields Fields(std::wstring peb, std::wstring plb = L"", std::wstring editor = L"")
{
    ProgramSettingsFields f;
    f.PEBuilder = std::move(peb);
    f.PluginBuilder = std::move(plb);
    f.TextEditor = std::move(editor);
    return f;
}

}  // namespace

TEST(ProgramSettingsCheck, TrailingBackslashAndBlanksGoBeforeTheTest)
{
    Files files{{L"C:\\PEBuilder\\pebuilder.exe", L"D:\\pebuilder.exe", L"C:\\PLB\\Plugin_Builder.exe"}};
    ProgramSettingsFields f = Fields(L"  C:\\PEBuilder\\ ", L"C:\\PLB\\\t");
    ASSERT_TRUE(CheckProgramSettings(f, files.Test()));
    EXPECT_EQ(f.PEBuilder, L"C:\\PEBuilder");
    EXPECT_EQ(f.PluginBuilder, L"C:\\PLB");

    // A drive root is tested as D:\pebuilder.exe and kept as D:.
    f = Fields(L"D:\\");
    ASSERT_TRUE(CheckProgramSettings(f, files.Test()));
    EXPECT_EQ(f.PEBuilder, L"D:");
    EXPECT_EQ(files.asked.back(), L"D:\\pebuilder.exe") << "an empty editor is not looked for";
}

TEST(ProgramSettingsCheck, RefusesAFolderWithoutPEBuilderOrNoFolderAtAll)
{
    Files files{{L"\\pebuilder.exe"}};
    ProgramSettingsFields f = Fields(L"C:\\nothing");
    EXPECT_FALSE(CheckProgramSettings(f, files.Test()));
    f = Fields(L"   ");
    EXPECT_FALSE(CheckProgramSettings(f, files.Test()));
    EXPECT_EQ(files.asked, std::vector<std::wstring>{L"C:\\nothing\\pebuilder.exe"});
}

TEST(ProgramSettingsCheck, EmptiesAPluginBuilderOrEditorThatIsNotThere)
{
    Files files{{L"C:\\P\\pebuilder.exe", L"C:\\ed\\edit.exe"}};
    ProgramSettingsFields f = Fields(L"C:\\P", L"C:\\nowhere", L"notepad.exe");
    ASSERT_TRUE(CheckProgramSettings(f, files.Test()));
    EXPECT_EQ(f.PluginBuilder, L"");
    EXPECT_EQ(f.TextEditor, L"");

    f = Fields(L"C:\\P", L"", L" C:\\ed\\edit.exe ");
    ASSERT_TRUE(CheckProgramSettings(f, files.Test()));
    EXPECT_EQ(f.TextEditor, L"C:\\ed\\edit.exe");
}

TEST(ProgramSettingsApply, PathsTrimmedParametersAsTyped)
{
    ProgramSettingsFields f = Fields(L" C:\\P\\ ", L" C:\\PLB ", L" C:\\e.exe ");
    f.BuildParams = L" -auto ";
    f.ISOParams = L"  ";
    f.ExternalProgram = L"line one\r\nline two";
    f.PEB_VER = 2;
    f.PEB_WAIT = f.TE_WAIT = f.UseExtProgram_BLD = true;
    TCurrentSettings s;
    s.ProfileKeySuffix = L"\\Default";
    ApplyProgramSettings(f, s);
    EXPECT_EQ(s.PEBuilder, L"C:\\P");
    EXPECT_EQ(s.PluginBuilder, L"C:\\PLB");
    EXPECT_EQ(s.TextEditor, L"C:\\e.exe");
    EXPECT_EQ(s.BuildParams, L" -auto ");
    EXPECT_EQ(s.ISOParams, L"  ");
    EXPECT_EQ(s.ExternalProgram, L"line one\r\nline two");
    EXPECT_EQ(s.PEB_VER, 2);
    EXPECT_TRUE(s.PEB_WAIT && s.TE_WAIT && s.UseExtProgram_BLD);
    EXPECT_FALSE(s.PLB_WAIT || s.UseExtProgram_ISO);
    EXPECT_EQ(s.ProfileKeySuffix, L"\\Default");

    // No item chosen, or a version the list does not have, stays inside the list.
    f.PEB_VER = -1;
    ApplyProgramSettings(f, s);
    EXPECT_EQ(s.PEB_VER, 0);
    s.PEB_VER = 9;
    EXPECT_EQ(FieldsFromSettings(s).PEB_VER, 3);
}

TEST(ProgramSettingsExternal, EitherBoxForcesTheWaitAndShowsThePage)
{
    ExternalProgramState none = ExternalProgramStateOf(false, false, false);
    EXPECT_TRUE(none.waitEnabled);
    EXPECT_FALSE(none.waitChecked);
    EXPECT_FALSE(none.pageShown);
    for (auto [iso, bld] : {std::pair{true, false}, {false, true}, {true, true}}) {
        ExternalProgramState s = ExternalProgramStateOf(iso, bld, false);
        EXPECT_FALSE(s.waitEnabled);
        EXPECT_TRUE(s.waitChecked);
        EXPECT_TRUE(s.pageShown);
    }
    // Clearing both frees the wait box and leaves it as it is.
    EXPECT_TRUE(ExternalProgramStateOf(false, false, true).waitChecked);
}

TEST(ProgramSettingsFilter, BarsBecomeZerosWithADoubleEnd)
{
    EXPECT_EQ(FileDialogFilter(L"exe(*.exe)|*.exe|all|*.*"), std::wstring(L"exe(*.exe)\0*.exe\0all\0*.*\0\0", 26));
    EXPECT_EQ(FileDialogFilter(L""), std::wstring(L"\0\0", 2));
}

TEST(ProgramSettingsFilter, EditorDialogStartsInTheEditorsFolderOrTheDriveRoot)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\ed.exe", L"C:\\"},  // not "C:", the drive's current folder
        {L"C:\\tools\\ed.exe", L"C:\\tools"},
        {L" D:\\x\\ed.exe ", L"D:\\x"},
        {L"\\\\server\\share\\ed.exe", L"\\\\server\\share"},
        {L"ed.exe", L""},  // no folder: the dialog's own choice
        {L"", L""},
    };
    for (const auto& [path, folder] : cases) EXPECT_EQ(EditorDialogFolder(path), folder) << path;
}
