// The about box: the program's icon, name, version and web address, which opens in the
// user's browser when clicked.
#pragma once

#include <windows.h>

#include <string>

#include "core/Handles.h"
#include "ui/Form.h"

// The address shown in the box and opened by a click on it.
inline constexpr const wchar_t* kKitwrightWebAddress = L"https://kitwright.example.org/";

class TAboutBox : public ModalForm {
public:
    TAboutBox();

    // The picture of ProgramIcon; the box does not own it.
    void SetProgramIcon(HICON icon);

    HWND Panel1 = nullptr, ProgramIcon = nullptr, ProductName = nullptr, Label3 = nullptr, Label4 = nullptr,
         lblVer = nullptr, lblNotice = nullptr, lblURL = nullptr, OKBtn = nullptr;

protected:
    void FormCreate() override;
    void FormShow() override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void lblURLClick();

private:
    FontHandle urlFont_;
};

// The Help menu's "version information": shows the about box over owner.
void KitwrightA1Click(HWND owner);
