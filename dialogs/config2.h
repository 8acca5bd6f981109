// The PE Builder settings dialog: the settings of a build, kept in input.inf or as a
// preset's own settings, and the command that shows it from the main window.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "controls/EllipsEd.h"
#include "dialogs/MainFormView.h"
#include "pebuilder/InputSettings.h"
#include "ui/Form.h"

struct TCurrentSettings;

class TConfig2_Form : public ModalForm {
public:
    // peBuilder: the PE Builder folder the output path is relative to; preset: whether
    // a preset (not the last-build entry) is being edited, which shows CHB03.
    TConfig2_Form(std::wstring peBuilder, int versionClass, bool preset);
    ~TConfig2_Form() override;

    // The controls' values: set before ShowModal, read after its OK. ownSettings ticks
    // CHB03.
    void Load(const InputSettingsFields& fields, bool ownSettings);
    InputSettingsFields Fields() const;
    bool UseOwnSettings() const;  // CHB03
    // The Address of the drive selected in CB01, or nothing.
    std::optional<std::wstring> SelectedDeviceAddress() const;

    // Controls, in tab order.
    HWND Label1 = nullptr, RB1 = nullptr, RB2 = nullptr, Label2 = nullptr, Label3 = nullptr, Label5 = nullptr,
         ED01 = nullptr, Label4 = nullptr, CHB02 = nullptr, CHB05 = nullptr, CHB04 = nullptr, CHB01 = nullptr,
         Label7 = nullptr, ED02 = nullptr, CHB08 = nullptr, CHB06 = nullptr, Label6 = nullptr, CB01 = nullptr,
         CHB07 = nullptr, CHB03 = nullptr, Button1 = nullptr, Button2 = nullptr;
    TEllipsesEdit EE01, EE02, EE03, EE04;

    // Handlers.
    void EE_ButtonClick(TEllipsesEdit& sender);
    void RB_Click();
    void CHB01Click();
    void CHB06Click();

protected:
    void FormCreate() override;
    void FormShow() override;
    bool FormCloseQuery() override;
    void FormDestroy() override;

private:
    HWND Label(const std::wstring& text, int x, int y, int width, DWORD style = 0);
    HWND CheckBox(const std::wstring& text, int x, int y, int width);
    void PathEdit(TEllipsesEdit& edit, int x, int y);
    void FillDrives();
    void UpdateLabel2();
    bool Absolute() const;

    std::wstring peBuilder_;
    int class_;
    bool preset_;
    InputSettingsFields loaded_;
    bool ownSettings_ = false;
    bool shown_ = false;    // RB_Click acts only after the first show
    bool absolute_ = true;  // the form EE02 is shown in
};

// The menu command PBConfig and the first start without input.inf: edits input.inf
// for the last-build entry, or the selected preset's own settings (CHB03 ticked) or
// drops them (CHB03 cleared). True when the user accepted and the save ended.
bool P2Click(MainFormView& main, const TCurrentSettings& settings);
