// The main window: the preset list, the two build styles with the custom-build
// toggles, the menus and buttons of every command, and the application's message loop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/MainCommands.h"
#include "controls/CmbGrid.h"
#include "core/Handles.h"
#include "core/Settings.h"
#include "dialogs/MainFormView.h"
#include "ui/Action.h"
#include "ui/Form.h"

inline const wchar_t kMainFormCaption[] = L"Kitwright for Tovi's PE Builder";

class TMain_Form : public Form, public MainFormView {
public:
    TMain_Form(TCurrentSettings& settings, MainCommands commands);
    ~TMain_Form() override;

    // Creates the window and runs its first show; it is visible afterwards unless a
    // first-run check closed it.
    void ShowMain();
    // F2 and F3.
    HACCEL Accelerators() const { return accelerators_; }
    // Alt and the access key of GB01's caption: the focus goes to LB1. True when taken.
    bool PresetListAccessKey(wchar_t key);

    // MainFormView
    HWND Owner() const override { return Handle(); }
    UserPrompt& Prompt() const override { return Form::Prompt(); }
    int SelectedIndex() const override;
    std::wstring SelectedText() const override;
    int FindEntry(const std::wstring& text) const override;
    void SelectEntry(int index) override;
    void ReloadPresetList() override;
    void LB_Click() override;
    void SetBuildButtonsEnabled(bool enabled) override;
    void SetPluginSortEnabled(bool enabled) override;

    // What the build and the ISO run take from the window.
    RunInputs Inputs() const;
    bool CustomStyle() const;
    TComboGrid& Grid() { return CG01; }

    void N6Click();
    void C2Click();
    void Close_ApplicationExecute();

    // Controls, in tab order within their parents; the panels lay them out.
    Panel Panel1, Panel2, Pnl_Default, Pnl_Custom, Panel3;
    HWND GB01 = nullptr, LB1 = nullptr, Add_Btn = nullptr, Edit_Btn = nullptr, Del_Btn = nullptr;
    HWND Button1 = nullptr, Button3 = nullptr, Button4 = nullptr, Button2 = nullptr;
    TComboGrid CG01;

    // Menus and their command ids.
    HMENU MainMenu1 = nullptr, F1 = nullptr, E1 = nullptr, L2 = nullptr, O1 = nullptr, B2 = nullptr, H1 = nullptr;
    int PEBuilder1 = 0, ISOI1 = 0, O2 = 0, X1 = 0, A1 = 0, E2 = 0, D1 = 0, ExportPreset1 = 0, ImportPreset1 = 0;
    int PEBuilderE1 = 0, L1 = 0, U1 = 0, B1 = 0, ISO1 = 0, C1 = 0;
    int PluginSort = 0, N6 = 0, C2 = 0, PBConfig = 0, P1 = 0, H2 = 0, KitwrightA1 = 0;

    // AL1
    Action Exec_PEBuilder, ISO_PEBuilder, Close_Application, Add_Preset, Edit_Preset, Delete_Preset;
    // Preset files, after the preset commands.
    Action Export_Preset, Import_Preset;

    // Colours of the toggles; 0xFF000000 | n stands for the system colour n.
    uint32_t SelectedBackColor = 0x1624E0, UnselectedBackColor = 0xFF000005;
    uint32_t SelectedForeColor = 0xFF000005, UnselectedForeColor = 0xFF000008;
    bool ToggleDragging = false;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormDestroy() override;

private:
    void CreateMenus();
    void CreateToggleGrid();
    void ShowBuildStyle(bool custom);
    void FitCustomPanel();
    std::vector<CaptionBinding> LanguageCaptions();
    void LoadProfileSettings();
    bool MenuChecked(int id) const;
    void SetMenuText(HMENU menu, int id, const std::wstring& text, bool byPosition = false);

    // The toggle grid's hooks.
    void CG_EditCellDraw(TComboGrid& sender, int ACol, int ARow, COLORREF& AColor, TCellFont& AFont);
    void CG01KeyDown(WORD& key, unsigned shift);
    void CG01KeyUp(WORD& key, unsigned shift);
    void CG01MouseDown(MouseButton button, unsigned shift);
    void CG01MouseMove();
    void CG01MouseUp(MouseButton button);
    void FlipCurrentToggle();
    void SetAllToggles(int value);
    void ApplySelection();

    TCurrentSettings& settings_;
    MainCommands commands_;
    HACCEL accelerators_ = nullptr;
    bool closeRequested_ = false;
    bool profileLoaded_ = false;    // the first show got as far as the profile's settings
    bool pebuilderPresent_ = true;  // Button1 and Button3 stay off without pebuilder.exe
};

// The message loop's handling of one message for the main window: F2 and F3, then the
// dialog keys of whichever form it is for. False: translate and dispatch it as usual.
bool PreTranslateMainMessage(TMain_Form& form, MSG& message);

// Creates the main window, shows it and runs the program's message loop until it has
// closed.
void RunMainWindow(TCurrentSettings& settings, const MainCommands& commands);
