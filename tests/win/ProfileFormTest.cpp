// The profile chooser as a real window: another thread clicks its buttons, types into
// the text prompt and answers the message boxes, and the registry is read back.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/Language.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "dialogs/ProfileForm.h"
#include "tests/support/ChooserDriver.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

namespace {

const std::wstring K = kProgramKey;
const DWORD kSelf = ::GetCurrentProcessId();

std::wstring Profile(const std::wstring& name) { return kProfilesKey + L"\\" + name; }

// The stored type of a value, or REG_NONE when there is none.
DWORD TypeOf(const std::wstring& key, const wchar_t* name)
{
    DWORD type = REG_NONE;
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

// A profile with settings, a preset and the preset's own PE Builder settings.
void MakeProfile(const std::wstring& name, const std::wstring& peBuilder)
{
    WriteRegString(Profile(name), L"PEBuilder", peBuilder);
    WriteRegInteger(Profile(name), L"PEB_VER", 3);
    WriteRegInteger(Profile(name) + L"\\Preset", L"Height", 500);
    WriteRegString(Profile(name) + L"\\Preset\\Net", L"001", L"TCP::network\\tcpip\\");
    WriteRegInteger(Profile(name) + L"\\Preset\\Net\\PEBuilder", L"buildiso", 1);
}

void ExpectWholeProfile(const std::wstring& name, const std::wstring& peBuilder)
{
    EXPECT_EQ(ReadRegString(Profile(name), L"PEBuilder", L""), peBuilder) << name;
    EXPECT_EQ(ReadRegInteger(Profile(name), L"PEB_VER", 0), 3) << name;
    EXPECT_EQ(TypeOf(Profile(name), L"PEB_VER"), static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(ReadRegInteger(Profile(name) + L"\\Preset", L"Height", 0), 500) << name;
    EXPECT_EQ(ReadRegString(Profile(name) + L"\\Preset\\Net", L"001", L""), L"TCP::network\\tcpip\\") << name;
    EXPECT_EQ(ReadRegInteger(Profile(name) + L"\\Preset\\Net\\PEBuilder", L"buildiso", 0), 1) << name;
    EXPECT_EQ(TypeOf(Profile(name) + L"\\Preset\\Net\\PEBuilder", L"buildiso"), static_cast<DWORD>(REG_DWORD)) << name;
}

ChooserControls ControlsOf(const TProfile_Form& form)
{
    return {form.Handle(), form.LB1,       form.Add_Btn,    form.Edit_Btn,
            form.Del_Btn,  form.Start_Btn, form.Cancel_Btn, form.CHB1};
}

void Key(HWND control, WPARAM key)
{
    ::PostMessageW(control, WM_KEYDOWN, key, 1);
    ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

HWND Focus(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

class ProfileFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(K);
        SetLanguageFile(scratch_ / L"Kitwright.rsl");  // none yet
    }
    void TearDown() override
    {
        EraseRegKey(K);
        SetLanguageFile(L"");
    }

    // Shows a new chooser while script plays the user; the chooser's answer. After the
    // script, the items and the selection the chooser closed with are in items and
    // selected.
    bool Run(std::function<void(const ChooserControls&)> script, bool doNotShow = false)
    {
        TProfile_Form form;
        form.SetDoNotShowAtStart(doNotShow);
        DialogDriver driver(L"TProfile_Form", L"", [&](HWND) { script(ControlsOf(form)); });
        bool started = form.ShowModal();
        EXPECT_TRUE(driver.Acted());
        items = form.Items();
        selected = form.SelectedProfile();
        doNotShowAtStart = form.DoNotShowAtStart();
        return started;
    }

    std::vector<std::wstring> items;
    std::wstring selected;
    bool doNotShowAtStart = false;
    ScratchFolder scratch_;
};

}  // namespace

TEST_F(ProfileFormTest, ListsTheProfilesSortedAndSelectsTheStoredOneInAnyCase)
{
    for (const wchar_t* name : {L"beta", L"デフォルト", L"Gamma", L"Alpha", L"Temp"})
        WriteRegString(Profile(name), L"PEBuilder", L"C:\\pe");
    WriteRegString(kSystemKey, L"Profile", L"gamma");
    std::wstring caption;
    RECT client{};
    bool deleteEnabled = false, ticked = false;
    std::vector<std::wstring> shown;
    int selection = -1;
    bool started = Run(
        [&](const ChooserControls& c) {
            caption = WindowText(c.window);
            ::GetClientRect(c.window, &client);
            shown = ListItems(c.list);
            selection = ListSelection(c.list);
            deleteEnabled = ::IsWindowEnabled(c.del);
            ticked = ::SendMessageW(c.check, BM_GETCHECK, 0, 0) == BST_CHECKED;
            Key(c.list, VK_RETURN);  // Enter: the start button
        },
        true);
    EXPECT_TRUE(started);
    EXPECT_EQ(caption, L"プロファイルの選択 ");
    EXPECT_EQ(client.right, 340);
    EXPECT_EQ(client.bottom, 178);
    // A left-over "Temp" key is somebody's profile, listed like any other.
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Alpha", L"beta", L"Gamma", L"Temp", L"デフォルト"}));
    EXPECT_EQ(selection, 2);
    EXPECT_TRUE(deleteEnabled);
    EXPECT_TRUE(ticked);
    EXPECT_EQ(selected, L"Gamma");
    // The chooser itself writes the current profile only after a rename or delete.
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"gamma");
}

TEST_F(ProfileFormTest, EscTheCloseBoxAndCancelLeaveWithoutStarting)
{
    WriteRegString(Profile(L"A"), L"PEBuilder", L"");
    const std::vector<std::function<void(const ChooserControls&)>> leaves = {
        [](const ChooserControls& c) { Key(c.list, VK_ESCAPE); },
        [](const ChooserControls& c) { ::PostMessageW(c.window, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](const ChooserControls& c) {
            Press(c.check);  // the check box's state survives the cancel
            Press(c.cancel);
        },
    };
    for (size_t i = 0; i < leaves.size(); ++i) {
        EXPECT_FALSE(Run(leaves[i])) << i;
        EXPECT_EQ(doNotShowAtStart, i == 2) << i;
    }
}

TEST_F(ProfileFormTest, TabOrderFollowsTheControls)
{
    WriteRegString(Profile(L"A"), L"PEBuilder", L"");
    WriteRegString(Profile(L"B"), L"PEBuilder", L"");
    std::vector<HWND> order, expected;
    Run([&](const ChooserControls& c) {
        expected = {c.list, c.add, c.edit, c.del, c.start, c.cancel, c.check, c.list};
        order.push_back(Focus(c.window));  // the list has the focus first
        for (size_t i = 1; i < expected.size(); ++i) {
            HWND was = Focus(c.window);
            Key(was, VK_TAB);
            for (int wait = 0; wait < 200 && Focus(c.window) == was; ++wait) ::Sleep(10);
            order.push_back(Focus(c.window));
        }
        Press(c.cancel);
    });
    EXPECT_EQ(order, expected);
}

TEST_F(ProfileFormTest, AddCopiesTheSelectedProfileWholeAndAppendsItsName)
{
    MakeProfile(L"Work", L"C:\\work");
    Shown prompt;
    std::vector<std::wstring> afterFirst;
    bool deleteEnabled = true;
    bool started = Run([&](const ChooserControls& c) {
        Press(c.add);
        prompt = AnswerPrompt(kSelf, L"  Copy \t");
        Settle(c.window);
        afterFirst = ListItems(c.list);
        deleteEnabled = ::IsWindowEnabled(c.del);
        // The copy of the copy: the source is the item the user selected.
        SelectItem(c.list, 1);
        Press(c.add);
        AnswerPrompt(kSelf, L"0 first");
        Settle(c.window);
        Press(c.start);
    });
    EXPECT_TRUE(started);
    EXPECT_EQ(prompt.caption, L"プロファイルの追加");
    EXPECT_EQ(prompt.text, L"");
    for (const wchar_t* name : {L"Work", L"Copy", L"0 first"}) ExpectWholeProfile(name, L"C:\\work");
    // Appended, not sorted in and not selected; the delete button waits for a refresh.
    EXPECT_EQ(afterFirst, (std::vector<std::wstring>{L"Work", L"Copy"}));
    EXPECT_FALSE(deleteEnabled);
    EXPECT_EQ(items, (std::vector<std::wstring>{L"Work", L"Copy", L"0 first"}));
    EXPECT_EQ(selected, L"Copy");
}

TEST_F(ProfileFormTest, RefusedNamesChangeNothingAndTheFocusReturnsToTheButton)
{
    MakeProfile(L"Work", L"C:\\work");
    const std::wstring exists = L"プロファイル名は既に存在しています", invalid = L"プロファイル名が不正です";
    struct Case {
        bool rename;
        const wchar_t* typed;  // after the prompt's initial text, which typing replaces
        const std::wstring& message;
    };
    const Case cases[] = {
        {false, L"work", exists},
        {false, L"", invalid},
        {false, L"  \t ", invalid},
        // A backslash would make nested keys below Profiles.
        {false, L"New\\Sub", invalid},
        // Renaming to the same name, in any case, is refused like any existing name.
        {true, L"Work", exists},
        {true, L" WORK ", exists},
        {true, L"A\\B", invalid},
    };
    for (const Case& test : cases) {
        Shown box;
        HWND focus = nullptr, button = nullptr;
        Run([&](const ChooserControls& c) {
            button = test.rename ? c.edit : c.add;
            // The access key from the list: the button takes the focus from the keyboard.
            ::SendMessageW(c.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c.list), TRUE);
            ::PostMessageW(c.list, WM_SYSCHAR, test.rename ? L'e' : L'a', 1 << 29);
            AnswerPrompt(kSelf, test.typed);
            box = AnswerMessageBox(kSelf, IDOK);
            Settle(c.window);
            focus = Focus(c.window);
            Press(c.cancel);
        });
        EXPECT_EQ(box.caption, L"エラー") << test.typed;
        EXPECT_EQ(box.text, test.message) << test.typed;
        EXPECT_EQ(focus, button) << test.typed;
        EXPECT_EQ(items, std::vector<std::wstring>{L"Work"}) << test.typed;
        std::vector<std::wstring> keys;
        ListRegSubKeys(kProfilesKey, keys);
        EXPECT_EQ(keys, std::vector<std::wstring>{L"Work"}) << test.typed;
        ExpectWholeProfile(L"Work", L"C:\\work");
        EXPECT_FALSE(RegValueExists(kSystemKey, L"Profile")) << test.typed;
    }
}

TEST_F(ProfileFormTest, RenameMovesTheKeyAndMakesTheFirstProfileCurrent)
{
    MakeProfile(L"Work", L"C:\\work");
    MakeProfile(L"Zeta", L"C:\\zeta");
    WriteRegString(kSystemKey, L"Profile", L"Zeta");
    Shown prompt;
    int selection = -1;
    bool deleteEnabled = false;
    Run([&](const ChooserControls& c) {
        Press(c.edit);  // Zeta, the stored profile, is selected
        prompt = AnswerPrompt(kSelf, L"Alpha");
        Settle(c.window);
        selection = ListSelection(c.list);
        deleteEnabled = ::IsWindowEnabled(c.del);
        Press(c.cancel);  // the rename stays
    });
    EXPECT_EQ(prompt.caption, L"プロファイルの編集");
    EXPECT_EQ(prompt.text, L"Zeta");
    ExpectWholeProfile(L"Alpha", L"C:\\zeta");
    EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"Zeta"));
    EXPECT_EQ(items, (std::vector<std::wstring>{L"Alpha", L"Work"}));
    EXPECT_EQ(selection, 0);
    EXPECT_TRUE(deleteEnabled);
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"Alpha");
}

TEST_F(ProfileFormTest, DeleteAsksThenErasesTheProfileWithItsPresets)
{
    for (const wchar_t* name : {L"A", L"B", L"C"}) MakeProfile(name, L"C:\\pe");
    WriteRegString(kSystemKey, L"Profile", L"B");
    Shown no, yes, last;
    std::vector<std::wstring> afterNo, afterYes;
    HWND focus = nullptr, list = nullptr;
    bool deleteEnabled = true;
    Run([&](const ChooserControls& c) {
        list = c.list;
        Press(c.del);
        no = AnswerMessageBox(kSelf, IDNO);
        Settle(c.window);
        afterNo = ListItems(c.list);
        Press(c.del);
        yes = AnswerMessageBox(kSelf, IDYES);
        Settle(c.window);
        afterYes = ListItems(c.list);
        // With the keyboard on the button, the last delete leaves it disabled: the
        // focus moves on to the list.
        ::SendMessageW(c.window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c.del), TRUE);
        Key(c.del, VK_SPACE);
        last = AnswerMessageBox(kSelf, IDYES);
        Settle(c.window);
        focus = Focus(c.window);
        deleteEnabled = ::IsWindowEnabled(c.del);
        Press(c.cancel);
    });
    EXPECT_EQ(no.caption, L"確認");
    EXPECT_EQ(no.text, L"プロファイルを削除してもよろしいですか？");
    EXPECT_EQ(afterNo, (std::vector<std::wstring>{L"A", L"B", L"C"}));
    EXPECT_EQ(yes.caption, L"確認");
    EXPECT_EQ(afterYes, (std::vector<std::wstring>{L"A", L"C"}));
    EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"B"));
    EXPECT_EQ(last.caption, L"確認");
    EXPECT_EQ(items, std::vector<std::wstring>{L"C"});
    EXPECT_FALSE(RegSubKeyExists(kProfilesKey, L"A"));
    ExpectWholeProfile(L"C", L"C:\\pe");
    EXPECT_EQ(ReadRegString(kSystemKey, L"Profile", L""), L"C");
    EXPECT_FALSE(deleteEnabled);
    EXPECT_EQ(focus, list);
}

TEST_F(ProfileFormTest, WithoutProfilesThePlaceholderStandsAloneAndAddsLeaveNoKey)
{
    for (bool profilesKey : {false, true}) {
        EraseRegKey(K);
        if (profilesKey) WriteRegString(kProfilesKey, L"Stray", L"a value, no profile");
        bool deleteEnabled = true;
        bool started = Run([&](const ChooserControls& c) {
            deleteEnabled = ::IsWindowEnabled(c.del);
            Press(c.add);
            AnswerPrompt(kSelf, L"New");
            Settle(c.window);
            Press(c.start);
        });
        EXPECT_TRUE(started);
        EXPECT_FALSE(deleteEnabled);
        EXPECT_EQ(items, (std::vector<std::wstring>{L"デフォルト", L"New"}));
        EXPECT_EQ(selected, L"デフォルト");
        EXPECT_FALSE(RegSubKeyExists(K, L"Profiles") && RegSubKeyExists(kProfilesKey, L"New"));

        // Nothing stands behind the listed name: the next show has only the placeholder.
        Run([&](const ChooserControls& c) { Press(c.cancel); });
        EXPECT_EQ(items, std::vector<std::wstring>{L"デフォルト"});
    }
}

TEST_F(ProfileFormTest, APlaceholderBlankedOutByTheLanguageFileKeepsItsBuiltInName)
{
    // An empty item would be an empty profile name: the Profiles key itself.
    WriteBytes(LanguageFile, "[Strings]\r\nRS_601=\r\n");
    LoadStringTableFromLanguageFile();
    bool started = Run([](const ChooserControls& c) { Press(c.start); });
    ::DeleteFileW(LanguageFile.c_str());
    LoadStringTableFromLanguageFile();
    EXPECT_TRUE(started);
    EXPECT_EQ(items, std::vector<std::wstring>{L"デフォルト"});
    EXPECT_EQ(selected, L"デフォルト");
}

TEST_F(ProfileFormTest, AnErrorInACommandIsShownAndTheChooserStaysOpen)
{
    MakeProfile(L"Work", L"C:\\work");
    MakeProfile(L"Zeta", L"C:\\zeta");
    Shown box;
    bool stillOpen = false;
    bool started = Run([&](const ChooserControls& c) {
        // No selection (which the mouse and keys cannot make) leaves no profile to copy:
        // never the Profiles key itself.
        ::SendMessageW(c.list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        Press(c.add);
        AnswerPrompt(kSelf, L"New");
        box = AnswerMessageBox(kSelf, IDOK);
        Settle(c.window);
        stillOpen = ::IsWindowVisible(c.window);
        SelectItem(c.list, 1);
        Press(c.start);
    });
    EXPECT_EQ(box.caption, L"エラー");
    EXPECT_EQ(box.text, L"No profile is selected.");
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(started);
    EXPECT_EQ(selected, L"Zeta");
    std::vector<std::wstring> keys;
    ListRegSubKeys(kProfilesKey, keys);
    EXPECT_EQ(keys.size(), 2u);
    ExpectWholeProfile(L"Work", L"C:\\work");
}

TEST_F(ProfileFormTest, TheLanguageFileSetsCaptionsAndFontsButNotTheSize)
{
    WriteRegString(Profile(L"A"), L"PEBuilder", L"");
    std::vector<std::wstring> texts;
    LOGFONTW listFont{}, formFont{};
    RECT client{};
    auto look = [&] {
        texts.clear();
        Run([&](const ChooserControls& c) {
            for (HWND w : {c.window, ::GetParent(c.list), c.add, c.edit, c.del, c.check, c.start, c.cancel})
                texts.push_back(WindowText(w));
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(c.list, WM_GETFONT, 0, 0)), sizeof listFont, &listFont);
            ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(c.add, WM_GETFONT, 0, 0)), sizeof formFont, &formFont);
            ::GetClientRect(c.window, &client);
            Key(c.list, VK_ESCAPE);
        });
    };

    // Without a file: the designed captions, and the list in its fixed-pitch face.
    look();
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"プロファイルの選択 ", L"プロファイル", L"追加(&A)", L"編集(&E)",
                                                L"削除(&D)", L"起動時に表示しない", L"起動(&S)", L"キャンセル"}));
    EXPECT_STREQ(listFont.lfFaceName, L"ＭＳ ゴシック");
    EXPECT_STREQ(formFont.lfFaceName, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(listFont.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(listFont.lfHeight, formFont.lfHeight);

    WriteBytes(LanguageFile, Ansi(L"[Font01]\r\nName=Tahoma\r\nSize=14\r\n"
                                  L"[Form06]\r\nRS_001=Choose a profile\r\nRS_002=Profiles\r\nRS_003=&Add\r\n"
                                  L"RS_004=&Edit\r\nRS_005=&Delete\r\nRS_006=Do not show at start\r\n"
                                  L"RS_007=&Start\r\n"));
    look();
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Choose a profile", L"Profiles", L"&Add", L"&Edit", L"&Delete",
                                                L"Do not show at start", L"&Start", L""}));  // RS_009 missing
    EXPECT_STREQ(listFont.lfFaceName, L"Tahoma");
    EXPECT_STREQ(formFont.lfFaceName, L"Tahoma");
    EXPECT_EQ(listFont.lfHeight, formFont.lfHeight);  // both 14 points
    EXPECT_EQ(client.right, 340);
    EXPECT_EQ(client.bottom, 178);
}
