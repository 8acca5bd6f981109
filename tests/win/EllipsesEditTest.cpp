// The path edit in real windows: when its button shows, where text may run, Enter,
// first-letter capitals, its height, clicks on the button and the button's face.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "controls/EllipsEd.h"
#include "core/Handles.h"
#include "tests/support/RealInput.h"

namespace {

class Form : public Window {
public:
    Form()
    {
        static const WindowClass kClass{L"KwEllipsesTestForm", nullptr, 0, IDC_ARROW,
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
        Create(kClass, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"Form", 10, 10, 500, 300, nullptr, 0);
    }
};

struct Selection {
    DWORD start = 0, end = 0;
    bool operator==(const Selection&) const = default;
};

Selection SelectionOf(HWND edit)
{
    Selection s;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s.start), reinterpret_cast<LPARAM>(&s.end));
    return s;
}

// The button's place in the edit's client coordinates.
RECT ButtonBox(const TEllipsesEdit& edit)
{
    RECT r{};
    ::GetWindowRect(edit.Button().Handle(), &r);
    ::MapWindowPoints(nullptr, edit.Handle(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int ButtonWidth(const TEllipsesEdit& edit) { return ButtonBox(edit).right - ButtonBox(edit).left; }

RECT TextArea(const TEllipsesEdit& edit)
{
    RECT r{};
    ::SendMessageW(edit.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r;
}

int OuterHeight(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.bottom - r.top;
}

void Type(HWND edit, const wchar_t* text)
{
    for (; *text; ++text) ::SendMessageW(edit, WM_CHAR, *text, 1);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

class EllipsesEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // 12 pixels of character height, the height of the program's 9-point font.
        font.Reset(::CreateFontW(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
        other.CreateEdit(form.Handle(), 99, 10, 200, 200, 21);
    }

    void Make(TEllipsesEdit& edit, TEditStyle style, int y = 10, int height = 21)
    {
        edit.SetEditStyle(style);
        edit.CreateEdit(form.Handle(), 1, 10, y, 300, height);
        ::SendMessageW(edit.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
    }

    Form form;
    FontHandle font;
    TEllipsesEdit other;  // somewhere for the focus to go
};

}  // namespace

TEST_F(EllipsesEditTest, ButtonShowsByStyleAndFocus)
{
    TEllipsesEdit normal, ellipses, always;
    Make(normal, esNormal, 10);
    Make(ellipses, esEllipses, 40);
    Make(always, esAlwaysEllipses, 70);
    const int b = ::GetSystemMetrics(SM_CXHSCROLL);

    EXPECT_EQ(ButtonWidth(normal), 0);
    EXPECT_EQ(ButtonWidth(ellipses), 0);
    EXPECT_EQ(ButtonWidth(always), b + 1);

    for (TEllipsesEdit* focused : {&normal, &ellipses, &always}) {
        ::SetFocus(focused->Handle());
        ASSERT_EQ(::GetFocus(), focused->Handle());
        EXPECT_EQ(ButtonWidth(normal), 0);
        EXPECT_EQ(ButtonWidth(ellipses), focused == &ellipses ? b + 1 : 0);
        EXPECT_EQ(ButtonWidth(always), b + 1);
    }
    ::SetFocus(other.Handle());
    EXPECT_EQ(ButtonWidth(ellipses), 0);
    EXPECT_FALSE(::GetWindowLongW(normal.Handle(), GWL_STYLE) & ES_MULTILINE);
    EXPECT_TRUE(::GetWindowLongW(always.Handle(), GWL_STYLE) & ES_MULTILINE);
}

TEST_F(EllipsesEditTest, TextNeverRunsUnderTheButtonWhateverTheBorder)
{
    TEllipsesEdit edit;
    Make(edit, esAlwaysEllipses);
    edit.SetText(std::wstring(200, L'W'));
    ::SendMessageW(edit.Handle(), EM_SETSEL, 200, 200);  // scrolled to the end
    const int b = ::GetSystemMetrics(SM_CXHSCROLL);

    struct Case {
        TBorderStyle border;
        bool ctl3D;
        int left, top, width, heightLess;  // left and width as offsets from W and B
    };
    for (Case c : {Case{bsSingle, true, -b - 5, 0, b + 1, 4}, Case{bsSingle, false, -b - 3, 1, b + 3, 1},
                   Case{bsNone, true, -b, 0, b, 0}}) {
        SCOPED_TRACE(c.border == bsNone ? "no border" : c.ctl3D ? "3-D border" : "flat border");
        edit.SetBorderStyle(c.border);
        edit.SetCtl3D(c.ctl3D);
        RECT outer{}, client{};
        ::GetWindowRect(edit.Handle(), &outer);
        ::GetClientRect(edit.Handle(), &client);
        const int w = outer.right - outer.left, h = outer.bottom - outer.top;
        RECT button = ButtonBox(edit);
        // The edit's client area starts inside the border; the bounds count from there.
        EXPECT_EQ(button.left, w + c.left);
        EXPECT_EQ(button.top, c.top);
        EXPECT_EQ(button.right - button.left, c.width);
        EXPECT_EQ(button.bottom - button.top, h - c.heightLess);
        EXPECT_EQ(TextArea(edit).right, button.left - 2);
        EXPECT_EQ(TextArea(edit).left, 0);
        EXPECT_EQ(edit.Text(), std::wstring(200, L'W'));  // recreated with its text
    }

    edit.SetEditStyle(esEllipses);  // hidden button: the text may go to the border
    RECT client{};
    ::GetClientRect(edit.Handle(), &client);
    EXPECT_EQ(TextArea(edit).right, client.right - 2);
}

TEST_F(EllipsesEditTest, EnterLeavesTheTextWholeAndSelected)
{
    TEllipsesEdit edit;
    Make(edit, esAlwaysEllipses);
    edit.SetText(L"C:\\Tools");
    ::SetFocus(edit.Handle());
    ::SendMessageW(edit.Handle(), EM_SETSEL, 3, 3);

    ::SendMessageW(edit.Handle(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(edit.PendingText(), L"C:\\Tools");
    // What a multi-line window would make of the key, were it let through.
    ::SendMessageW(edit.Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r\n"));
    ::SendMessageW(edit.Handle(), WM_CHAR, L'\r', 1);
    ::UpdateWindow(edit.Handle());

    EXPECT_EQ(edit.Text(), L"C:\\Tools");
    EXPECT_EQ(SelectionOf(edit.Handle()), (Selection{0, 8}));
    EXPECT_EQ(edit.PendingText(), L"");

    // Ctrl+A selects all; a pasted second line stays on the clipboard.
    ::SendMessageW(edit.Handle(), EM_SETSEL, 8, 8);
    ::SendMessageW(edit.Handle(), WM_CHAR, 1, 1);
    EXPECT_EQ(SelectionOf(edit.Handle()), (Selection{0, 8}));
    ASSERT_TRUE(::OpenClipboard(form.Handle()));
    ::EmptyClipboard();
    const wchar_t pasted[] = L"D:\\Src\r\nsecond";
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
    memcpy(::GlobalLock(data), pasted, sizeof pasted);
    ::GlobalUnlock(data);
    ::SetClipboardData(CF_UNICODETEXT, data);
    ::CloseClipboard();
    ::SendMessageW(edit.Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit.Text(), L"D:\\Src");
}

TEST_F(EllipsesEditTest, FirstCharUpperWhenTypingLeavingAndSwitchedOn)
{
    TEllipsesEdit edit;
    Make(edit, esEllipses);
    edit.SetFirstCharUpper(true);
    ::SetFocus(edit.Handle());

    Type(edit.Handle(), L"abc");
    EXPECT_EQ(edit.Text(), L"Abc");
    ::SendMessageW(edit.Handle(), EM_SETSEL, 0, -1);
    Type(edit.Handle(), L"x");
    EXPECT_EQ(edit.Text(), L"X");
    ::SendMessageW(edit.Handle(), EM_SETSEL, 0, 0);  // caret at 0, nothing selected
    Type(edit.Handle(), L"y");
    EXPECT_EQ(edit.Text(), L"yX");
    edit.SetText(L"");
    Type(edit.Handle(), L"\u00e9t");
    EXPECT_EQ(edit.Text(), L"\u00e9t");

    edit.SetText(L"tools");
    ::SetFocus(other.Handle());
    EXPECT_EQ(edit.Text(), L"Tools");
    edit.SetText(L"\u00fcber");
    ::SetFocus(edit.Handle());
    ::SetFocus(other.Handle());
    EXPECT_EQ(edit.Text(), L"\u00fcber");

    edit.SetFirstCharUpper(false);
    edit.SetText(L"path");
    ::SetFocus(edit.Handle());
    ::SetFocus(other.Handle());
    EXPECT_EQ(edit.Text(), L"path");
    edit.SetFirstCharUpper(true);  // at once, without leaving
    EXPECT_EQ(edit.Text(), L"Path");
}

TEST_F(EllipsesEditTest, KeepsItsPreferredHeightWhateverWasAsked)
{
    ScreenContext screen;
    TEXTMETRICW metrics{};
    {
        SelectObjectScope selected(screen.Get(), font.Get());
        ::GetTextMetricsW(screen.Get(), &metrics);
    }
    ASSERT_EQ(metrics.tmHeight, 12);
    TEXTMETRICW system{};
    {
        SelectObjectScope selected(screen.Get(), ::GetStockObject(SYSTEM_FONT));
        ::GetTextMetricsW(screen.Get(), &system);
    }
    ASSERT_GE(system.tmHeight, 12);
    ASSERT_EQ(::GetSystemMetrics(SM_CYBORDER), 1);

    TEllipsesEdit edit;
    Make(edit, esAlwaysEllipses, 10, 57);
    EXPECT_EQ(edit.PreferredHeight(), 20);
    EXPECT_EQ(OuterHeight(edit.Handle()), 20);
    ::SetWindowPos(edit.Handle(), nullptr, 0, 0, 300, 35, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(OuterHeight(edit.Handle()), 20);
    edit.SetCtl3D(false);
    EXPECT_EQ(OuterHeight(edit.Handle()), 18);
    edit.SetBorderStyle(bsNone);
    EXPECT_EQ(OuterHeight(edit.Handle()), 12);
}

TEST_F(EllipsesEditTest, ClickOnTheButtonRaisesTheEventOnce)
{
    TEllipsesEdit edit;
    Make(edit, esAlwaysEllipses);
    int clicks = 0;
    bool drawnReleased = false;
    edit.OnButtonClick = [&](TEllipsesEdit& sender) {
        ++clicks;
        drawnReleased = &sender == &edit && !sender.Button().Pressed;
    };
    HWND button = edit.Button().Handle();

    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    EXPECT_TRUE(edit.Button().Pressed);
    EXPECT_EQ(::GetCapture(), button);
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(drawnReleased);
    EXPECT_NE(::GetCapture(), button);

    // Released away from the button: no click. A release without a press: none either.
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(-30, 4));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(edit.Button().Pressed);
    // Keys never press it.
    ::SetFocus(edit.Handle());
    ::SendMessageW(edit.Handle(), WM_KEYDOWN, VK_SPACE, 1);
    ::SendMessageW(edit.Handle(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(clicks, 1);

    // The real mouse, through the system's input queue: press and release carry the
    // point themselves, so they cannot land where the pointer was before. On a loaded
    // machine the X server may take seconds to hand them back.
    ::SetForegroundWindow(form.Handle());
    RECT box{};
    ::GetWindowRect(button, &box);
    const POINT middle{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    Mouse(middle, MOUSEEVENTF_LEFTDOWN);
    Mouse(middle, MOUSEEVENTF_LEFTUP);
    for (int i = 0; i < 1000 && clicks == 1; ++i) {
        Pump();
        ::Sleep(10);
    }
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(::GetFocus(), edit.Handle());  // the button took no focus

    edit.OnButtonClick = nullptr;
    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_FALSE(edit.Button().Pressed);
    EXPECT_TRUE(::IsWindow(edit.Handle()));
    Pump();
}

TEST_F(EllipsesEditTest, ButtonFaceDotsAndWhiteBackground)
{
    TEllipsesEdit edit;
    Make(edit, esAlwaysEllipses);
    HWND button = edit.Button().Handle();
    RECT r{};
    ::GetClientRect(button, &r);
    ScreenContext screen;
    std::unique_ptr<HDC__, decltype(&::DeleteDC)> memory(::CreateCompatibleDC(screen.Get()), &::DeleteDC);
    HDC dc = memory.get();
    GdiObject bitmap(::CreateCompatibleBitmap(screen.Get(), r.right, r.bottom));
    SelectObjectScope selected(dc, bitmap.Get());

    const int q = r.right / 4, y = r.bottom / 2;
    const COLORREF black = RGB(0, 0, 0), face = ::GetSysColor(COLOR_BTNFACE);
    ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    for (int x : {q + 1, 2 * q + 1, 3 * q + 1}) EXPECT_EQ(::GetPixel(dc, x, y), black) << x;
    EXPECT_NE(::GetPixel(dc, q + 3, y), black);  // between the dots: the face, themed or not
    EXPECT_EQ(::GetPixel(dc, 0, 0), face);
    EXPECT_EQ(::GetPixel(dc, 1, 1), RGB(255, 255, 255));

    ::SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(::GetPixel(dc, 0, 0), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(::GetPixel(dc, 1, 1), face);
    EXPECT_EQ(::GetPixel(dc, 2 * q + 1, y), black);
    ::SendMessageW(button, WM_CAPTURECHANGED, 0, 0);
    EXPECT_FALSE(edit.Button().Pressed);

    // The edit asks its parent for its colours and gets white, as the control chose.
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(form.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), (LPARAM)edit.Handle()));
    LOGBRUSH described{};
    ASSERT_TRUE(::GetObjectW(brush, sizeof described, &described));
    EXPECT_EQ(described.lbColor, RGB(255, 255, 255));
    EXPECT_EQ(::GetBkColor(dc), RGB(255, 255, 255));
}

TEST_F(EllipsesEditTest, PaintsOnlyItselfAndPastesOneFieldOfOneLine)
{
    TEllipsesEdit edit;
    Make(edit, esAlwaysEllipses);
    // The system edit's CS_PARENTDC would let the edit paint through its parent's DC,
    // over its own button, in a parent without WS_CLIPCHILDREN (this form).
    EXPECT_FALSE(::GetWindowLongW(form.Handle(), GWL_STYLE) & WS_CLIPCHILDREN);
    EXPECT_FALSE(::GetClassLongW(edit.Handle(), GCL_STYLE) & CS_PARENTDC);

    auto paste = [&](const wchar_t* clip) {
        ASSERT_TRUE(::OpenClipboard(form.Handle()));
        ::EmptyClipboard();
        const size_t bytes = (wcslen(clip) + 1) * sizeof(wchar_t);
        HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        memcpy(::GlobalLock(data), clip, bytes);
        ::GlobalUnlock(data);
        ::SetClipboardData(CF_UNICODETEXT, data);
        ::CloseClipboard();
        edit.SetText(L"");
        ::SendMessageW(edit.Handle(), WM_PASTE, 0, 0);
    };
    paste(L"C:\\Tools\t12 KB\r\nD:\\Other");  // a row copied from a table
    EXPECT_EQ(edit.Text(), L"C:\\Tools");
    paste(L"C:\\Program Files\\Kit\nnext");
    EXPECT_EQ(edit.Text(), L"C:\\Program Files\\Kit");
}
