// The program settings dialog: where PE Builder, Plugin Builder and the text editor
// are and how they are run, and the command that shows it from the main window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls/EllipsEd.h"
#include "dialogs/MainFormView.h"
#include "pebuilder/ProgramSettings.h"
#include "ui/Form.h"

class TConfig_Form : public ModalForm {
public:
    TConfig_Form();
    ~TConfig_Form() override;

    // The controls' values: set before ShowModal, read after its OK.
    void Load(const ProgramSettingsFields& fields);
    ProgramSettingsFields Fields() const;

    // The pages of PC1, for tests and screenshots: 0 TS01 to 3 TS04.
    void ShowPage(int page);
    bool PageShown(int page) const;

    // Controls, in tab order within their pages.
    HWND Label1 = nullptr, CHB01 = nullptr, Label8 = nullptr, CB01 = nullptr, Label4 = nullptr, ED01 = nullptr,
         Label5 = nullptr, ED02 = nullptr, CHB07 = nullptr, CHB06 = nullptr;
    HWND Label2 = nullptr, CHB02 = nullptr;
    HWND Label3 = nullptr, CHB03 = nullptr;
    HWND Label6 = nullptr, Memo1 = nullptr, Label7 = nullptr, Label9 = nullptr;
    HWND Button1 = nullptr, Button2 = nullptr, PC1 = nullptr;
    TEllipsesEdit EE01, EE02, EE03;

    // Handlers.
    void CHB06Click();
    void CB01Change();
    void EE_ButtonClick(TEllipsesEdit& sender);
    void EE_ButtonClick2();

protected:
    void FormCreate() override;
    void FormShow() override;
    bool FormCloseQuery() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HWND Label(const std::wstring& text, int x, int y, int width, int height = 12, DWORD style = 0);
    HWND CheckBox(const std::wstring& text, int x, int y, int width);
    HWND Edit(int x, int y, int width, int height, DWORD style = ES_AUTOHSCROLL);
    void PathEdit(TEllipsesEdit& edit, int x, int y, int width);
    void SetPageVisible(int page, bool visible);
    void ShowPageControls(int page);
    int PageOfTab(int tab) const;

    std::vector<HWND> pages_[4];  // the controls of each page
    HWND page_[4] = {};           // the pages
    HWND target_ = nullptr;       // the page that Label, CheckBox, Edit and PathEdit add to
    std::wstring tabCaptions_[4];
    bool pageShown_[4] = {true, true, true, false};
    int current_ = 0;
    std::wstring od1Filter_;
    ProgramSettingsFields loaded_;
};

// The menu command P1 and the first start without a PE Builder folder: shows the
// dialog over the main window; after OK the settings change in memory, then in the
// registry and Plugin_Builder.ini, and the main window follows
// (RefreshAfterSettingsChange). True when the user accepted and all of that ended.
bool P1Click(MainFormView& main, TCurrentSettings& settings);
