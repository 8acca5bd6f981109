// The fonts and captions a real window takes from the language file on its first show.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Language.h"
#include "tests/support/ScratchLanguageFile.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowMade.h"

namespace {

// A window that keeps the font it is given, as the program's windows do.
LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFONT) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, static_cast<LONG_PTR>(wParam));
        return 0;
    }
    if (message == WM_GETFONT) return ::GetWindowLongPtrW(window, GWLP_USERDATA);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window with a button, a label and a list box, all captioned "Design" and without a
// font of their own.
struct TestWindow {
    TestWindow()
    {
        static const ATOM windowClass = [] {
            WNDCLASSW form{};
            form.lpfnWndProc = FormProc;
            form.hInstance = ::GetModuleHandleW(nullptr);
            form.lpszClassName = L"KwTestForm";
            return ::RegisterClassW(&form);
        }();
        window = ::CreateWindowExW(0, MAKEINTATOM(windowClass), L"Design", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_TRUE(WindowMade(window));
        button = Child(L"BUTTON", 1);
        label = Child(L"STATIC", 2);
        list = Child(L"LISTBOX", 3);
    }
    ~TestWindow() { ::DestroyWindow(window); }

    HWND Child(const wchar_t* windowClass, int id)
    {
        HWND child = ::CreateWindowExW(0, windowClass, L"Design", WS_CHILD | WS_VISIBLE, 0, id * 20, 80, 20, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        EXPECT_TRUE(WindowMade(child));
        return child;
    }

    HWND window, button, label, list;
};

std::wstring Caption(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)); }

LOGFONTW Describe(HFONT font)
{
    LOGFONTW description{};
    EXPECT_EQ(::GetObjectW(font, sizeof description, &description), static_cast<int>(sizeof description));
    return description;
}

// The height Windows gives a font of this many points on the screen.
LONG HeightOfPoints(int points)
{
    HDC screen = ::GetDC(nullptr);
    int pixelsPerInch = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return -::MulDiv(points, pixelsPerInch, 72);
}

class LanguageWindowTest : public ::testing::Test {
protected:
    ScratchLanguageFile language;
};

}  // namespace

TEST_F(LanguageWindowTest, FontSpecsTakeTheirCharacterSetFromAKeyOfItsOwn)
{
    FontSpec none = ReadFontSpec(L"Font01", L"ＭＳ Ｐゴシック", 9);  // no file
    EXPECT_EQ(none.name, L"ＭＳ Ｐゴシック");
    EXPECT_EQ(none.size, 9);
    EXPECT_EQ(none.charset, 128);

    WriteBytes(LanguageFile,
               "[Font01]\r\nName=Arial\r\nSize=11\r\n[Font02]\r\nCharset=0\r\n[Font03]\r\nCharset=300\r\n");
    FontSpec sized = ReadFontSpec(L"Font01", L"x", 9);
    EXPECT_EQ(sized.name, L"Arial");
    EXPECT_EQ(sized.size, 11);
    EXPECT_EQ(sized.charset, 128);  // not the size
    EXPECT_EQ(ReadFontSpec(L"Font02", L"x", 10).charset, 0);
    EXPECT_EQ(ReadFontSpec(L"Font03", L"x", 10).charset, 128);  // no character set

    FontHandle font = CreateFontFromSpec(sized);
    LOGFONTW made = Describe(font.Get());
    EXPECT_EQ(made.lfHeight, HeightOfPoints(11));
    EXPECT_STREQ(made.lfFaceName, L"Arial");
    EXPECT_EQ(made.lfCharSet, 128);
}

TEST_F(LanguageWindowTest, TheFileSetsFontsAndCaptions)
{
    WriteBytes(LanguageFile,
               "[Font01]\r\nName=Arial\r\nSize=11\r\n"
               "[Font02]\r\nName=Courier New\r\nSize=12\r\nCharset=0\r\n"
               "[Form01]\r\nRS_001=Window\r\nRS_002=Start\r\nRS_004=Menu item\r\n");
    TestWindow form;
    std::wstring menuCaption = L"Design";
    EXPECT_TRUE(ApplyLanguageSection(form.window, L"Form01",
                                     {{form.window, L"RS_001"},
                                      {form.button, L"RS_002"},
                                      {form.label, L"RS_003"},
                                      {L"RS_004", [&](const std::wstring& text) { menuCaption = text; }}},
                                     {{form.list, L"Font02"}}));

    EXPECT_EQ(Caption(form.window), L"Window");
    EXPECT_EQ(Caption(form.button), L"Start");
    EXPECT_EQ(Caption(form.label), L"");  // a key missing from the file
    EXPECT_EQ(menuCaption, L"Menu item");

    for (HWND window : {form.window, form.button, form.label}) {
        SCOPED_TRACE(Caption(window).empty() ? "label" : Caption(window) == L"Start" ? "button" : "window");
        LOGFONTW font = Describe(FontOf(window));
        EXPECT_EQ(font.lfHeight, HeightOfPoints(11));
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfCharSet, 128);
    }
    LOGFONTW listFont = Describe(FontOf(form.list));
    EXPECT_EQ(listFont.lfHeight, HeightOfPoints(12));
    EXPECT_STREQ(listFont.lfFaceName, L"Courier New");
    EXPECT_EQ(listFont.lfCharSet, 0);
}

TEST_F(LanguageWindowTest, WithoutSizeAndNameWindowsGetNinePointsAndListsTen)
{
    WriteBytes(LanguageFile, "[Strings]\r\nRS_100=Error\r\n");
    TestWindow first, second;
    ApplyLanguageSection(first.window, L"Form01", {{first.button, L"RS_001"}}, {{first.list, L"Font01"}});
    ApplyLanguageSection(second.window, L"Form01", {}, {{second.list, L"Font01"}});

    EXPECT_EQ(Caption(first.button), L"");
    LOGFONTW windowFont = Describe(FontOf(first.button));
    EXPECT_EQ(windowFont.lfHeight, HeightOfPoints(9));
    EXPECT_STREQ(windowFont.lfFaceName, L"ＭＳ Ｐゴシック");
    LOGFONTW listFont = Describe(FontOf(first.list));
    EXPECT_EQ(listFont.lfHeight, HeightOfPoints(10));
    EXPECT_STREQ(listFont.lfFaceName, L"ＭＳ ゴシック");

    // A window shown again gets the same font objects, not new ones.
    EXPECT_EQ(FontOf(second.window), FontOf(first.window));
    EXPECT_EQ(FontOf(second.list), FontOf(first.list));
}

TEST_F(LanguageWindowTest, WithoutTheFileNothingChanges)
{
    TestWindow form;
    HFONT before = FontOf(form.button);
    bool called = false;
    EXPECT_FALSE(ApplyLanguageSection(
        form.window, L"Form01", {{form.button, L"RS_001"}, {L"RS_002", [&](const std::wstring&) { called = true; }}},
        {{form.list, L"Font01"}}));
    EXPECT_EQ(Caption(form.button), L"Design");
    EXPECT_EQ(Caption(form.window), L"Design");
    EXPECT_FALSE(called);
    EXPECT_EQ(FontOf(form.button), before);
    EXPECT_EQ(FontOf(form.window), nullptr);
}
