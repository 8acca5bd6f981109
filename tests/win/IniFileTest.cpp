// The INI routines on real files: reading, the rewritten layout, encodings, failures,
// and the painting they allow after a write.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Handles.h"
#include "core/IniFile.h"
#include "core/Text.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowMade.h"

namespace {

std::string Utf16Le(std::wstring_view text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// Runs write, which must fail naming path, and checks that no temporary file stayed
// behind.
template <typename Write>
void ExpectFailedWrite(const std::wstring& path, Write&& write)
{
    const std::vector<std::wstring> files = FolderEntryNames(ExtractFileDir(path));
    try {
        write();
        ADD_FAILURE() << "the write did not fail";
    } catch (const AppError& error) {
        EXPECT_NE(error.Message().find(path), std::wstring::npos) << error.what();
    }
    EXPECT_EQ(FolderEntryNames(ExtractFileDir(path)), files);
}

}  // namespace

TEST(IniFileRead, IntegersAndMissingFiles)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"input.inf";
    WriteBytes(path, "[input]\r\nx=0x1F\r\ny=0X1F\r\nz=$1F\r\nw=12abc\r\nv= -7 \r\n");
    EXPECT_EQ(ReadIniInteger(path, L"input", L"x", 0), 31);
    EXPECT_EQ(ReadIniInteger(path, L"INPUT", L"Y", 0), 31);
    EXPECT_EQ(ReadIniInteger(path, L"input", L"z", 0), 31);
    EXPECT_EQ(ReadIniInteger(path, L"input", L"w", 5), 5);
    EXPECT_EQ(ReadIniInteger(path, L"input", L"v", 5), -7);
    EXPECT_EQ(ReadIniInteger(path, L"input", L"missing", 5), 5);

    EXPECT_EQ(ReadIniInteger(scratch / L"none.inf", L"input", L"x", 4), 4);
    EXPECT_EQ(ReadIniString(scratch / L"none\\none.inf", L"input", L"x", L"d"), L"d");
    EXPECT_EQ(ReadIniString(scratch.Path(), L"input", L"x", L"d"), L"d");  // a folder
}

// A caller that reads several keys reads the file once and must see what a read per
// key sees, for every kind of file.
TEST(IniFileRead, OneReadOfTheFileAnswersAsAReadPerKey)
{
    ScratchFolder scratch;
    const std::wstring ansi = scratch / L"input.inf", wide = scratch / L"wide.inf";
    WriteBytes(ansi, "[input]\r\nx=0x1F\r\nw=12abc\r\n[INPUT]\r\nv= -7 \r\nx=3\r\n");
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[input]\r\nx=5\r\n")) utf16 += {c, '\0'};
    WriteBytes(wide, utf16);
    for (const std::wstring& path : {ansi, wide, scratch / L"none.inf", scratch.Path()}) {
        const IniDocument doc = ReadIniDocument(path);
        for (const wchar_t* key : {L"x", L"w", L"v", L"missing"})
            EXPECT_EQ(doc.ReadInteger(L"input", key, 9), ReadIniInteger(path, L"input", key, 9)) << path << L" " << key;
    }
    EXPECT_EQ(ReadIniDocument(wide).ReadInteger(L"input", L"x", 0), 5);
}

TEST(IniFileWrite, TheFileIsRewrittenInOneLayout)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"input.inf";
    WriteBytes(path,
               "; PE Builder settings\r\n"
               "orphan=1\r\n"
               "[input]\n"
               "  source = C:\\XP  \n"
               ";comment\r"
               "\r\n"
               "output=PEOutput\r\n"
               "[Other]\r\n"
               "a = b\r\n");
    WriteIniString(path, L"Input", L"Output", L"C:\\Out");
    EXPECT_EQ(ReadBytes(path),
              "[input]\r\nsource=C:\\XP\r\nOutput=C:\\Out\r\n\r\n"
              "[Other]\r\na=b\r\n\r\n");

    WriteIniInteger(path, L"burn", L"speed", -4);  // a section the file lacks
    EXPECT_EQ(ReadBytes(path),
              "[input]\r\nsource=C:\\XP\r\nOutput=C:\\Out\r\n\r\n"
              "[Other]\r\na=b\r\n\r\n"
              "[burn]\r\nspeed=-4\r\n\r\n");

    const std::wstring created = scratch / L"new.ini";
    WriteIniString(created, L"System", L"PluginPath", L"C:\\pebuilder\\plugin");
    EXPECT_EQ(ReadBytes(created), "[System]\r\nPluginPath=C:\\pebuilder\\plugin\r\n\r\n");
}

TEST(IniFileWrite, AValueAlreadyInPlaceLeavesTheFileAlone)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"Plugin_Builder.ini";
    const std::string original = "; Plugin Builder\r\n[System]\n  PluginPath = C:\\pe\\Plugin  \n";
    WriteBytes(path, original);
    // An hour back, so that any write shows in the date.
    auto ticks = [](FILETIME time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; };
    ULONGLONG old = 0;
    {
        FileHandle file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        FILETIME time{};
        ASSERT_TRUE(::GetFileTime(file.Get(), nullptr, nullptr, &time));
        old = ticks(time) - 36000000000ull;
        time.dwLowDateTime = static_cast<DWORD>(old);
        time.dwHighDateTime = static_cast<DWORD>(old >> 32);
        ASSERT_TRUE(::SetFileTime(file.Get(), nullptr, nullptr, &time));
    }
    auto lastWrite = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
        return ticks(data.ftLastWriteTime);
    };
    WriteIniString(path, L"system", L"PluginPath", L"C:\\pe\\Plugin");
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(lastWrite(), old);

    // Another spelling of the key is a change: the file takes the one given.
    WriteIniString(path, L"System", L"pluginpath", L"C:\\pe\\Plugin");
    EXPECT_EQ(ReadBytes(path), "[System]\r\npluginpath=C:\\pe\\Plugin\r\n\r\n");
    EXPECT_NE(lastWrite(), old);
}

TEST(IniFileWrite, ShiftJisTextSurvivesARewriteByteForByte)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"input.inf";
    // [設定] パス=C:\ソフト\表 and 名前=ソ: "ソ" is 83 5C and "表" is 95 5C.
    const std::string original =
        "[\x90\xDD\x92\xE8]\r\n"
        "\x83\x70\x83\x58=C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C\r\n"
        "\x96\xBC\x91\x4F=\x83\x5C\r\n"
        "\r\n";
    WriteBytes(path, original);
    EXPECT_EQ(ReadIniString(path, L"設定", L"パス", L""), L"C:\\ソフト\\表");
    EXPECT_EQ(ReadIniString(path, L"設定", L"名前", L""), L"ソ");

    WriteIniString(path, L"設定", L"名前", L"ソ");
    EXPECT_EQ(ReadBytes(path), original);

    WriteIniString(path, L"設定", L"表", L"表");
    EXPECT_EQ(ReadBytes(path), original.substr(0, original.size() - 2) + "\x95\x5C=\x95\x5C\r\n\r\n");
}

TEST(IniFileWrite, UnicodeFilesAreWrittenBackInTheirEncoding)
{
    ScratchFolder scratch;
    const std::wstring path = scratch / L"Plugin_Builder.ini";
    WriteBytes(path, Utf16Le(L"[System]\r\nSourcePath=C:\\日本語\r\n"));
    WriteIniString(path, L"System", L"PluginPath", L"D:\\プラグイン");
    EXPECT_EQ(ReadBytes(path), Utf16Le(L"[System]\r\nSourcePath=C:\\日本語\r\nPluginPath=D:\\プラグイン\r\n\r\n"));
    EXPECT_EQ(ReadIniString(path, L"system", L"sourcepath", L""), L"C:\\日本語");

    // Text the ANSI code page cannot hold is refused rather than turned into "?".
    const std::wstring ansi = scratch / L"input.inf";
    WriteBytes(ansi, "[input]\r\nsource=C:\\XP\r\n\r\n");
    // "é" and "¥" have no code in 932; a best fit would write "e" and a backslash.
    for (const wchar_t* value : {L"C:\\Café", L"C:\\¥", L"C:\\\u0939"}) {
        ExpectFailedWrite(ansi, [&] { WriteIniString(ansi, L"input", L"source", value); });
    }
    EXPECT_EQ(ReadBytes(ansi), "[input]\r\nsource=C:\\XP\r\n\r\n");
}

TEST(IniFileWrite, AFileThatCannotBeWrittenKeepsItsBytes)
{
    ScratchFolder scratch;
    const std::wstring missingFolder = scratch / L"missing\\input.inf";
    ExpectFailedWrite(missingFolder, [&] { WriteIniString(missingFolder, L"input", L"k", L"v"); });
    EXPECT_FALSE(DirectoryExists(scratch / L"missing"));

    const std::wstring path = scratch / L"input.inf";
    const std::string original = "; kept\r\n[input]\r\nk = old\r\n";
    WriteBytes(path, original);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectFailedWrite(path, [&] { WriteIniString(path, L"input", L"k", L"new"); });
    EXPECT_EQ(ReadBytes(path), original);

    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    FileHandle held(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    ExpectFailedWrite(path, [&] { WriteIniInteger(path, L"input", L"k", 1); });
    held.Reset();
    EXPECT_EQ(ReadBytes(path), original);
}

// Changes to several files that must all happen or none: staged content waits beside
// each file, and only a commit puts it in place; what is never committed leaves no trace.
TEST(StagedFile, NewContentTakesItsPlaceOnlyOnCommit)
{
    ScratchFolder scratch;
    const std::wstring a = scratch / L"a.inf", b = scratch / L"b.inf";
    WriteBytes(a, "old a");
    WriteBytes(b, "old b");
    const std::vector<std::wstring> before = FolderEntryNames(scratch.Path());
    {
        std::vector<StagedFile> staged;
        staged.emplace_back(a, "new a");
        staged.emplace_back(b, "new b");  // moves the first into new storage
        EXPECT_EQ(FolderEntryNames(scratch.Path()).size(), before.size() + 2);
        EXPECT_EQ(ReadBytes(a), "old a");
        EXPECT_EQ(ReadBytes(b), "old b");
        staged[0].Commit();
    }
    EXPECT_EQ(ReadBytes(a), "new a");
    EXPECT_EQ(ReadBytes(b), "old b");
    EXPECT_EQ(FolderEntryNames(scratch.Path()), before);

    ASSERT_TRUE(::SetFileAttributesW(b.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectFailedWrite(b, [&] { StagedFile staged(b, "new b"); });
    EXPECT_EQ(ReadBytes(b), "old b");
}

namespace {

int paints = 0;
int commands = 0;

LRESULT CALLBACK CountingWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        ++paints;
        PAINTSTRUCT paint;
        ::BeginPaint(window, &paint);
        ::EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_COMMAND || message == WM_USER + 1) ++commands;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

TEST(IniFileWrite, OnlyPaintingHappensAfterAWrite)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = CountingWindow;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KwCountingWindow";
    ASSERT_TRUE(::RegisterClassW(&windowClass));
    HWND window = ::CreateWindowExW(0, L"KwCountingWindow", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(WindowMade(window));
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    ::UpdateWindow(window);
    paints = commands = 0;

    ::InvalidateRect(window, nullptr, TRUE);
    ASSERT_TRUE(::PostMessageW(window, WM_COMMAND, 1, 0));
    ASSERT_TRUE(::PostMessageW(window, WM_USER + 1, 0, 0));
    ScratchFolder scratch;
    WriteIniString(scratch / L"input.inf", L"input", L"k", L"v");

    EXPECT_GE(paints, 1);
    EXPECT_EQ(commands, 0);
    EXPECT_TRUE(::PeekMessageW(&msg, window, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    EXPECT_TRUE(::PeekMessageW(&msg, window, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));
    ::DestroyWindow(window);
}
