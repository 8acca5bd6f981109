// Replacing the files the program shares with others: folders of any length, what the
// user's file keeps (attributes, access rules, streams), the staged files' own names
// and the removal of those an interrupted run left, and values that would inject lines.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Handles.h"
#include "core/IniFile.h"
#include "core/Text.h"
#include "pebuilder/Plugins.h"
#include "tests/support/TestSupport.h"

namespace {

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    FindHandle find(::FindFirstFileW(ApiPath(folder + L"\\*").c_str(), &data));
    if (!find) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.Get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

// A new folder whose full path has length characters (one more at most), made through
// the long form. Few long names rather than many short ones: under Wine each new entry
// costs time that grows with the square of the depth.
std::wstring DeepFolder(std::wstring path, size_t length)
{
    EXPECT_TRUE(::CreateDirectoryW(ApiPath(path).c_str(), nullptr));
    while (path.size() < length) {
        size_t room = length - path.size() - 1;
        path += L"\\" + std::wstring(std::clamp<size_t>(room, 1, 200), L'd');
        EXPECT_TRUE(::CreateDirectoryW(ApiPath(path).c_str(), nullptr)) << path.size();
    }
    return path;
}

void Put(const std::wstring& path, std::string_view bytes)
{
    FileHandle file(
        ::CreateFileW(ApiPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    DWORD done = 0;
    ASSERT_TRUE(::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr));
}

std::string Dacl(const std::wstring& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return "unreadable";
    LPSTR text = nullptr;
    ::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                           &text, nullptr);
    std::string result = text ? text : "";
    ::LocalFree(text);
    ::LocalFree(descriptor);
    return result;
}

const char kPlugin[] = "[Version]\r\nSignature=$Windows NT$\r\n[PEBuilder]\r\nName=P\r\nEnable=1\r\n";

// The three kinds of file the program replaces, each through its own writer.
struct Writer {
    const wchar_t* name;
    void (*write)(const std::wstring& path);
    const char* written;
};
const Writer kWriters[] = {
    {L"input.inf", [](const std::wstring& p) { WriteIniString(p, L"input", L"source", L"D:\\"); }, "source=D:\\"},
    {L"Plugin_Builder.ini", [](const std::wstring& p) { WriteIniString(p, L"System", L"PluginPath", L"C:\\pe"); },
     "PluginPath=C:\\pe"},
    {L"plugin.inf", [](const std::wstring& p) { SetPluginEnable(p, false); }, "Enable=0"},
};

}  // namespace

TEST(FileReplace, FoldersOfAnyLengthAreWrittenCorrectly)
{
    ScratchFolder scratch;
    // Around MAX_PATH, where the temporary name used to overrun its buffer, and far
    // beyond it (Wine's own limit is the host's 4,096 bytes for the whole path).
    for (size_t length : {230u, 246u, 250u, 258u, 262u, 300u, 1000u, 3000u}) {
        const std::wstring folder = DeepFolder(scratch / std::to_wstring(length), length);
        SCOPED_TRACE(folder.size());
        for (const Writer& w : kWriters) {
            const std::wstring path = folder + L"\\" + w.name;
            Put(path, kPlugin);
            w.write(path);
            std::optional<std::string> bytes = TryReadFileBytes(path);
            ASSERT_TRUE(bytes) << w.name;
            EXPECT_NE(bytes->find(w.written), std::string::npos) << w.name;
        }
        EXPECT_EQ(FilesIn(folder), (std::vector<std::wstring>{L"Plugin_Builder.ini", L"input.inf", L"plugin.inf"}));
    }
}

TEST(FileReplace, TheUsersFileKeepsItsAttributesAndAccessRules)
{
    ScratchFolder scratch;
    // Everyone may change these files: the staged file would get the folder's default.
    PSECURITY_DESCRIPTOR open = nullptr;
    ASSERT_TRUE(
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;FA;;;WD)", SDDL_REVISION_1, &open, nullptr));
    for (const Writer& w : kWriters) {
        const std::wstring path = scratch / w.name;
        Put(path, kPlugin);
        ASSERT_TRUE(::SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, open));
        ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
        const std::string dacl = Dacl(path);
        w.write(path);
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
                  static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            << w.name;
        EXPECT_EQ(Dacl(path), dacl) << w.name;
        EXPECT_NE(ReadBytes(path), kPlugin) << w.name;
    }
    ::LocalFree(open);
}

TEST(FileReplace, TheUsersFileKeepsItsStreams)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"input.inf";
    Put(path, "[input]\r\n");
    Put(path + L":note", "kept");
    if (FilesIn(scratch.Path()).size() != 1) GTEST_SKIP() << "this system keeps no alternate data streams";
    WriteIniString(path, L"input", L"source", L"D:\\");
    std::optional<std::string> stream = TryReadFileBytes(path + L":note");
    ASSERT_TRUE(stream);
    EXPECT_EQ(*stream, "kept");
}

TEST(FileReplace, StagedFilesCarryTheProgramsOwnName)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"input.inf";
    Put(path, "[input]\r\n");
    {
        StagedFile staged(path, "new");
        std::vector<std::wstring> names = FilesIn(scratch.Path());
        ASSERT_EQ(names.size(), 2u);
        EXPECT_TRUE(names[1].starts_with(L"input.inf.kwtmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-"))
            << names[1].size();
        EXPECT_TRUE(IsStagedFileName(names[1]));
    }
    EXPECT_EQ(FilesIn(scratch.Path()), std::vector<std::wstring>{L"input.inf"});
    for (const wchar_t* name : {L"input.inf.kwtmp-1-2", L"a b.inf.kwtmp-4000000000-0"})
        EXPECT_TRUE(IsStagedFileName(name));
    for (const wchar_t* name : {L"input.inf", L".kwtmp-1-2", L"x.kwtmp-1", L"x.kwtmp-1-", L"x.kwtmp-a-1",
                                L"x.kwtmp-1-2.bak", L"x.kwtmp-12345678901-1"})
        EXPECT_FALSE(IsStagedFileName(name)) << name;

    // A name at the file system's limit still leaves room for the mark.
    const std::wstring longName = scratch / (std::wstring(251, L'n') + L".inf");
    Put(longName, "[input]\r\n");
    WriteIniString(longName, L"input", L"k", L"v");
    EXPECT_EQ(ReadIniString(longName, L"input", L"k", L""), L"v");
}

TEST(FileReplace, AWriteRemovesWhatAnInterruptedRunLeftBesideItsFile)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"input.inf";
    Put(path, "[input]\r\n");
    // No process 4000000000 runs; this process is the one writing now.
    const std::vector<std::wstring> leftovers = {
        L"input.inf.kwtmp-4000000000-1", L"input.inf.kwtmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-9"};
    const std::vector<std::wstring> users = {L"input.inf.kwtmp-x-1", L"input.inf.bak", L"other.inf.kwtmp-4000000000-1"};
    for (const std::wstring& name : leftovers) Put(scratch / name, "half");
    for (const std::wstring& name : users) Put(scratch / name, "mine");
    WriteIniString(path, L"input", L"source", L"D:\\");
    std::vector<std::wstring> expected = users;
    expected.push_back(L"input.inf");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(scratch.Path()), expected);
}

TEST(FileReplace, ALineBreakInAValueIsRefusedAndNothingIsWritten)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"input.inf";
    const std::string original = "[input]\r\nsource=C:\\src\\\r\n\r\n";
    Put(path, original);
    for (const wchar_t* value : {L"D:\\\r\n[input]\r\nsource=E:\\", L"a\nsource=E:\\", L"a\rb"}) {
        try {
            WriteIniString(path, L"input", L"outdir", value);
            ADD_FAILURE() << "a value with a line break was written";
        } catch (const AppError& e) {
            EXPECT_NE(e.Message().find(path), std::wstring::npos) << e.what();
            EXPECT_NE(e.Message().find(L"outdir"), std::wstring::npos) << e.what();
        }
        EXPECT_EQ(ReadBytes(path), original);
    }
    IniFile batch = LoadIniFile(path);
    batch.doc.WriteString(L"input", L"customdir", L"x\r\ny=1");
    batch.doc.WriteString(L"input", L"verbose", L"1");
    EXPECT_THROW(SaveIniFile(batch), AppError);
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(FilesIn(scratch.Path()), std::vector<std::wstring>{L"input.inf"});
}

TEST(FileReplace, MoreStagedFilesThanAreKeptOpenAllTakeTheirPlace)
{
    // Past 2,048 staged files the rest are closed and renamed by name: at once when
    // flushed at once, else once FlushStagedFiles has flushed them. A hundred to a
    // folder: Wine makes a new name slower the more names its folder holds.
    ScratchFolder scratch;
    std::vector<std::wstring> paths;
    for (int f = 0; f < 21; ++f) {
        const std::wstring folder = scratch / std::to_wstring(f);
        ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
        for (int i = 0; i < 100; ++i) {
            paths.push_back(folder + L"\\p" + std::to_wstring(i) + L".inf");
            Put(paths.back(), "old");
        }
    }
    // A staged file still open cannot be opened sharing nothing: the staged files of the
    // last folder (2,000 to 2,099) that the test can open so are those closed already.
    auto closedStaged = [&] {
        size_t closed = 0;
        for (const std::wstring& name : FilesIn(scratch / L"20"))
            closed += name.find(L".kwtmp-") != std::wstring::npos &&
                      FileHandle(::CreateFileW((scratch / L"20" + L"\\" + name).c_str(), GENERIC_READ, 0, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
        return closed;
    };
    std::vector<StagedFile> staged;
    for (size_t i = 0; i < paths.size(); ++i) {
        const StagedFile::Flush flush = i % 2 ? StagedFile::Flush::Later : StagedFile::Flush::Now;
        staged.emplace_back(paths[i], "new " + WideToAnsi(paths[i]), FileTraits{}, flush);
    }
    EXPECT_EQ(FilesIn(scratch / L"20").size(), 200u);
    EXPECT_EQ(closedStaged(), 26u);  // past the limit, those flushed at once
    FlushStagedFiles(staged);
    EXPECT_EQ(closedStaged(), 52u);  // and now the others past it
    for (StagedFile& file : staged) file.Commit();
    // The first and the last that were kept open, the first and the last that were not.
    for (size_t i : {size_t(0), size_t(2047), size_t(2048), paths.size() - 1})
        EXPECT_EQ(ReadBytes(paths[i]), "new " + WideToAnsi(paths[i])) << i;
    EXPECT_EQ(FilesIn(scratch / L"0").size(), 100u);
    EXPECT_EQ(FilesIn(scratch / L"20").size(), 100u);
}
