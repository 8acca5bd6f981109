// The main window as a user meets it: its place between runs, the sorted preset list
// and what a selection loads, the build styles on F2 and F3, the toggles under keys
// and the mouse with their colours on screen, the first-run checks, and the real
// program closing with exit code 0.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "core/Files.h"
#include "core/IniFile.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "tests/support/ProcessSupport.h"
#include "tests/support/RealInput.h"
#include "tests/support/TestSupport.h"
#include "ui/Window.h"

namespace {

const std::wstring K = kProgramKey;
const std::wstring kProfile = kProfilesKey + L"\\Test";

void Pump(TMain_Form& form, DWORD ms = 60)
{
    DWORD end = ::GetTickCount() + ms;
    do {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (PreTranslateMainMessage(form, message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(5);
    } while (static_cast<int>(end - ::GetTickCount()) > 0);
}

std::wstring MenuText(HMENU menu, int id)
{
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(id), text, 256, MF_BYCOMMAND);
    return text;
}

bool MenuEnabled(HMENU menu, int id)
{
    return !(::GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED);
}

bool Visible(HWND window) { return (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT ClientRect(HWND window)
{
    RECT r;
    ::GetClientRect(window, &r);
    return r;
}

// A control's box in its parent's client coordinates.
RECT BoxInParent(HWND control)
{
    RECT r;
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void StorePlace(int height, int width, int top, int left, int state)
{
    for (auto [name, value] :
         {std::pair{L"Height", height}, {L"Width", width}, {L"Top", top}, {L"Left", left}, {L"FormState", state}})
        WriteRegInteger(K, name, value);
}

void ExpectNormalPlace(HWND form, int height, int width, int top, int left)
{
    RECT client = ClientRect(form), window;
    ::GetWindowRect(form, &window);
    EXPECT_EQ(client.bottom, height);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(window.top, top);
    EXPECT_EQ(window.left, left);
}

class MainFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        EraseRegKey(K);
        WriteRegString(kSystemKey, L"Profile", L"Test");
        WriteRegString(kProfile, L"PEBuilder", pebuilder.Path() + L"\\");  // stored with a backslash
        WriteRegInteger(kProfile, L"PEB_VER", 3);
        WriteBytes(pebuilder / L"input.inf", "[input]\r\nskipregistry=0\r\nskipfiles=1\r\nbuildiso=1\r\nburncd=1\r\n");
        commands.Build = [this](const TCurrentSettings&, const RunInputs& inputs, UserPrompt&) {
            builds.push_back(inputs);
        };
        commands.AddPreset = [this](MainFormView&, const TCurrentSettings&) { ++adds; };
        commands.ImportPreset = [this](MainFormView&, const TCurrentSettings&) { ++imports; };
    }
    void TearDown() override
    {
        form.reset();
        EraseRegKey(K);
    }

    TMain_Form& Open()
    {
        settings = TCurrentSettings{};
        form = std::make_unique<TMain_Form>(settings, commands);
        form->ShowMain();
        if (form->Handle()) ::SetForegroundWindow(form->Handle());
        Pump(*form);
        return *form;
    }
    void CloseForm()
    {
        form->Close_ApplicationExecute();
        EXPECT_EQ(form->Handle(), nullptr);
        form.reset();
    }
    void Select(int index)
    {
        form->SelectEntry(index);
        ::SendMessageW(::GetParent(form->LB1), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(form->LB1), LBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(form->LB1));
    }
    std::vector<int> Toggles() { return form->Inputs().Toggles; }
    POINT CellCentre(int col)
    {
        RECT cell = form->Grid().CellRect(col, 0);
        POINT p{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ::ClientToScreen(form->Grid().Handle(), &p);
        return p;
    }

    ScratchFolder pebuilder;
    TCurrentSettings settings;
    MainCommands commands;
    std::unique_ptr<TMain_Form> form;
    std::vector<RunInputs> builds;
    int adds = 0;
    int imports = 0;
};

TEST_F(MainFormTest, OpensCentredAtItsDefaultSizeAndStoresTheNormalPlace)
{
    TMain_Form& main = Open();
    wchar_t title[64] = {};
    ::GetWindowTextW(main.Handle(), title, 64);
    EXPECT_STREQ(title, L"Kitwright for Tovi's PE Builder");
    RECT client = ClientRect(main.Handle()), window;
    ::GetWindowRect(main.Handle(), &window);
    EXPECT_EQ(client.right, 392);
    EXPECT_EQ(client.bottom, 266);
    EXPECT_EQ(window.left, (::GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
    EXPECT_EQ(window.top, (::GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
    EXPECT_FALSE(::IsZoomed(main.Handle()));
    // Anchored to the smaller client: the exit button stays at the bottom right.
    RECT exit;
    ::GetWindowRect(main.Button2, &exit);
    ::MapWindowPoints(nullptr, main.Handle(), reinterpret_cast<POINT*>(&exit), 2);
    EXPECT_EQ(exit.right, 392 - 6);
    EXPECT_EQ(exit.bottom, 266 - 5);

    CloseForm();
    EXPECT_EQ(ReadRegInteger(K, L"FormState", -1), 0);
    EXPECT_EQ(ReadRegInteger(K, L"Top", -1), window.top);
    EXPECT_EQ(ReadRegInteger(K, L"Left", -1), window.left);
    EXPECT_EQ(ReadRegInteger(K, L"Height", -1), 266);
    EXPECT_EQ(ReadRegInteger(K, L"Width", -1), 392);
    EXPECT_EQ(ReadRegInteger(K, L"BuildStyle", -1), 0);
}

TEST_F(MainFormTest, StoredPlaceIsTakenAndAnUnknownStateOpensNormal)
{
    StorePlace(300, 500, 40, 30, 5);
    TMain_Form& main = Open();
    ExpectNormalPlace(main.Handle(), 300, 500, 40, 30);
    EXPECT_FALSE(::IsZoomed(main.Handle()));
    EXPECT_FALSE(::IsIconic(main.Handle()));
}

TEST_F(MainFormTest, ClosingMaximisedKeepsTheLastNormalPlace)
{
    StorePlace(280, 420, 50, 60, 1);
    TMain_Form& main = Open();
    EXPECT_TRUE(::IsZoomed(main.Handle()));
    CloseForm();
    EXPECT_EQ(ReadRegInteger(K, L"FormState", -1), 1);
    EXPECT_EQ(ReadRegInteger(K, L"Height", -1), 280);
    EXPECT_EQ(ReadRegInteger(K, L"Width", -1), 420);
    EXPECT_EQ(ReadRegInteger(K, L"Top", -1), 50);
    EXPECT_EQ(ReadRegInteger(K, L"Left", -1), 60);

    // The next start opens maximised again; restoring brings back the normal place.
    TMain_Form& again = Open();
    ASSERT_TRUE(::IsZoomed(again.Handle()));
    ::ShowWindow(again.Handle(), SW_RESTORE);
    Pump(again);
    ExpectNormalPlace(again.Handle(), 280, 420, 50, 60);
}

TEST_F(MainFormTest, PresetsAreSortedAfterTheLastBuildEntryAndASelectionLoadsItsSettings)
{
    WriteRegInteger(kProfile + L"\\Preset\\b\\PEBuilder", L"skipregistry", 1);
    WriteRegInteger(kProfile + L"\\Preset\\b\\PEBuilder", L"skipfiles", 0);
    WriteRegInteger(kProfile + L"\\Preset\\b\\PEBuilder", L"buildiso", 1);
    WriteRegInteger(kProfile + L"\\Preset\\b\\PEBuilder", L"burncd", 0);
    WriteRegString(kProfile + L"\\Preset\\A", L"001", L"x::x\\");
    WriteRegString(kProfile + L"\\Preset\\c", L"001", L"x::x\\");
    TMain_Form& main = Open();

    ASSERT_EQ(::SendMessageW(main.LB1, LB_GETCOUNT, 0, 0), 4);
    std::vector<std::wstring> texts;
    for (int i = 0; i < 4; ++i) {
        main.SelectEntry(i);
        texts.push_back(main.SelectedText());
    }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"[前回ビルド時の構成]", L"A", L"b", L"c"}));

    Select(0);
    EXPECT_FALSE(main.Edit_Preset.Enabled());
    EXPECT_FALSE(main.Delete_Preset.Enabled());
    EXPECT_FALSE(::IsWindowEnabled(main.Edit_Btn));
    EXPECT_FALSE(MenuEnabled(main.E1, main.D1));
    // The preset files come after the preset commands: only a preset can be exported.
    EXPECT_EQ(MenuText(main.E1, main.ExportPreset1), L"エクスポート(&X)...");
    EXPECT_FALSE(MenuEnabled(main.E1, main.ExportPreset1));
    EXPECT_TRUE(MenuEnabled(main.E1, main.ImportPreset1));
    ::SendMessageW(main.Handle(), WM_COMMAND, MAKEWPARAM(main.ImportPreset1, 0), 0);
    EXPECT_EQ(imports, 1);
    EXPECT_EQ(MenuText(main.O1, main.PBConfig), L"PE Builderの環境設定[input.inf](&R)");
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 1, 1}));  // from input.inf

    Select(2);
    EXPECT_TRUE(main.Edit_Preset.Enabled());
    EXPECT_TRUE(MenuEnabled(main.E1, main.ExportPreset1));
    EXPECT_TRUE(::IsWindowEnabled(main.Del_Btn));
    EXPECT_EQ(MenuText(main.O1, main.PBConfig), L"PE Builderの環境設定[b](&R)");
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 1, 0}));  // registry off, files on, ISO on, CD off

    Select(3);  // no settings of its own: like the last-build entry
    EXPECT_EQ(MenuText(main.O1, main.PBConfig), L"PE Builderの環境設定[input.inf](&R)");
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 1, 1}));

    // Up and down the list with the keyboard selects as a click does.
    ::SetFocus(main.LB1);
    Tap(VK_UP);
    Pump(main);
    EXPECT_EQ(main.SelectedIndex(), 2);
    EXPECT_EQ(MenuText(main.O1, main.PBConfig), L"PE Builderの環境設定[b](&R)");

    // No selection reads input.inf, as every command of the list does, also beside the
    // place where a preset's own settings wait while the preset is rewritten.
    WriteRegInteger(kProfile + L"\\Preset\\PEBuilder", L"skipregistry", 1);
    WriteRegInteger(kProfile + L"\\Preset\\PEBuilder", L"skipfiles", 0);
    Select(-1);
    EXPECT_FALSE(MenuEnabled(main.O1, main.PBConfig));
    EXPECT_EQ(MenuText(main.O1, main.PBConfig), L"PE Builderの環境設定[input.inf](&R)");
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 1, 1}));
}

TEST_F(MainFormTest, GridWidthAndBuildButtonFollowTheVersionClass)
{
    const std::pair<int, int> classes[] = {{0, 125}, {1, 186}, {2, 247}, {3, 247}};
    for (auto [version, width] : classes) {
        WriteRegInteger(kProfile, L"PEB_VER", version);
        TMain_Form& main = Open();
        RECT grid = BoxInParent(main.Grid().Handle()), button = BoxInParent(main.Button4);
        EXPECT_EQ(grid.right - grid.left, width) << version;
        EXPECT_EQ(button.left, grid.right + 4) << version;
        EXPECT_EQ(main.Grid().ColCount(), width == 125 ? 2 : width == 186 ? 3 : 4);
        if (version == 0) {
            EXPECT_EQ(Toggles(), (std::vector<int>{1, 1}));  // build always on, ISO from input.inf
        }
        CloseForm();
    }
}

TEST_F(MainFormTest, F2AndF3SwitchTheBuildStyleWhichIsStored)
{
    TMain_Form& main = Open();
    ::SetFocus(main.LB1);
    EXPECT_TRUE(Visible(main.Button1) && Visible(main.Button3));
    EXPECT_FALSE(Visible(main.Grid().Handle()) || Visible(main.Button4));
    Tap(VK_F3);
    Pump(main);
    Tap(VK_F3);
    Pump(main);
    EXPECT_TRUE(main.CustomStyle());
    EXPECT_FALSE(Visible(main.Button1) || Visible(main.Button3));
    EXPECT_TRUE(Visible(main.Grid().Handle()) && Visible(main.Button4));
    // Four cells at the default width: the window grows so the build button shows whole.
    RECT build, exitButton;
    ::GetWindowRect(main.Button4, &build);
    ::GetWindowRect(main.Button2, &exitButton);
    EXPECT_LE(build.right, exitButton.left);
    EXPECT_TRUE(::GetMenuState(main.B2, main.C2, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(main.B2, main.N6, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(main.ISO_PEBuilder.Enabled());
    EXPECT_FALSE(MenuEnabled(main.F1, main.ISOI1));
    EXPECT_EQ(MenuText(main.B2, main.C2), L"カスタム(&C)\tF3");

    Tap(VK_F2);
    Pump(main);
    EXPECT_FALSE(main.CustomStyle());
    EXPECT_TRUE(main.ISO_PEBuilder.Enabled());
    EXPECT_TRUE(MenuEnabled(main.F1, main.ISOI1));

    Tap(VK_F3);
    Pump(main);
    CloseForm();
    EXPECT_EQ(ReadRegInteger(K, L"BuildStyle", -1), 1);
    // Stored as custom: the next start opens in it.
    EXPECT_TRUE(Open().CustomStyle());
}

TEST_F(MainFormTest, AnUnknownStoredBuildStyleChecksNeitherItem)
{
    WriteRegInteger(K, L"BuildStyle", 7);
    TMain_Form& main = Open();
    EXPECT_FALSE(::GetMenuState(main.B2, main.C2, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(main.B2, main.N6, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(main.PanelShown(main.Pnl_Default) && Visible(main.Button1));
    CloseForm();
    EXPECT_EQ(ReadRegInteger(K, L"BuildStyle", -1), 0);
}

TEST_F(MainFormTest, TogglesAnswerKeysAndTheMouseAndReachTheBuild)
{
    WriteRegInteger(K, L"BuildStyle", 1);
    TMain_Form& main = Open();
    ASSERT_TRUE(main.CustomStyle());
    HWND grid = main.Grid().Handle();
    ::SetFocus(grid);
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 1, 1}));

    Chord(VK_CONTROL, 'A');
    Pump(main);
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 1, 1, 1}));

    Tap(VK_SPACE);  // the current cell is the first
    Pump(main);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 1, 1}));

    Tap('A');  // without Ctrl: nothing, and no access key fires either
    Pump(main);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 1, 1}));
    EXPECT_EQ(adds, 0);

    Keys({{VK_SHIFT, true},
          {VK_RIGHT, true},
          {VK_RIGHT, false},
          {VK_RIGHT, true},
          {VK_RIGHT, false},
          {VK_SHIFT, false}});
    Pump(main);
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 1, 1, 0}));

    // A drag from the second cell to the third.
    Mouse(CellCentre(1), MOUSEEVENTF_LEFTDOWN);
    Pump(main);
    Mouse(CellCentre(2), 0);
    Pump(main);
    Mouse(CellCentre(2), MOUSEEVENTF_LEFTUP);
    Pump(main);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_FALSE(main.ToggleDragging);

    // Ctrl+click flips only the clicked cell.
    Keys({{VK_CONTROL, true}});
    Mouse(CellCentre(3), MOUSEEVENTF_LEFTDOWN);
    Mouse(CellCentre(3), MOUSEEVENTF_LEFTUP);
    Keys({{VK_CONTROL, false}});
    Pump(main);
    EXPECT_EQ(Toggles(), (std::vector<int>{0, 1, 1, 1}));

    // The on colour exactly in the cells that are on, the window colour elsewhere.
    ::SetFocus(main.LB1);  // no bold cell, no focus mark
    ::RedrawWindow(grid, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(main);
    HDC dc = ::GetDC(grid);
    for (int col = 0; col < 4; ++col) {
        RECT cell = main.Grid().CellRect(col, 0);
        COLORREF pixel = ::GetPixel(dc, cell.left + 3, cell.top + 2);
        EXPECT_EQ(pixel, col == 0 ? ::GetSysColor(COLOR_WINDOW) : RGB(224, 36, 22)) << col;
    }
    ::ReleaseDC(grid, dc);

    // The build takes the window's three inputs.
    Select(0);  // reloads the toggles from input.inf
    ::SendMessageW(main.Button4, BM_CLICK, 0, 0);
    ASSERT_EQ(builds.size(), 1u);
    EXPECT_EQ(builds[0].SelectedIndex, 0);
    EXPECT_TRUE(builds[0].CustomStyle);
    EXPECT_EQ(builds[0].Toggles, (std::vector<int>{1, 0, 1, 1}));
}

TEST_F(MainFormTest, AccessKeysReachButtonsAndMenus)
{
    TMain_Form& main = Open();
    ::SetFocus(main.LB1);
    Chord(VK_MENU, 'A');
    Pump(main);
    EXPECT_EQ(adds, 1);
    // The group box's access key leads into its list.
    ::SetFocus(main.Button2);
    Chord(VK_MENU, 'P');
    Pump(main);
    EXPECT_EQ(::GetFocus(), main.LB1);
    // Tab leaves the list for the first preset button.
    ::SetFocus(main.LB1);
    Tap(VK_TAB);
    Pump(main);
    EXPECT_EQ(::GetFocus(), main.Add_Btn);
}

TEST_F(MainFormTest, MissingPEBuilderDisablesTheBuildButtonsAndNtfsTheSort)
{
    TMain_Form& main = Open();
    EXPECT_FALSE(::IsWindowEnabled(main.Button1));
    EXPECT_FALSE(::IsWindowEnabled(main.Button3));
    EXPECT_TRUE(main.Exec_PEBuilder.Enabled());           // the action keeps its own state
    EXPECT_FALSE(MenuEnabled(main.O1, main.PluginSort));  // Wine's drives report NTFS
    // Switching the style back to standard re-enables the ISO action, not its button.
    Tap(VK_F3);
    Pump(main);
    Tap(VK_F2);
    Pump(main);
    EXPECT_TRUE(main.ISO_PEBuilder.Enabled());
    EXPECT_FALSE(::IsWindowEnabled(main.Button3));
    CloseForm();

    WriteBytes(pebuilder / L"pebuilder.exe", "MZ");
    EXPECT_TRUE(::IsWindowEnabled(Open().Button1));
    EXPECT_TRUE(::IsWindowEnabled(form->Button3));
}

TEST_F(MainFormTest, PluginBuilderLearnsThePluginFolderAtEveryStart)
{
    ScratchFolder pluginBuilder;
    WriteRegString(kSystemKey, L"PluginBuilder", pluginBuilder.Path() + L"\\");
    WriteBytes(pluginBuilder / L"Plugin_Builder.ini", "[System]\r\nPluginPath=C:\\old\r\nSourcePath=D:\\\r\n");
    Open();
    EXPECT_EQ(ReadIniString(pluginBuilder / L"Plugin_Builder.ini", L"System", L"PluginPath", L""),
              pebuilder.Path() + L"\\Plugin");
    EXPECT_EQ(ReadIniString(pluginBuilder / L"Plugin_Builder.ini", L"System", L"SourcePath", L""), L"D:\\");
    CloseForm();

    // A settings file that cannot be written: its message, and behind it a whole window
    // in the style last used.
    WriteBytes(pluginBuilder / L"Plugin_Builder.ini", "[System]\r\nPluginPath=C:\\old\r\n");
    ASSERT_TRUE(::SetFileAttributesW((pluginBuilder / L"Plugin_Builder.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    WriteRegInteger(K, L"BuildStyle", 1);
    struct : ErrorSink {
        int count = 0;
        void Take(HWND, std::exception_ptr) override { ++count; }
    } errors;
    ScopedErrorSink sink(errors);
    TMain_Form& main = Open();
    EXPECT_EQ(errors.count, 1);
    EXPECT_TRUE(main.CustomStyle());
    EXPECT_EQ(Toggles(), (std::vector<int>{1, 0, 1, 1}));  // the selection's, from input.inf
    ::SetFileAttributesW((pluginBuilder / L"Plugin_Builder.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(MainFormTest, FirstStartWithoutSettingsOpensTheSettingsAndEndsOnCancel)
{
    DeleteRegValue(kProfile, L"PEBuilder");
    std::vector<std::wstring> shown;
    bool cancelProgram = true, cancelPEBuilder = true;
    commands.ProgramSettings = [&](MainFormView& view, TCurrentSettings& current) {
        shown.push_back(L"program");
        EXPECT_EQ(view.SelectedIndex(), 0);  // the list is filled before
        if (!cancelProgram) current.PEBuilder = pebuilder / L"new";
        return !cancelProgram;
    };
    commands.PEBuilderSettings = [&](MainFormView&, const TCurrentSettings& current) {
        shown.push_back(L"pebuilder " + ExtractFileName(current.PEBuilder));
        return !cancelPEBuilder;
    };

    Open();
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"program"}));
    EXPECT_EQ(form->Handle(), nullptr);
    EXPECT_EQ(ReadRegInteger(K, L"FormState", -1), 0);  // closed the ordinary way

    shown.clear();
    cancelProgram = false;  // the new folder has no input.inf
    Open();
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"program", L"pebuilder new"}));
    EXPECT_EQ(form->Handle(), nullptr);

    shown.clear();
    cancelPEBuilder = false;
    Open();
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"program", L"pebuilder new"}));
    ASSERT_NE(form->Handle(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(form->Handle()));
}

TEST(MainFormProgram, OpensTheMainWindowAndEndsWithExitCodeZeroWhenItCloses)
{
    EraseRegKey(K);
    ScratchFolder pebuilder;
    WriteBytes(pebuilder / L"input.inf", "[input]\r\n");
    WriteRegString(kSystemKey, L"Profile", L"Test");
    WriteRegString(kProfile, L"PEBuilder", pebuilder.Path());
    WriteRegString(K + L"\\Profiles\\Test\\Preset\\one", L"001", L"x::x\\");

    ChildProcess child = StartChild(L"\"" + BinFolder() + L"\\Kitwright.exe\"");
    HWND main = WaitForWindow(child.id, L"TMain_Form");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), L"Kitwright for Tovi's PE Builder");
    ::PostMessageW(main, WM_KEYDOWN, VK_F3, 0);  // to the window: the loop's accelerators see it
    ::Sleep(300);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(child), 0u);
    EXPECT_EQ(ReadRegInteger(K, L"BuildStyle", -1), 1);
    EXPECT_EQ(ReadRegInteger(K, L"Width", -1), 392);
    EraseRegKey(K);
}

}  // namespace

namespace {

// Starts the real program, waits for the first-run dialog of that class, checks that
// the main window has not shown, cancels the dialog and returns the exit code.
DWORD CancelFirstRunDialog(const wchar_t* dialogClass)
{
    ChildProcess child = StartChild(L"\"" + BinFolder() + L"\\Kitwright.exe\"");
    HWND dialog = WaitForWindow(child.id, dialogClass);
    EXPECT_NE(dialog, nullptr) << dialogClass;
    EXPECT_EQ(WaitForWindow(child.id, L"TMain_Form", 1), nullptr);
    if (dialog) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    return WaitForExit(child);
}

}  // namespace

TEST(MainFormProgram, CancellingAFirstRunDialogEndsTheProgram)
{
    EraseRegKey(K);
    ScratchFolder pebuilder;
    WriteRegString(kSystemKey, L"Profile", L"Test");
    WriteRegString(kProfile, L"PEBuilder", L"");
    EXPECT_EQ(CancelFirstRunDialog(L"TConfig_Form"), 0u);
    EXPECT_EQ(ReadRegInteger(K, L"FormState", -1), 0);  // the window closed the ordinary way

    WriteRegString(kProfile, L"PEBuilder", pebuilder.Path());  // a folder without input.inf
    EXPECT_EQ(CancelFirstRunDialog(L"TConfig2_Form"), 0u);
    EXPECT_FALSE(FileExists(pebuilder / L"input.inf"));
    EraseRegKey(K);
}
