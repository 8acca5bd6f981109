// The settings store against the real registry of this test's own Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "tests/support/ScriptedPrompt.h"

namespace {

const std::wstring K = kProgramKey;

void SetRaw(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    HKEY handle;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(handle);
}

void SetText(const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ)
{
    SetRaw(key, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

DWORD TypeOf(const std::wstring& key, const std::wstring& name)
{
    DWORD type = REG_NONE;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_ANY, &type, nullptr, nullptr) !=
        ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

bool KeyExists(const std::wstring& key)
{
    HKEY handle;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    ::RegCloseKey(handle);
    return true;
}

class Registry : public ::testing::Test {
protected:
    void SetUp() override { EraseRegKey(K); }
    void TearDown() override { EraseRegKey(K); }
};

}  // namespace

TEST_F(Registry, NumbersAndBooleansStoredAsTextOrDword)
{
    const std::wstring key = K + L"\\System";
    SetText(key, L"one", L"1");
    SetText(key, L"zero", L"0");
    SetText(key, L"word", L"yes");
    SetText(key, L"empty", L"");
    SetText(key, L"size", L"446");
    EXPECT_TRUE(ReadRegBool(key, L"one", false));
    EXPECT_FALSE(ReadRegBool(key, L"zero", true));
    EXPECT_TRUE(ReadRegBool(key, L"word", true));
    EXPECT_FALSE(ReadRegBool(key, L"word", false));
    EXPECT_TRUE(ReadRegBool(key, L"empty", true));
    EXPECT_EQ(ReadRegInteger(key, L"size", 0), 446);
    EXPECT_EQ(ReadRegInteger(key, L"missing", -7), -7);
    EXPECT_EQ(ReadRegInteger(K + L"\\NoSuchKey", L"size", 12), 12);

    WriteRegInteger(key, L"size", 446);
    EXPECT_EQ(TypeOf(key, L"size"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRegInteger(key, L"size", 0), 446);
    WriteRegBool(key, L"flag", true);
    EXPECT_EQ(TypeOf(key, L"flag"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRegInteger(key, L"flag", 5), 1);
    WriteRegInteger(key, L"negative", -2);
    EXPECT_EQ(ReadRegInteger(key, L"negative", 0), -2);
    DWORD colour = 0xFF000005;
    SetRaw(K, L"UnselectedBackColor", REG_DWORD, &colour, sizeof colour);
    EXPECT_EQ(static_cast<uint32_t>(ReadRegInteger(K, L"UnselectedBackColor", 0)), 0xFF000005u);
}

// Short values answer in one query, longer ones are asked again at their size: every
// length around the first buffer reads whole.
TEST_F(Registry, StringsOfAnyLengthReadWhole)
{
    const std::wstring key = K + L"\\System";
    for (size_t length : {0, 1, 255, 256, 257, 511, 1000, 5000}) {
        std::wstring text(length, L'x');
        for (size_t i = 0; i < length; ++i) text[i] = static_cast<wchar_t>(L'a' + i % 26);
        WriteRegString(key, L"long", text);
        EXPECT_EQ(ReadRegString(key, L"long", L"default"), text) << length;
    }
}

TEST_F(Registry, StringsKeepEmptyTextAndExpandNothing)
{
    const std::wstring key = K + L"\\Profiles\\デフォルト";
    SetText(key, L"BuildParams", L"");
    SetText(key, L"Path", L"%TEMP%\\x", REG_EXPAND_SZ);
    EXPECT_EQ(ReadRegString(key, L"BuildParams", L"default"), L"");
    EXPECT_EQ(ReadRegString(key, L"Path", L""), L"%TEMP%\\x");
    EXPECT_EQ(ReadRegString(key, L"Missing", L"default"), L"default");
    EXPECT_EQ(ReadRegString(K + L"\\Nothing", L"x", L"d"), L"d");

    WriteRegString(key + L"\\Preset\\日本語", L"001", L"ツール::ソフト\\");
    EXPECT_EQ(ReadRegString(key + L"\\Preset\\日本語", L"001", L""), L"ツール::ソフト\\");
    WriteRegString(key, L"PEB_VER", L"3");  // a string replaces a value of any type
    EXPECT_EQ(TypeOf(key, L"PEB_VER"), static_cast<DWORD>(REG_SZ));
}

TEST_F(Registry, ValuesOfTheWrongTypeAreReportedOnceRemovedAndReadAsTheirDefault)
{
    const std::wstring key = K + L"\\System";
    DWORD number = 5;
    SetRaw(key, L"Number", REG_DWORD, &number, sizeof number);
    SetRaw(key, L"Blob", REG_BINARY, "\1\2\3\4", 4);
    SetRaw(key, L"Short", REG_DWORD, "\1\2", 2);
    SetText(key, L"Expand", L"1", REG_EXPAND_SZ);
    ScriptedPrompt prompt;
    ScopedPromptOverride answering(prompt);
    auto expectReset = [&](auto read, const wchar_t* name) {
        for (int time = 0; time < 2; ++time) EXPECT_TRUE(read()) << testing::PrintToString(std::wstring(name));
        ASSERT_EQ(prompt.messages.size(), 1u);  // once, though read twice
        EXPECT_NE(prompt.messages[0].text.find(key + L"\\" + name), std::wstring::npos);
        EXPECT_FALSE(RegValueExists(key, name));
        prompt.messages.clear();
    };
    expectReset([&] { return ReadRegString(key, L"Number", L"d") == L"d"; }, L"Number");
    expectReset([&] { return ReadRegString(key, L"Blob", L"d") == L"d"; }, L"Blob");
    expectReset([&] { return ReadRegInteger(key, L"Short", 42) == 42; }, L"Short");
    expectReset([&] { return ReadRegBool(key, L"Expand", true); }, L"Expand");
}

TEST_F(Registry, EraseRemovesEveryTraceAndToleratesMissingKeys)
{
    WriteRegString(K + L"\\Profiles\\A\\Preset\\P1\\PEBuilder", L"source", L"D:\\");
    WriteRegString(K + L"\\Profiles\\A\\Preset\\P2", L"001", L"x::y\\");
    WriteRegInteger(K, L"Height", 266);
    EraseRegKey(K);
    EXPECT_FALSE(KeyExists(K));
    EXPECT_TRUE(KeyExists(L"Software\\Vesmor"));
    EXPECT_NO_THROW(EraseRegKey(K));
    EXPECT_NO_THROW(DeleteRegValue(K + L"\\System", L"Profile"));
    EXPECT_FALSE(KeyExists(K));  // deleting a value never creates its key

    WriteRegString(K + L"\\System", L"Profile", L"A");
    DeleteRegValue(K + L"\\System", L"Profile");
    EXPECT_FALSE(RegValueExists(K + L"\\System", L"Profile"));
    EXPECT_TRUE(KeyExists(K + L"\\System"));
}

TEST_F(Registry, SubKeysAndValuesAreListedApart)
{
    const std::wstring preset = K + L"\\Profiles\\A\\Preset";
    WriteRegInteger(preset, L"Height", 446);
    WriteRegInteger(preset, L"Width", 592);
    WriteRegString(preset + L"\\Net", L"001", L"Tool::net\\tool\\");
    WriteRegString(preset + L"\\Base", L"001", L"Base::base\\");
    std::vector<std::wstring> names{L"stale"};
    ListRegSubKeys(preset, names);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Base", L"Net"}));
    ListRegSubKeys(K + L"\\Missing", names);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(RegSubKeyExists(K + L"\\Profiles\\A", L"preset"));
    EXPECT_FALSE(RegSubKeyExists(K + L"\\Profiles\\A", L"Net"));
    EXPECT_TRUE(RegValueExists(preset, L"Height"));
    EXPECT_FALSE(RegValueExists(preset, L"Top"));
}

TEST_F(Registry, ListRegValuesMergesNameValueLines)
{
    const std::wstring key = K + L"\\Profiles\\A\\Preset\\P";
    WriteRegString(key, L"001", L"First::a\\");
    WriteRegString(key, L"002", L"Second::b\\");
    WriteRegString(key, L"003", L"");
    std::vector<std::wstring> list{L"before", L"003=old", L"X=keep"};
    ListRegValues(key, list);
    std::vector<std::wstring> expected{L"before", L"X=keep", L"001=First::a\\", L"002=Second::b\\"};
    std::sort(list.begin() + 2, list.end());
    EXPECT_EQ(list, expected);

    std::vector<std::wstring> replaced{L"x=1", L"001=old"};
    WriteRegString(K + L"\\Q", L"X", L"2");
    ListRegValues(K + L"\\Q", replaced);
    EXPECT_EQ(replaced, (std::vector<std::wstring>{L"X=2", L"001=old"}));

    DWORD number = 1;
    SetRaw(key, L"004", REG_DWORD, &number, sizeof number);
    EXPECT_THROW(ListRegValues(key, list), AppError);
}

TEST_F(Registry, ListRegValuesMatchesTheFirstLineOfANameWithoutRegardToCase)
{
    const std::wstring key = K + L"\\Profiles\\A\\Preset\\Big";
    WriteRegString(key, L"abc", L"new");
    WriteRegString(key, L"gone", L"");
    std::vector<std::wstring> list{L"ABC=1", L"abc=2", L"GONE=x", L"gone=y", L"no line"};
    ListRegValues(key, list);
    EXPECT_EQ(list, (std::vector<std::wstring>{L"abc=new", L"abc=2", L"gone=y", L"no line"}));

    // A thousand values, half of them already in the list: those change in place, the
    // others follow in enumeration order.
    EraseRegKey(key);
    std::vector<std::wstring> lines;
    for (int i = 0; i < 1000; ++i) {
        WriteRegString(key, L"v" + std::to_wstring(i), L"t" + std::to_wstring(i));
        if (i % 2) lines.push_back(L"V" + std::to_wstring(i) + L"=old");
    }
    ListRegValues(key, lines);
    ASSERT_EQ(lines.size(), 1000u);
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(lines[i], L"v" + std::to_wstring(2 * i + 1) + L"=t" + std::to_wstring(2 * i + 1));
    std::vector<std::wstring> rest(lines.begin() + 500, lines.end()), expected;
    for (int i = 0; i < 1000; i += 2) expected.push_back(L"v" + std::to_wstring(i) + L"=t" + std::to_wstring(i));
    std::sort(rest.begin(), rest.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rest, expected);
}

TEST_F(Registry, MoveAndCopyAreGuarded)
{
    const std::wstring a = K + L"\\Profiles\\A", b = K + L"\\Profiles\\B";
    WriteRegString(a, L"PEBuilder", L"C:\\pe");
    WriteRegString(b, L"PEBuilder", L"C:\\other");
    MoveRegKey(a, b);  // target exists
    EXPECT_EQ(ReadRegString(a, L"PEBuilder", L""), L"C:\\pe");
    EXPECT_EQ(ReadRegString(b, L"PEBuilder", L""), L"C:\\other");

    MoveRegKey(a, L"Software\\Vesmor\\Other");  // no "Kitwright" in the new path
    CopyRegKey(a, L"Software\\Vesmor\\Other");
    EXPECT_FALSE(KeyExists(L"Software\\Vesmor\\Other"));
    CopyRegKey(a, K + L"\\Profiles\\kitwright");  // the guard compares with case... of the whole path
    EXPECT_TRUE(KeyExists(K + L"\\Profiles\\kitwright"));

    MoveRegKey(K + L"\\Profiles\\Missing", K + L"\\Profiles\\C");
    EXPECT_FALSE(KeyExists(K + L"\\Profiles\\C"));

    // A new name with a backslash can put the target below the source: refused with an
    // error and nothing changed; a sibling whose name merely begins alike is copied.
    EXPECT_THROW(CopyRegKey(a, a + L"\\Copy"), AppError);
    EXPECT_THROW(MoveRegKey(a, K + L"\\PROFILES\\a\\Copy"), AppError);
    EXPECT_FALSE(KeyExists(a + L"\\Copy"));
    EXPECT_EQ(ReadRegString(a, L"PEBuilder", L""), L"C:\\pe");
    CopyRegKey(a, a + L"B");
    EXPECT_EQ(ReadRegString(a + L"B", L"PEBuilder", L""), L"C:\\pe");
}

TEST_F(Registry, CopyTakesEveryValueTypeAndSubkeyAndMoveRemovesTheOld)
{
    const std::wstring a = K + L"\\Profiles\\A";
    WriteRegString(a, L"PEBuilder", L"C:\\pe");
    WriteRegInteger(a, L"PEB_VER", 2);
    SetText(a, L"", L"default value");
    SetRaw(a, L"Blob", REG_BINARY, "\0\1\2", 3);
    WriteRegString(a + L"\\Preset\\P1", L"001", L"Tool::tool\\");
    WriteRegInteger(a + L"\\Preset\\P1\\PEBuilder", L"buildiso", 1);
    WriteRegString(a + L"\\Preset\\P1\\PEBuilder", L"source", L"D:\\");
    WriteRegInteger(a + L"\\Preset", L"Height", 446);

    const std::wstring b = K + L"\\Profiles\\B";
    CopyRegKey(a, b);
    EXPECT_TRUE(KeyExists(a));
    EXPECT_EQ(ReadRegString(b, L"", L""), L"default value");
    EXPECT_EQ(TypeOf(b, L"PEB_VER"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(TypeOf(b, L"Blob"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(ReadRegString(b + L"\\Preset\\P1", L"001", L""), L"Tool::tool\\");
    EXPECT_EQ(TypeOf(b + L"\\Preset\\P1\\PEBuilder", L"buildiso"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRegInteger(b + L"\\Preset\\P1\\PEBuilder", L"buildiso", 0), 1);
    EXPECT_EQ(ReadRegInteger(b + L"\\Preset", L"Height", 0), 446);

    const std::wstring c = K + L"\\Profiles\\C";
    MoveRegKey(b, c);
    EXPECT_FALSE(KeyExists(b));
    EXPECT_EQ(ReadRegString(c + L"\\Preset\\P1\\PEBuilder", L"source", L""), L"D:\\");
}

TEST_F(Registry, ProfileLoaderConvertsOlderValues)
{
    const std::wstring p = kProfilesKey + L"\\デフォルト";
    WriteRegString(p, L"PEBuilder", L"C:\\pebuilder\\");
    WriteRegBool(p, L"UseMKISOFS", true);
    WriteRegString(p, L"mkisofsParams", L"-old");
    WriteRegInteger(p, L"PEB_VER", 259);  // held in eight bits
    WriteRegString(kSystemKey, L"PluginBuilder", L"C:\\plb\\");
    WriteRegBool(kSystemKey, L"TE_WAIT", true);

    TCurrentSettings settings;
    settings.ProfileKeySuffix = L"\\デフォルト";
    LoadProfileSettings(settings);
    EXPECT_EQ(settings.PEBuilder, L"C:\\pebuilder");
    EXPECT_TRUE(settings.UseExtProgram_ISO);
    EXPECT_FALSE(settings.UseExtProgram_BLD);
    EXPECT_EQ(settings.PEB_VER, 3);
    EXPECT_EQ(settings.ExternalProgram, kDefaultExternalProgram);
    EXPECT_EQ(settings.PluginBuilder, L"C:\\plb");
    EXPECT_TRUE(settings.TE_WAIT);
    EXPECT_FALSE(RegValueExists(p, L"UseMKISOFS"));
    EXPECT_FALSE(RegValueExists(p, L"mkisofsParams"));
    EXPECT_TRUE(ReadRegBool(p, L"UseExtProgram_ISO", false));
}

TEST_F(Registry, ReadsInABatchSeeEveryChangeMadeMeanwhile)
{
    const std::wstring key = K + L"\\System";
    {
        const RegReadBatch batch;
        EXPECT_EQ(ReadRegString(key, L"Profile", L"none"), L"none");  // the key is not there yet
        WriteRegString(key, L"Profile", L"A");
        EXPECT_EQ(ReadRegString(key, L"Profile", L"none"), L"A");
        SetText(key, L"Profile", L"B");  // through a handle of its own
        WriteRegInteger(key, L"Height", 266);
        EXPECT_EQ(ReadRegString(key, L"Profile", L"none"), L"B");
        EXPECT_EQ(ReadRegInteger(key, L"Height", 0), 266);
        {
            const RegReadBatch nested;
            DeleteRegValue(key, L"Height");
            EXPECT_EQ(ReadRegInteger(key, L"Height", 7), 7);
        }
        EXPECT_EQ(ReadRegString(key, L"Profile", L"none"), L"B");  // the outer batch still reads

        // An erased key reads as missing, and as new once made again.
        EraseRegKey(K);
        EXPECT_EQ(ReadRegString(key, L"Profile", L"none"), L"none");
        WriteRegString(key, L"Profile", L"C");
        EXPECT_EQ(ReadRegString(key, L"Profile", L"none"), L"C");

        // A damaged value is reported and removed as outside a batch.
        ScriptedPrompt prompt;
        ScopedPromptOverride answering(prompt);
        SetRaw(key, L"Width", REG_BINARY, "\1\2\3\4", 4);
        EXPECT_EQ(ReadRegInteger(key, L"Width", 392), 392);
        EXPECT_EQ(prompt.messages.size(), 1u);
        EXPECT_FALSE(RegValueExists(key, L"Width"));
    }
    EraseRegKey(K);
    EXPECT_FALSE(KeyExists(K));  // no handle of a batch keeps it
    EXPECT_EQ(ReadRegString(key, L"Profile", L"none"), L"none");
}
