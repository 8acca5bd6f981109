// The about box as a real window: its size, its texts with and without a language
// file, and its web address, opened by a recorder registered as the browser.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/Files.h"
#include "core/Language.h"
#include "core/Text.h"
#include "dialogs/about1.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/RecordedStarts.h"
#include "tests/support/ScratchLanguageFile.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowMade.h"

namespace {

std::wstring Text(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

struct Seen {
    std::wstring caption, version, address;
    SIZE client{};
    bool icon = false;
};

// Shows the about box over a plain owner window; the driver reads what it shows, does
// what the test wants, and presses OK.
Seen ShowAbout(std::function<void(TAboutBox&, HWND)> meanwhile = {})
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 400,
                                   nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(WindowMade(owner));
    Seen seen;
    TAboutBox* box = nullptr;
    DialogDriver driver(L"TAboutBox", L"", [&](HWND window) {
        RECT client;
        ::GetClientRect(window, &client);
        seen.client = {client.right, client.bottom};
        seen.caption = Text(window);
        seen.version = Text(box->lblVer);
        seen.address = Text(box->lblURL);
        seen.icon = ::SendMessageW(box->ProgramIcon, STM_GETICON, 0, 0) != 0;
        if (meanwhile) meanwhile(*box, window);
        ::PostMessageW(box->OKBtn, BM_CLICK, 0, 0);
    });
    TAboutBox about;
    box = &about;
    about.CreateHandle(owner);
    about.SetProgramIcon(::LoadIconW(nullptr, IDI_APPLICATION));
    EXPECT_EQ(about.ShowModal(owner), mrOk);
    EXPECT_TRUE(driver.Acted());
    ::DestroyWindow(owner);
    return seen;
}

// Makes the recorder the machine's browser for https addresses while it lives. Wine's
// shell reads the schemes of the machine only, not the user's own classes.
class BrowserRecorder {
public:
    BrowserRecorder()
    {
        wchar_t old[1024] = L"";
        DWORD size = sizeof old;
        if (::RegGetValueW(HKEY_LOCAL_MACHINE, kCommand, nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS)
            old_ = old;
        Set(L"\"" + ExtractFileDir(BinFolder()) + L"\\recorder.exe\" \"%1\"");
    }
    ~BrowserRecorder() { Set(old_); }

private:
    static void Set(const std::wstring& command)
    {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kCommand, nullptr, REG_SZ, command.c_str(),
                          static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    static constexpr const wchar_t* kCommand = L"Software\\Classes\\https\\shell\\open\\command";
    std::wstring old_;
};

class AboutBox : public ::testing::Test {
protected:
    ScratchLanguageFile language;
};

}  // namespace

TEST_F(AboutBox, OpensAtItsFittedSizeWithItsTexts)
{
    Seen seen = ShowAbout();
    EXPECT_EQ(seen.client.cx, 256);
    EXPECT_EQ(seen.client.cy, 150);
    EXPECT_EQ(seen.caption, L"バージョン情報");
    EXPECT_EQ(seen.version, L"version 1.00 beta 38");
    EXPECT_EQ(seen.address, kKitwrightWebAddress);
    EXPECT_TRUE(seen.icon);
}

TEST_F(AboutBox, TheLanguageFileGivesTheCaptionOrLeavesItEmpty)
{
    WriteBytes(LanguageFile, "[Form03]\r\nRS_001=About Kitwright\r\n");
    EXPECT_EQ(ShowAbout().caption, L"About Kitwright");
    WriteBytes(LanguageFile, "[Form03]\r\nRS_002=not the caption\r\n[Font01]\r\nName=Tahoma\r\nSize=11\r\n");
    Seen seen = ShowAbout();
    EXPECT_EQ(seen.caption, L"");
    // A larger font does not change the fitted size, nor the texts that are not localised.
    EXPECT_EQ(seen.client.cx, 256);
    EXPECT_EQ(seen.client.cy, 150);
    EXPECT_EQ(seen.version, L"version 1.00 beta 38");
}

TEST_F(AboutBox, ClickingTheAddressOpensItAndLeavesTheBoxOpen)
{
    BrowserRecorder browser;
    RecordedStarts starts;
    std::vector<RecordedStart> now;
    bool openAfterClick = false;
    ShowAbout([&](TAboutBox& box, HWND window) {
        ::PostMessageW(box.lblURL, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        ::PostMessageW(box.lblURL, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        now = starts.WaitFor(1);  // the browser has been started: the click is over
        openAfterClick = ::IsWindowVisible(window);
    });
    EXPECT_TRUE(openAfterClick);
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0], (RecordedStart{L"recorder.exe", L"\"" + std::wstring(kKitwrightWebAddress) + L"\""}));
}

TEST(KitwrightA1Click, ShowsTheBoxWithTheProgramsIconUntilOK)
{
    bool icon = false;
    DialogDriver driver(L"TAboutBox", L"", [&](HWND window) {
        HWND panel = ::GetWindow(window, GW_CHILD);
        for (HWND child = ::GetWindow(panel, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            if (::SendMessageW(child, STM_GETICON, 0, 0)) icon = true;
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);  // Enter
    });
    KitwrightA1Click(nullptr);
    EXPECT_TRUE(driver.Acted());
    EXPECT_TRUE(icon);
}

TEST_F(AboutBox, TheVersionIsGreenAndTheAddressALink)
{
    COLORREF version = 0, address = 0;
    LOGFONTW addressFont{};
    LRESULT handCursor = 0;
    ShowAbout([&](TAboutBox& box, HWND window) {
        HDC dc = ::CreateCompatibleDC(nullptr);
        ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box.lblVer));
        version = ::GetTextColor(dc);
        ::SendMessageW(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box.lblURL));
        address = ::GetTextColor(dc);
        ::DeleteDC(dc);
        auto font = reinterpret_cast<HFONT>(::SendMessageW(box.lblURL, WM_GETFONT, 0, 0));
        ::GetObjectW(font, sizeof addressFont, &addressFont);
        handCursor = ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(box.lblURL),
                                    MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    });
    EXPECT_EQ(version, RGB(0, 128, 0));
    EXPECT_EQ(address, RGB(0, 0, 255));
    EXPECT_TRUE(addressFont.lfUnderline);
    EXPECT_EQ(handCursor, TRUE);
}
