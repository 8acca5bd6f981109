// The plug-in catalogue and the preset switch on real files, folders and the real
// registry of this test's own Wine prefix (ANSI code page 932).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

#include "core/Error.h"
#include "core/Files.h"
#include "core/FolderWalk.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "pebuilder/Plugins.h"
#include "tests/support/TestSupport.h"

namespace {

std::string Inf(std::wstring_view name, std::string_view enable = "Enable=1",
                std::wstring_view signature = L"\"$Windows NT$\"")
{
    return Ansi(L"[Version]\r\nSignature=" + std::wstring(signature) + L"\r\n\r\n[PEBuilder]\r\nName=" +
                std::wstring(name) + L"\r\n") +
           std::string(enable) + "\r\n";
}

std::vector<std::wstring> Names(const StringList& list)
{
    std::vector<std::wstring> names;
    for (const StringListItem& item : list) names.push_back(item.Text);
    return names;
}

// Every file below folder with its bytes, by path relative to folder.
std::map<std::wstring, std::string> Snapshot(const std::wstring& folder, const std::wstring& relative = L"")
{
    std::map<std::wstring, std::string> files;
    ForEachFolderEntry(folder, [&](const FolderEntry& entry) {
        if (entry.IsFolder())
            files.merge(Snapshot(folder + L"\\" + entry.name, relative + entry.name + L"\\"));
        else
            files[relative + entry.name] = ReadBytes(folder + L"\\" + entry.name);
    });
    return files;
}

FILETIME LastWrite(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// An old time stamp, so that any later write shows.
void BackDate(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME old{0x2A5C8000, 0x01B91D8C};  // 2003
    ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &old));
    ::CloseHandle(file);
}

bool SameTime(FILETIME a, FILETIME b) { return ::CompareFileTime(&a, &b) == 0; }

class PluginFolder : public ::testing::Test {
protected:
    TCurrentSettings settings;  // this test's own profile settings

    void SetUp() override
    {
        EraseRegKey(kProgramKey);
        settings.ProfileKeySuffix = L"\\テスト";
        settings.PEBuilder = pe_.Path();
    }
    void TearDown() override { EraseRegKey(kProgramKey); }

    std::wstring Plugin(std::wstring_view relative) const
    {
        return pe_.Path() + L"\\Plugin\\" + std::wstring(relative);
    }
    std::wstring PluginDir() const { return pe_.Path() + L"\\Plugin"; }

    void StorePreset(const std::wstring& name, const std::vector<std::wstring>& keys)
    {
        for (size_t i = 0; i < keys.size(); ++i) {
            wchar_t valueName[8];
            swprintf(valueName, 8, L"%.3d", static_cast<int>(i + 1));
            WriteRegString(PresetKey(settings, name), valueName, keys[i]);
        }
    }

    ScratchFolder pe_;
};

}  // namespace

TEST_F(PluginFolder, ScanIsDepthFirstAndSkipsWhatIsNoPlugin)
{
    WriteBytes(Plugin(L"top.inf"), Inf(L"Top"));
    WriteBytes(Plugin(L"A\\a.INF"), Inf(L"\"Quoted A\"", "Enable=0", L"$Windows NT$"));
    WriteBytes(Plugin(L"A\\sub\\s.inf"), Inf(L"Sub"));
    WriteBytes(Plugin(L"B\\b.inf"), Inf(L"B", "Enable=1"));
    WriteBytes(Plugin(L"B\\same1.inf"), Inf(L"Same"));
    WriteBytes(Plugin(L"B\\same2.inf"), Inf(L"Same"));
    // Not plug-ins, or not looked at.
    WriteBytes(Plugin(L".svn\\x.inf"), Inf(L"Svn"));
    WriteBytes(Plugin(L"A\\.dot.inf"), Inf(L"Dot"));
    WriteBytes(Plugin(L"sys.inf"), Inf(L"System file"));
    WriteBytes(Plugin(L"sysdir\\in.inf"), Inf(L"In system folder"));
    WriteBytes(Plugin(L"upper.inf"), Inf(L"Upper", "", L"$WINDOWS NT$"));
    WriteBytes(Plugin(L"chicago.inf"), Inf(L"Chicago", "", L"\"$Chicago$\""));
    WriteBytes(Plugin(L"noname.inf"), Inf(L"  "));
    WriteBytes(Plugin(L"notes.txt"), Inf(L"Text"));
    WriteBytes(Plugin(L"B\\b.inf.bak"), Inf(L"Backup"));
    ASSERT_TRUE(::SetFileAttributesW(Plugin(L"sys.inf").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::SetFileAttributesW(Plugin(L"sysdir").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));

    StringList list;
    ScanPluginFolder(PluginDir(), list);
    std::vector<std::wstring> names = Names(list);

    std::vector<std::wstring> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::wstring>{L"B", L"Quoted A", L"Same", L"Same", L"Sub", L"Top"}));

    // Depth first: a folder's plug-ins stand together, in the place where the file
    // system lists the folder among its neighbours.
    auto at = [&](const wchar_t* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
    auto indexOfFolder = [&](const std::wstring& folder) {
        return std::find_if(list.begin(), list.end(),
                            [&](const StringListItem& i) { return i.Data.Folder.starts_with(folder); }) -
               list.begin();
    };
    EXPECT_EQ(std::abs(at(L"Quoted A") - at(L"Sub")), 1);
    ptrdiff_t b = indexOfFolder(Plugin(L"B"));
    for (ptrdiff_t i = b; i < b + 3; ++i) EXPECT_EQ(list[i].Data.Folder, Plugin(L"B")) << i;
    std::vector<std::pair<ptrdiff_t, std::wstring>> topOrder;
    for (const std::wstring& n : FolderEntryNames(PluginDir())) {
        if (n == L"A" || n == L"B") topOrder.push_back({indexOfFolder(Plugin(n)), n});
        if (n == L"top.inf") topOrder.push_back({at(L"Top"), n});
    }
    ASSERT_EQ(topOrder.size(), 3u);
    EXPECT_TRUE(std::is_sorted(topOrder.begin(), topOrder.end())) << "scan order differs from the file system's";

    const TDataStruct& a = list[at(L"Quoted A")].Data;
    EXPECT_EQ(a.Folder, Plugin(L"A"));
    EXPECT_EQ(a.FileName, L"a.INF");
    EXPECT_EQ(a.FullPath, Plugin(L"A\\a.INF"));
    EXPECT_FALSE(a.Enabled);
    EXPECT_TRUE(list[at(L"B")].Data.Enabled);

    // Appends to what the list holds.
    ScanPluginFolder(PluginDir(), list);
    EXPECT_EQ(list.size(), 12u);
}

TEST_F(PluginFolder, MissingFolderGivesNoEntries)
{
    StringList list;
    ScanPluginFolder(PluginDir(), list);
    EXPECT_TRUE(list.empty());
    EXPECT_NO_THROW(ApplyPresetToPlugins(settings, L"none"));
}

TEST_F(PluginFolder, KeysAreRelativeToThePluginFolder)
{
    WriteBytes(Plugin(L"top.inf"), Inf(L"Top"));
    WriteBytes(Plugin(L"net\\tools\\t.inf"), Inf(L"Net Tools"));
    WriteBytes(Plugin(L"ツール\\ソ.inf"), Inf(L"ツール表"));
    StringList list;
    ScanPluginFolder(PluginDir(), list);
    std::vector<std::wstring> keys;
    for (const StringListItem& item : list) keys.push_back(PluginKeyOf(item.Data, settings.PEBuilder));
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"Net Tools::net\\tools\\", L"Top::", L"ツール表::ツール\\"}));
}

TEST_F(PluginFolder, PresetKeysComeSortedWithoutEmptyValues)
{
    StorePreset(L"Set", {L"b::b\\", L"", L"A::a\\", L"c::"});
    WriteRegString(PresetKey(settings, L"Set") + L"\\PEBuilder", L"source",
                   L"D:\\");  // a subkey is no plug-in
    std::vector<std::wstring> keys = LoadPresetPluginKeys(settings, L"set");
    EXPECT_EQ(keys, (std::vector<std::wstring>{L"A::a\\", L"b::b\\", L"c::"}));
    EXPECT_TRUE(LoadPresetPluginKeys(settings, L"missing").empty());
}

TEST_F(PluginFolder, ApplySwitchesEveryPluginAndNothingElse)
{
    WriteBytes(Plugin(L"top.inf"), Inf(L"Top", "Enable=0"));
    WriteBytes(Plugin(L"B\\same1.inf"), Inf(L"Same", "enable=0"));
    WriteBytes(Plugin(L"B\\same2.inf"), Inf(L"Same", "ENABLE=0"));
    WriteBytes(Plugin(L"C\\off.inf"), "[Version]\nSignature=$Windows NT$\n[PEBuilder]\nName=Off\nEnable=1\n[Other]\n");
    // "ソ表" with backslash trail bytes, a lone CR, and an "[" trail byte.
    const std::string sjis =
        "[Version]\r\nSignature=\"$Windows NT$\"\r\n[PEBuilder]\r\nName=\x83\x5C\x95\x5C\r\n"
        "Help=\x81\x5B\x83\x5D.txt\rEnable=1\r\n; \x81\x5B\r\n";
    WriteBytes(Plugin(L"J\\j.inf"), sjis);
    WriteBytes(Plugin(L"H\\hidden.inf"), Inf(L"Hidden", "Enable=1"));
    ASSERT_TRUE(::SetFileAttributesW(Plugin(L"H\\hidden.inf").c_str(), FILE_ATTRIBUTE_HIDDEN));
    WriteBytes(Plugin(L".svn\\x.inf"), Inf(L"Svn", "Enable=0"));
    WriteBytes(Plugin(L"chicago.inf"), Inf(L"Chicago", "Enable=1\n", L"$Chicago$"));
    StorePreset(L"Preset", {L"same::b\\", L"TOP::", L"Gone::gone\\"});

    std::map<std::wstring, std::string> before = Snapshot(PluginDir());
    ApplyPresetToPlugins(settings, L"Preset");
    std::map<std::wstring, std::string> after = Snapshot(PluginDir());

    EXPECT_EQ(after[L"top.inf"], Inf(L"Top", "Enable=1"));
    EXPECT_EQ(after[L"B\\same1.inf"], Inf(L"Same", "Enable=1"));
    EXPECT_EQ(after[L"B\\same2.inf"], Inf(L"Same", "Enable=1"));
    EXPECT_EQ(after[L"C\\off.inf"],
              "[Version]\r\nSignature=$Windows NT$\r\n[PEBuilder]\r\nName=Off\r\nEnable=0\r\n[Other]\r\n");
    EXPECT_EQ(after[L"J\\j.inf"],
              "[Version]\r\nSignature=\"$Windows NT$\"\r\n[PEBuilder]\r\nName=\x83\x5C\x95\x5C\r\n"
              "Help=\x81\x5B\x83\x5D.txt\r\nEnable=0\r\n; \x81\x5B\r\n");
    EXPECT_EQ(after[L"H\\hidden.inf"], Inf(L"Hidden", "Enable=0"));
    EXPECT_TRUE(::GetFileAttributesW(Plugin(L"H\\hidden.inf").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(after[L".svn\\x.inf"], before[L".svn\\x.inf"]);
    EXPECT_EQ(after[L"chicago.inf"], before[L"chicago.inf"]);
    EXPECT_EQ(after.size(), before.size()) << "no temporary file is left behind";
}

TEST_F(PluginFolder, ReadOnlyPluginStopsTheSwitchBeforeAnyFileChanges)
{
    WriteBytes(Plugin(L"a\\a.inf"), Inf(L"A", "Enable=0"));
    WriteBytes(Plugin(L"m\\m.inf"), Inf(L"M", "Enable=0"));
    WriteBytes(Plugin(L"z\\z.inf"), Inf(L"Z", "Enable=0"));
    StorePreset(L"All", {L"A::a\\", L"M::m\\", L"Z::z\\"});
    ASSERT_TRUE(::SetFileAttributesW(Plugin(L"m\\m.inf").c_str(), FILE_ATTRIBUTE_READONLY));

    std::map<std::wstring, std::string> before = Snapshot(PluginDir());
    try {
        ApplyPresetToPlugins(settings, L"All");
        ADD_FAILURE() << "a read-only plug-in was not reported";
    } catch (const AppError& e) {
        EXPECT_NE(e.Message().find(Plugin(L"m\\m.inf")), std::wstring::npos) << e.what();
    }
    EXPECT_EQ(Snapshot(PluginDir()), before);

    // A file another program holds open may be written but not replaced.
    ::SetFileAttributesW(Plugin(L"m\\m.inf").c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE held = ::CreateFileW(Plugin(L"m\\m.inf").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(ApplyPresetToPlugins(settings, L"All"), AppError);
    ::CloseHandle(held);
    EXPECT_EQ(Snapshot(PluginDir()), before);

    ASSERT_TRUE(::SetFileAttributesW(Plugin(L"m\\m.inf").c_str(), FILE_ATTRIBUTE_READONLY));

    // A read-only plug-in that is already right needs no writing.
    WriteRegString(PresetKey(settings, L"Two"), L"001", L"A::a\\");
    WriteRegString(PresetKey(settings, L"Two"), L"002", L"Z::z\\");
    ApplyPresetToPlugins(settings, L"Two");
    EXPECT_EQ(ReadBytes(Plugin(L"a\\a.inf")), Inf(L"A", "Enable=1"));
    EXPECT_EQ(ReadBytes(Plugin(L"m\\m.inf")), Inf(L"M", "Enable=0"));
    EXPECT_EQ(ReadBytes(Plugin(L"z\\z.inf")), Inf(L"Z", "Enable=1"));
    ::SetFileAttributesW(Plugin(L"m\\m.inf").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PluginFolder, OtherProgramsReadingThePluginsNeverStopASwitchNorAreRefused)
{
    // A switch back and forth while a second copy's editor scans, PE Builder reads without
    // delete sharing, and at first a scanner and the other copy each hold a file: the
    // switch waits the holds out, every scan lists all, no read is refused.
    std::vector<std::wstring> keys;
    for (int i = 0; i < 20; ++i) {
        const std::wstring name = L"P" + std::to_wstring(i);
        WriteBytes(Plugin(name + L"\\p.inf"), Inf(name, "Enable=0"));
        keys.push_back(name + L"::" + name + L"\\");
    }
    StorePreset(L"All", keys);
    StorePreset(L"One", {keys[0]});
    const DWORD withoutDelete = FILE_SHARE_READ | FILE_SHARE_WRITE;
    auto open = [&](int i, DWORD share) {
        return FileHandle(::CreateFileW(Plugin(L"P" + std::to_wstring(i) + L"\\p.inf").c_str(), GENERIC_READ, share,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    };
    FileHandle holds[] = {open(7, withoutDelete), open(3, withoutDelete | FILE_SHARE_DELETE)};
    ASSERT_TRUE(holds[0] && holds[1]);
    int scans = 0, refused = 0, shortScans = 0;
    {
        std::jthread letGo([&] {
            ::Sleep(300);
            for (FileHandle& hold : holds) hold.Reset();
        });
        std::jthread editor([&](std::stop_token stop) {
            for (StringList list; !stop.stop_requested(); list.clear(), ++scans)
                shortScans += ScanPluginFolder(PluginDir(), list).size() || list.size() != keys.size();
        });
        for (int round = 0; round < 10; ++round) {
            ApplyPresetToPlugins(settings, round % 2 ? L"One" : L"All");
            for (int i = 0; i < 100; ++i) refused += !open(i % 20, withoutDelete);
        }
    }
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(shortScans, 0);
    EXPECT_GT(scans, 5);
    EXPECT_EQ(ReadBytes(Plugin(L"P0\\p.inf")), Inf(L"P0", "Enable=1"));
}

// The folder is walked while the preset is read: a preset that cannot be read stops
// the walk, is the error reported, and leaves every file as it was.
TEST_F(PluginFolder, APresetThatCannotBeReadIsTheErrorAndNothingChanges)
{
    std::vector<std::wstring> keys;
    for (int n = 0; n < 90; ++n) {
        const std::wstring folder = L"f" + std::to_wstring(n % 30);
        WriteBytes(Plugin(folder + L"\\p" + std::to_wstring(n) + L".inf"), Inf(L"P" + std::to_wstring(n), "Enable=0"));
        keys.push_back(L"P" + std::to_wstring(n) + L"::" + folder + L"\\");
    }
    StorePreset(L"Odd", keys);
    WriteRegInteger(PresetKey(settings, L"Odd"), L"999", 1);
    const std::map<std::wstring, std::string> before = Snapshot(PluginDir());
    try {
        ApplyPresetToPlugins(settings, L"Odd");
        ADD_FAILURE() << "a preset that cannot be read was applied";
    } catch (const AppError& e) {
        EXPECT_NE(e.Message().find(L"999"), std::wstring::npos) << e.what();
    }
    EXPECT_EQ(Snapshot(PluginDir()), before);
}

TEST_F(PluginFolder, ReapplyingWritesNoFile)
{
    WriteBytes(Plugin(L"a\\a.inf"), "[Version]\nSignature=$Windows NT$\n[PEBuilder]\nName=A\nEnable=0\n");
    WriteBytes(Plugin(L"b\\b.inf"), Inf(L"B", "Enable=1"));
    StorePreset(L"P", {L"A::a\\"});
    ApplyPresetToPlugins(settings, L"P");
    EXPECT_EQ(ReadBytes(Plugin(L"a\\a.inf")),
              "[Version]\r\nSignature=$Windows NT$\r\n[PEBuilder]\r\nName=A\r\nEnable=1\r\n");
    EXPECT_EQ(ReadBytes(Plugin(L"b\\b.inf")), Inf(L"B", "Enable=0"));

    BackDate(Plugin(L"a\\a.inf"));
    BackDate(Plugin(L"b\\b.inf"));
    FILETIME a = LastWrite(Plugin(L"a\\a.inf"));
    FILETIME b = LastWrite(Plugin(L"b\\b.inf"));
    ApplyPresetToPlugins(settings, L"P");
    EXPECT_TRUE(SameTime(LastWrite(Plugin(L"a\\a.inf")), a));
    EXPECT_TRUE(SameTime(LastWrite(Plugin(L"b\\b.inf")), b));

    SetPluginEnable(Plugin(L"b\\b.inf"), false);
    EXPECT_TRUE(SameTime(LastWrite(Plugin(L"b\\b.inf")), b));
    SetPluginEnable(Plugin(L"b\\b.inf"), true);
    EXPECT_FALSE(SameTime(LastWrite(Plugin(L"b\\b.inf")), b));
    EXPECT_EQ(ReadBytes(Plugin(L"b\\b.inf")), Inf(L"B", "Enable=1"));
}

TEST_F(PluginFolder, SetPluginEnableReportsFilesItCannotUse)
{
    EXPECT_THROW(SetPluginEnable(Plugin(L"missing.inf"), true), AppError);
    WriteBytes(Plugin(L"r.inf"), Inf(L"R", "Enable=0"));
    ASSERT_TRUE(::SetFileAttributesW(Plugin(L"r.inf").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(SetPluginEnable(Plugin(L"r.inf"), true), AppError);
    EXPECT_EQ(ReadBytes(Plugin(L"r.inf")), Inf(L"R", "Enable=0"));
    ::SetFileAttributesW(Plugin(L"r.inf").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PluginFolder, AfterASwitchTheCatalogueReadsEveryPluginAsThePresetSays)
{
    // Enable lines the reader takes although they are not written the plain way.
    WriteBytes(Plugin(L"a\\a.inf"), Inf(L"A", "Enable = 1"));
    WriteBytes(Plugin(L"b\\b.inf"), Inf(L"B", " Enable=1"));
    WriteBytes(Plugin(L"c\\c.inf"), Inf(L"C", "Enable=0\r\nEnable=1"));
    WriteBytes(Plugin(L"d\\d.inf"),
               "[Version]\r\nSignature=$Windows NT$\r\n[ PEBuilder ]\r\nName=D\r\nEnable=1\r\n[Other]\r\nEnable=1\r\n");
    // Code page 932: "[PEBuilder" and a katakana whose trail byte is "]" is no header.
    WriteBytes(Plugin(L"e\\e.inf"), Inf(L"E", "[PEBuilder\x83]\r\nEnable=1"));
    WriteBytes(Plugin(L"f\\f.inf"), Inf(L"F", "Enable=0"));
    StorePreset(L"OnlyF", {L"F::f\\"});

    ApplyPresetToPlugins(settings, L"OnlyF");
    StringList list;
    ScanPluginFolder(PluginDir(), list);
    ASSERT_EQ(list.size(), 6u);
    for (const StringListItem& item : list) EXPECT_EQ(item.Data.Enabled, item.Text == L"F") << item.Text;
    EXPECT_EQ(ReadBytes(Plugin(L"d\\d.inf")),
              "[Version]\r\nSignature=$Windows NT$\r\n[ PEBuilder ]\r\nName=D\r\nEnable=0\r\n[Other]\r\nEnable=1\r\n");
}

TEST_F(PluginFolder, AnOverLargeInfIsNamedAndTheOtherPluginsStay)
{
    WriteBytes(Plugin(L"a\\a.inf"), Inf(L"A", "Enable=0"));
    WriteBytes(Plugin(L"z\\z.inf"), Inf(L"Z", "Enable=0"));
    // 200 MB, mostly a hole in the file: reading it whole would exhaust the address space.
    const std::wstring huge = Plugin(L"m\\huge.inf");
    WriteBytes(huge, Inf(L"Huge"));
    {
        HANDLE file = ::CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size{};
        size.QuadPart = 200ll << 20;
        ASSERT_TRUE(::SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(file));
        ::CloseHandle(file);
    }
    StringList list;
    EXPECT_EQ(ScanPluginFolder(PluginDir(), list), std::vector<std::wstring>{huge});
    std::vector<std::wstring> names = Names(list);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"Z"}));

    StorePreset(L"All", {L"A::a\\", L"Z::z\\"});
    try {
        ApplyPresetToPlugins(settings, L"All");
        ADD_FAILURE() << "the switch went on without a plug-in it could not read";
    } catch (const AppError& e) {
        EXPECT_NE(e.Message().find(huge), std::wstring::npos) << e.what();
    }
    EXPECT_EQ(ReadBytes(Plugin(L"a\\a.inf")), Inf(L"A", "Enable=0"));
    EXPECT_EQ(ReadBytes(Plugin(L"z\\z.inf")), Inf(L"Z", "Enable=0"));
}

TEST_F(PluginFolder, TheSwitchRemovesStagedFilesAnInterruptedSwitchLeft)
{
    WriteBytes(Plugin(L"a\\a.inf"), Inf(L"A", "Enable=1"));
    WriteBytes(Plugin(L"b\\b.inf"), Inf(L"B", "Enable=1"));
    // Left beside a plug-in that changes and beside one that does not.
    WriteBytes(Plugin(L"a\\a.inf.kwtmp-4000000000-3"), Inf(L"A", "Enable=0"));
    WriteBytes(Plugin(L"b\\b.inf.kwtmp-4000000000-4"), Inf(L"B", "Enable=0"));
    WriteBytes(Plugin(L"b\\b.inf.kwtmp-old"), "a user's file");
    WriteBytes(Plugin(L"b\\readme.txt"), "a user's file");
    StorePreset(L"B", {L"B::b\\"});
    ApplyPresetToPlugins(settings, L"B");
    std::map<std::wstring, std::string> files = Snapshot(PluginDir());
    std::vector<std::wstring> names;
    for (const auto& [name, bytes] : files) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a\\a.inf", L"b\\b.inf", L"b\\b.inf.kwtmp-old", L"b\\readme.txt"}));
    EXPECT_EQ(files[L"a\\a.inf"], Inf(L"A", "Enable=0"));
}

TEST_F(PluginFolder, APluginNestedDeepIsSwitched)
{
    // 300 folders: about 600 characters of path, far past MAX_PATH. (Each new entry costs
    // Wine time that grows with the square of the depth: 1,500 folders take a minute.)
    const int depth = 300;
    std::wstring relative;
    for (int i = 0; i < depth; ++i) relative += L"a\\";
    std::wstring folder = PluginDir();
    ::CreateDirectoryW(folder.c_str(), nullptr);
    for (int i = 0; i < depth; ++i) {
        folder += L"\\a";
        ASSERT_TRUE(::CreateDirectoryW(ApiPath(folder).c_str(), nullptr)) << i;
    }
    const std::wstring inf = folder + L"\\deep.inf";
    WriteBytes(inf, Inf(L"Deep", "Enable=0"));
    StorePreset(L"Deep", {L"Deep::" + relative});
    ApplyPresetToPlugins(settings, L"Deep");
    EXPECT_EQ(ReadBytes(inf), Inf(L"Deep", "Enable=1"));
    EXPECT_EQ(Snapshot(PluginDir()).size(), 1u);
    RemoveTree(PluginDir());
}

TEST_F(PluginFolder, PluginsNamedLikeDevicesAreOrdinaryPlugins)
{
    // Written and read back by the "\\?\" form, the only one that reaches such files.
    const std::vector<std::wstring> devices = {L"nul", L"aux", L"prn", L"com1", L"lpt1", L"con", L"conin$", L"conout$"};
    auto extended = [&](const std::wstring& name) { return L"\\\\?\\" + Plugin(L"dev\\" + name + L".inf"); };
    MakeFolders(Plugin(L"dev"));
    std::vector<std::wstring> keys = {L"plain::"};
    for (const std::wstring& name : devices) {
        WriteBytes(extended(name), Inf(name, "Enable=0"));
        keys.push_back(name + L"::dev\\");
    }
    WriteBytes(Plugin(L"plain.inf"), Inf(L"plain", "Enable=0"));

    StringList list;
    EXPECT_TRUE(ScanPluginFolder(PluginDir(), list).empty());
    std::vector<std::wstring> found = Names(list), expected = devices;
    expected.push_back(L"plain");
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);

    StorePreset(L"All", keys);
    ApplyPresetToPlugins(settings, L"All");
    for (const std::wstring& name : devices) {
        EXPECT_EQ(ReadBytes(extended(name)), Inf(name, "Enable=1")) << Ansi(name);
        ::DeleteFileW(extended(name).c_str());
    }
    EXPECT_EQ(ReadBytes(Plugin(L"plain.inf")), Inf(L"plain", "Enable=1"));
    EXPECT_EQ(FolderEntryNames(Plugin(L"dev")), std::vector<std::wstring>{}) << "no staged file is left behind";
}
