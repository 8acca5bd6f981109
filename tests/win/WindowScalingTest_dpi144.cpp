// The windows at 150 % (this program's prefix runs at 144 DPI): the real Kitwright.exe's
// main window with its menu on one row, captions that fit and a size that
// holds over restarts; a damaged stored place made usable and not written back; the
// preset editor repainted whole after a resize; the settings dialog's tab pages; the
// English language file's fonts with Japanese names.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "core/Language.h"
#include "core/Registry.h"
#include "dialogs/config.h"
#include "tests/support/FormDriving.h"
#include "tests/support/PresetEditorDriver.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/ScratchInstallation.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/StubMainView.h"
#include "ui/Dpi.h"

namespace {

int Scaled(int designPixels) { return ScaleForDpi(designPixels, 144); }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT ScreenRectOf(HWND window)
{
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

// Pixels of a device context, row by row.
std::vector<COLORREF> Pixels(const RECT& r, HDC dc)
{
    std::vector<COLORREF> pixels;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) pixels.push_back(::GetPixel(dc, x, y));
    return pixels;
}

// What a window painted in a rectangle given in screen coordinates, read from the window
// itself: the screen shows a paint only once Wine has copied it there, and the desktop
// of another test program may lie over it.
std::vector<COLORREF> Painted(HWND window, RECT r)
{
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    HDC dc = ::GetDC(window);
    std::vector<COLORREF> pixels = Pixels(r, dc);
    ::ReleaseDC(window, dc);
    return pixels;
}

// Whether a caption is drawn there: a face, flat or shaded from top to bottom, is one
// colour along each row; letters are not.
bool HasLetters(HWND window, const RECT& r)
{
    std::vector<COLORREF> pixels = Painted(window, r);
    const size_t width = static_cast<size_t>(Width(r));
    for (size_t row = 0; row + width <= pixels.size(); row += width)
        if (std::any_of(pixels.begin() + row, pixels.begin() + row + width, [&](COLORREF c) { return c != pixels[row]; }))
            return true;
    return false;
}

BOOL CALLBACK CollectPushButton(HWND child, LPARAM buttons)
{
    wchar_t name[32] = {};
    ::GetClassNameW(child, name, 32);
    if (std::wstring(name) == L"Button" && (::GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON &&
        ::IsWindowVisible(child))
        reinterpret_cast<std::vector<HWND>*>(buttons)->push_back(child);
    return TRUE;
}

// The width of a caption in the windows' font at this DPI, access key marks taken out.
int CaptionWidth(const std::wstring& caption)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SelectObject(dc, SharedFont(FontSpec{kWindowFontName, kWindowFontSize, SHIFTJIS_CHARSET}));
    RECT r{0, 0, 0, 0};
    ::DrawTextW(dc, caption.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    ::DeleteDC(dc);  // a memory DC's selected objects need no restoring
    return Width(r);
}

// Outer height minus client height: caption, frame and menu bar rows.
int NonClientHeight(HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    return Height(ScreenRectOf(window)) - client.bottom;
}

class At150Percent : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(WindowDpi(nullptr), 144) << "the test prefix is not at 144 DPI"; }
};

// The real program on a scratch installation, its remembered place in the registry.
class MainWindowAt150Percent : public At150Percent {
protected:
    void SetUp() override
    {
        At150Percent::SetUp();
        EraseRegKey(kProgramKey);
        pe.WriteInputInf(L"[input]\r\nsource=" + pe.Source() + L"\\\r\noutdir=out\\\r\n");
        WriteRegString(kSystemKey, L"Profile", L"Test");
        WriteRegString(kProfilesKey + L"\\Test", L"PEBuilder", pe.Folder());
    }
    void TearDown() override { EraseRegKey(kProgramKey); }

    // Starts Kitwright.exe, lets look see its main window, then closes it as the close
    // box does.
    void Run(const std::function<void(HWND)>& look)
    {
        ChildProcess child = StartChild(L"\"" + BinFolder() + L"\\Kitwright.exe\"");
        HWND main = WaitForWindow(child.id, L"TMain_Form");
        EXPECT_NE(main, nullptr);
        if (main) look(main);
        EXPECT_EQ(CloseWindowsUntilExit(child), 0u);
    }

    int Stored(const wchar_t* name) const { return ReadRegInteger(kProgramKey, name, INT_MIN); }

    ScratchInstallation pe;
};

}  // namespace

TEST_F(MainWindowAt150Percent, MenuOnOneRowCaptionsFitAndTheSizeHoldsOverRestarts)
{
    int oneRow = 0;
    for (int start = 0; start < 2; ++start) {
        Run([&](HWND main) {
            RECT client{};
            ::GetClientRect(main, &client);
            EXPECT_EQ(client.right, Scaled(392));
            EXPECT_EQ(client.bottom, Scaled(266));
            // Widened far beyond its menu, the menu bar cannot wrap: the height it
            // takes then is one row's.
            oneRow = NonClientHeight(main);
            const RECT designed = ScreenRectOf(main);
            ::SetWindowPos(main, nullptr, 0, 0, 1000, Height(designed), SWP_NOMOVE | SWP_NOZORDER);
            EXPECT_EQ(NonClientHeight(main), oneRow) << "the menu bar wraps at the designed width";
            ::SetWindowPos(main, nullptr, 0, 0, Width(designed), Height(designed), SWP_NOMOVE | SWP_NOZORDER);

            std::vector<HWND> buttons;
            ::EnumChildWindows(main, CollectPushButton, reinterpret_cast<LPARAM>(&buttons));
            for (HWND button : buttons) {
                RECT r{};
                ::GetClientRect(button, &r);
                EXPECT_LE(CaptionWidth(WindowText(button)) + 6, r.right) << "clipped: " << WindowText(button).c_str();
            }
        });
        EXPECT_EQ(Stored(L"Width"), 392) << "stored in design pixels";
        EXPECT_EQ(Stored(L"Height"), 266);
    }

    // Narrow, the menu wraps onto more rows; the client keeps its height all the same,
    // and the window, taller than a frame of one menu row, is still kept whole on the
    // work area when its place is at the bottom.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    WriteRegInteger(kProgramKey, L"Width", 150);
    for (int start = 0; start < 2; ++start) {
        WriteRegInteger(kProgramKey, L"Top", work.bottom);
        Run([&](HWND main) {
            RECT client{};
            ::GetClientRect(main, &client);
            EXPECT_EQ(client.right, Scaled(150));
            EXPECT_EQ(client.bottom, Scaled(266));
            EXPECT_GT(NonClientHeight(main), oneRow) << "the menu should wrap at this width";
            EXPECT_EQ(ScreenRectOf(main).bottom, work.bottom);
        });
        EXPECT_EQ(Stored(L"Width"), 150);
        EXPECT_EQ(Stored(L"Height"), 266) << "shrunk at start " << start;
    }
}

TEST_F(MainWindowAt150Percent, ADamagedPlaceOpensWholeOnTheWorkAreaAndIsNotWrittenBack)
{
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    auto within = [&](const RECT& r) {
        return r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom;
    };
    // Top, Left, Width, Height.
    const int damaged[][4] = {{INT_MAX, INT_MIN, 0, INT_MAX}, {INT_MIN, INT_MAX, INT_MIN, 0}, {-32000, -32000, 1, 1}};
    for (const auto& place : damaged) {
        const wchar_t* names[] = {L"Top", L"Left", L"Width", L"Height"};
        for (int i = 0; i < 4; ++i) WriteRegInteger(kProgramKey, names[i], place[i]);
        const std::string label = testing::PrintToString(std::vector<int>(place, place + 4));
        Run([&](HWND main) {
            RECT client{};
            ::GetClientRect(main, &client);
            EXPECT_TRUE(within(ScreenRectOf(main))) << label;
            EXPECT_TRUE(client.right >= Scaled(kMinClientWidth) && client.bottom >= Scaled(kMinClientHeight)) << label;
        });
        const RECT saved{Stored(L"Left"), Stored(L"Top"), Stored(L"Left") + Scaled(Stored(L"Width")),
                         Stored(L"Top") + Scaled(Stored(L"Height"))};
        EXPECT_TRUE(within(saved)) << label;
        EXPECT_TRUE(Stored(L"Width") >= kMinClientWidth && Stored(L"Height") >= kMinClientHeight) << label;
    }
}

namespace {

// Repaints what waits to be painted, and nothing more: what was not invalidated stays
// as the move left it.
void PaintPending(HWND window)
{
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::SendMessageW(window, WM_NULL, 0, 0);
}

}  // namespace

using EditorAt150Percent = PresetEditorTest;

TEST_F(EditorAt150Percent, EveryButtonAndTheFrameArePaintedAnewAfterAResize)
{
    ASSERT_EQ(WindowDpi(nullptr), 144);
    Add([&](TPreset_Form& editor) {
        PaintPending(editor.Handle());

        // Dragged wider and taller by its corner, wholly on the screen.
        RECT outer = ScreenRectOf(editor.Handle());
        ::SetWindowPos(editor.Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PaintPending(editor.Handle());
        RECT frame = ScreenRectOf(editor.Bevel1);
        ::SetWindowPos(editor.Handle(), nullptr, 0, 0, Width(outer) + 120, Height(outer) + 40,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PaintPending(editor.Handle());

        // The middle of each face, where the caption is drawn.
        std::vector<std::pair<HWND, RECT>> faces;
        for (HWND button : {editor.Button7, editor.Button1, editor.Button4, editor.Button10, editor.Button5,
                            editor.Button6, editor.Button8, editor.Button9, editor.Button2, editor.Button3}) {
            RECT r = ScreenRectOf(button);
            faces.push_back({button, {r.left + Width(r) / 4, r.top + Height(r) / 4, r.right - Width(r) / 4,
                                      r.bottom - Height(r) / 4}});
        }
        // Where the old frame's right edge ran, between the name box and the list, the
        // grown frame holds nothing but its face.
        RECT name = ScreenRectOf(editor.ED01), list = ScreenRectOf(editor.CLB1.Handle());
        RECT oldEdge{frame.right - 3, name.bottom + 2, frame.right + 1, list.top - 2};
        auto plain = [&] {
            std::vector<COLORREF> pixels = Painted(editor.Bevel1, oldEdge);
            return std::all_of(pixels.begin(), pixels.end(), [](COLORREF c) { return c == ::GetSysColor(COLOR_BTNFACE); });
        };
        auto lettered = [](const std::pair<HWND, RECT>& face) { return HasLetters(face.first, face.second); };
        // The paints the resize asked for may still be on their way.
        WaitUntil([&] { return plain() && std::all_of(faces.begin(), faces.end(), lettered); }, 5000);
        for (const auto& face : faces) EXPECT_TRUE(lettered(face)) << "blank: " << WindowText(face.first).c_str();
        EXPECT_TRUE(plain());
        PostKey(editor.Button3, VK_ESCAPE);
    });
}

TEST_F(At150Percent, TabPagesPaintTheirLabelsOnThePagesBackgroundAndTheProgramsIconShows)
{
    StubMainView view;
    TCurrentSettings settings;
    ScriptedPrompt prompt;
    settings.ProfileKeySuffix = L"\\Test";
    DriveCommandForm<TConfig_Form>(
        L"TConfig_Form", prompt, [&] { P1Click(view, settings); },
        [&](TConfig_Form& form) {
            PaintPending(form.Handle());
            // The program's icon in the caption, not the system's default one: every
            // form's class carries it at both sizes.
            EXPECT_NE(::GetClassLongPtrW(form.Handle(), GCLP_HICONSM), 0);
            EXPECT_NE(::GetClassLongPtrW(form.Handle(), GCLP_HICON), 0);
            // The page beside a label and in the empty end of the label and of a check
            // box: one background.
            for (HWND control : {form.Label1, form.Label4, form.CHB07}) {
                RECT r = ScreenRectOf(control);
                const int y = (r.top + r.bottom) / 2;
                COLORREF page = Painted(::GetParent(control), RECT{r.left - 3, y, r.left - 2, y + 1})[0];
                COLORREF inside = Painted(control, RECT{r.right - 3, y, r.right - 2, y + 1})[0];
                EXPECT_EQ(inside, page) << WindowText(control).c_str();
            }
            Click(form.Button2);
        });
}

namespace {

// The text drawn black on white in font, pixel by pixel.
std::vector<COLORREF> Drawn(HFONT font, const std::wstring& text)
{
    HDC screen = ::GetDC(nullptr), dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 40);
    ::ReleaseDC(nullptr, screen);
    ::SelectObject(dc, bitmap);
    ::SelectObject(dc, font);
    RECT r{0, 0, 200, 40};
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawTextW(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    std::vector<COLORREF> pixels = Pixels(r, dc);
    ::DeleteDC(dc);  // first, so that the bitmap is no longer selected
    ::DeleteObject(bitmap);
    return pixels;
}

}  // namespace

// Names are the user's data, in any script: the English file's fonts draw Japanese ones
// as letters. Two names of the same letters in another order then look different;
// letters the fonts cannot draw would all be the same box.
TEST_F(At150Percent, TheEnglishFilesFontsDrawJapaneseNames)
{
    std::wstring file = L"Z:";
    for (const char* c = KW_SOURCE_DIR "/lang/English.rsl"; *c; ++c) file += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    const std::wstring saved = LanguageFile;
    SetLanguageFile(file);
    ASSERT_TRUE(LanguageFileExists()) << "no " << testing::PrintToString(file);
    for (const wchar_t* section : {L"Font01", L"Font02"}) {
        HFONT font = SharedFont(ReadFontSpec(section, kListFontName, kListFontSize));
        EXPECT_NE(Drawn(font, L"最小構成"), Drawn(font, L"構成最小")) << testing::PrintToString(section);
    }
    SetLanguageFile(saved);
}
