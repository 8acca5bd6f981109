// The text prompt as a real modal dialog, answered by messages from another thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ui/InputDialog.h"
#include "core/Language.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowMade.h"

namespace {

constexpr const wchar_t* kTitle = L"プロファイルの追加";

// What the driver saw of the dialog while it was showing.
struct Seen {
    std::wstring title, okCaption, cancelCaption, editText, face;
    LONG style = 0, okStyle = 0;
    DWORD selection = 0;
    LRESULT limit = 0;
    SIZE unit{};
    RECT client{}, window{}, label{}, edit{}, ok{}, cancel{};
    HWND owner = nullptr;
};

Seen Look(HWND dialog)
{
    Seen seen;
    seen.title = WindowText(dialog);
    seen.style = ::GetWindowLongW(dialog, GWL_STYLE);
    ::GetClientRect(dialog, &seen.client);
    ::GetWindowRect(dialog, &seen.window);
    seen.owner = ::GetWindow(dialog, GW_OWNER);
    HWND edit = ::GetNextDlgTabItem(dialog, nullptr, FALSE);
    HWND ok = ::GetDlgItem(dialog, IDOK), cancel = ::GetDlgItem(dialog, IDCANCEL);
    HWND label = ::GetWindow(dialog, GW_CHILD);  // made first
    seen.label = ChildRect(label);
    seen.edit = ChildRect(edit);
    seen.ok = ChildRect(ok);
    seen.cancel = ChildRect(cancel);
    seen.editText = WindowText(edit);
    seen.okCaption = WindowText(ok);
    seen.cancelCaption = WindowText(cancel);
    seen.okStyle = ::GetWindowLongW(ok, GWL_STYLE);
    seen.selection = static_cast<DWORD>(::SendMessageW(edit, EM_GETSEL, 0, 0));
    seen.limit = ::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);

    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(ok, WM_GETFONT, 0, 0));
    LOGFONTW logFont{};
    ::GetObjectW(font, sizeof logFont, &logFont);
    seen.face = logFont.lfFaceName;
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    seen.unit = AverageCharSize(dc);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return seen;
}

HWND EditOf(HWND dialog) { return ::GetNextDlgTabItem(dialog, nullptr, FALSE); }

void Click(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Key(HWND dialog, WPARAM key)
{
    ::PostMessageW(EditOf(dialog), WM_KEYDOWN, key, 1);
    ::PostMessageW(EditOf(dialog), WM_KEYUP, key, 0xC0000001);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

class InputTextDialogTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguageFile(scratch_ / L"Kitwright.rsl"); }  // none yet
    void TearDown() override { SetLanguageFile(L""); }

    // Shows the prompt while the driver does action; returns the dialog's answer.
    bool Ask(std::wstring& value, std::function<void(HWND)> action, const std::wstring& prompt = L"名前:")
    {
        DialogDriver driver(L"KitwrightInputText", kTitle, std::move(action));
        bool answer = InputTextDialog(kTitle, prompt, value);
        EXPECT_TRUE(driver.Acted());
        return answer;
    }

    // Shows the prompt, looks at it and cancels it.
    Seen LookAndCancel(const std::wstring& prompt = L"名前:")
    {
        std::wstring value = L"x";
        Seen seen;
        Ask(
            value,
            [&](HWND dialog) {
                seen = Look(dialog);
                Click(dialog, IDCANCEL);
            },
            prompt);
        return seen;
    }

    // The numbers the layout is made of, checked against the real window.
    static void ExpectLayout(const Seen& seen)
    {
        const int cx = seen.unit.cx, cy = seen.unit.cy;
        ASSERT_GT(cx, 0);
        EXPECT_EQ(Width(seen.client), ::MulDiv(180, cx, 4));
        EXPECT_EQ(seen.label.left, ::MulDiv(8, cx, 4));
        EXPECT_EQ(seen.label.top, ::MulDiv(8, cy, 8));
        EXPECT_LE(Width(seen.label), ::MulDiv(164, cx, 4));
        EXPECT_EQ(seen.edit.left, seen.label.left);
        EXPECT_EQ(seen.edit.top, seen.label.bottom + 5);
        EXPECT_EQ(Width(seen.edit), ::MulDiv(164, cx, 4));
        for (const RECT& button : {seen.ok, seen.cancel}) {
            EXPECT_EQ(button.top, seen.edit.bottom + 15);
            EXPECT_EQ(Width(button), ::MulDiv(50, cx, 4));
            EXPECT_EQ(Height(button), ::MulDiv(14, cy, 8));
        }
        EXPECT_EQ(seen.ok.left, ::MulDiv(38, cx, 4));
        EXPECT_EQ(seen.cancel.left, ::MulDiv(92, cx, 4));
        EXPECT_EQ(Height(seen.client), seen.cancel.bottom + 13);
        // Centred on the screen, with a fixed dialog border.
        EXPECT_EQ(seen.window.left, (::GetSystemMetrics(SM_CXSCREEN) - Width(seen.window)) / 2);
        EXPECT_EQ(seen.window.top, (::GetSystemMetrics(SM_CYSCREEN) - Height(seen.window)) / 2);
        EXPECT_TRUE(seen.style & DS_MODALFRAME);
        EXPECT_FALSE(seen.style & WS_THICKFRAME);
        EXPECT_TRUE(seen.style & WS_SYSMENU);
    }

    ScratchFolder scratch_;
};

}  // namespace

TEST_F(InputTextDialogTest, OkReturnsTheEditedTextAsTyped)
{
    std::wstring value = L"デフォルト";
    Seen seen;
    bool answer = Ask(value, [&](HWND dialog) {
        seen = Look(dialog);
        ::SendMessageW(EditOf(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"  新しい名前 "));
        Click(dialog, IDOK);
    });
    EXPECT_TRUE(answer);
    EXPECT_EQ(value, L"  新しい名前 ");  // callers trim
    EXPECT_EQ(seen.title, kTitle);
    EXPECT_EQ(seen.editText, L"デフォルト");
    EXPECT_EQ(seen.selection, MAKELONG(0, 5));  // all selected
    EXPECT_EQ(seen.limit, 255);
}

TEST_F(InputTextDialogTest, EnterPressesTheDefaultButton)
{
    std::wstring value = L"old";
    Seen seen;
    bool answer = Ask(value, [&](HWND dialog) {
        seen = Look(dialog);
        ::SendMessageW(EditOf(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"new"));
        Key(dialog, VK_RETURN);
    });
    EXPECT_TRUE(answer);
    EXPECT_EQ(value, L"new");
    EXPECT_TRUE((seen.okStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
}

TEST_F(InputTextDialogTest, EscCancelAndTheCloseBoxLeaveTheValueAlone)
{
    const std::vector<std::function<void(HWND)>> answers = {
        [](HWND dialog) { Key(dialog, VK_ESCAPE); },
        [](HWND dialog) { Click(dialog, IDCANCEL); },
        [](HWND dialog) { ::PostMessageW(dialog, WM_CLOSE, 0, 0); },
        [](HWND dialog) { ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (size_t i = 0; i < answers.size(); ++i) {
        std::wstring value = L"old";
        bool answer = Ask(value, [&](HWND dialog) {
            ::SendMessageW(EditOf(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
            answers[i](dialog);
        });
        EXPECT_FALSE(answer) << "answer " << i;
        EXPECT_EQ(value, L"old") << "answer " << i;
    }
}

TEST_F(InputTextDialogTest, WithoutALanguageFileUsesTheBuiltInFontAndCaptions)
{
    Seen seen = LookAndCancel();
    EXPECT_EQ(seen.okCaption, L"OK");
    EXPECT_EQ(seen.cancelCaption, L"キャンセル");
    EXPECT_EQ(seen.face, L"ＭＳ Ｐゴシック");
    ExpectLayout(seen);
}

TEST_F(InputTextDialogTest, TheLanguageFileSetsFontAndButtons)
{
    Seen small = LookAndCancel();
    WriteBytes(LanguageFile, Ansi(L"[Font01]\r\nName=ＭＳ ゴシック\r\nSize=18\r\n"
                                  L"[Form06]\r\nRS_008=はい\r\nRS_009=Cancel\r\n"));
    Seen large = LookAndCancel();
    EXPECT_EQ(large.okCaption, L"はい");
    EXPECT_EQ(large.cancelCaption, L"Cancel");
    EXPECT_EQ(large.face, L"ＭＳ ゴシック");
    EXPECT_GT(large.unit.cy, small.unit.cy);
    EXPECT_GT(Width(large.client), Width(small.client));
    ExpectLayout(large);
}

TEST_F(InputTextDialogTest, AnEmptyButtonKeyGivesAnEmptyCaption)
{
    // A missing key gives the default caption, a key present but empty an empty one.
    WriteBytes(LanguageFile, Ansi(L"[Form06]\r\nRS_008=\r\n"));
    Seen seen = LookAndCancel();
    EXPECT_EQ(seen.okCaption, L"");
    EXPECT_EQ(seen.cancelCaption, L"キャンセル");
}

TEST_F(InputTextDialogTest, ALongPromptWrapsAndPushesTheEditDown)
{
    std::wstring prompt;
    for (int i = 0; i < 12; ++i) prompt += L"新しいプロファイル名を入力して下さい ";
    Seen oneLine = LookAndCancel();
    Seen wrapped = LookAndCancel(prompt);
    EXPECT_GE(Height(wrapped.label), 2 * Height(oneLine.label));
    EXPECT_EQ(Width(wrapped.client), Width(oneLine.client));
    ExpectLayout(wrapped);
    ExpectLayout(oneLine);
}

TEST_F(InputTextDialogTest, IsOwnedByTheActiveWindow)
{
    HWND main = ::CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_TRUE(WindowMade(main));
    ::SetActiveWindow(main);
    ASSERT_EQ(::GetActiveWindow(), main);
    std::wstring value;
    Seen seen;
    bool enabledMeanwhile = true;
    Ask(value, [&](HWND dialog) {
        seen = Look(dialog);
        enabledMeanwhile = ::IsWindowEnabled(main);
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(seen.owner, main);
    EXPECT_FALSE(enabledMeanwhile);  // modal to it
    EXPECT_TRUE(::IsWindowEnabled(main));
    ::DestroyWindow(main);
}

TEST(AverageCharSize, IsTheWidthOfTheLettersOverFiftyTwoAndTheirHeight)
{
    HDC dc = ::GetDC(nullptr);
    for (int height : {-12, -16, -23}) {
        HFONT font =
            ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
        HGDIOBJ old = ::SelectObject(dc, font);
        SIZE letters{};
        ::GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
        SIZE unit = AverageCharSize(dc);
        EXPECT_EQ(unit.cx, letters.cx / 52);
        EXPECT_EQ(unit.cy, letters.cy);
        EXPECT_LE(unit.cx * 52, letters.cx);  // the remainder is dropped
        EXPECT_GT((unit.cx + 1) * 52, letters.cx);
        ::SelectObject(dc, old);
        ::DeleteObject(font);
    }
    ::ReleaseDC(nullptr, dc);
}
