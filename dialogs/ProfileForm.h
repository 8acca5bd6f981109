// The profile chooser: start-up's small window for picking the profile to work with,
// where profiles are also added (as copies), renamed and deleted, straight in the
// registry.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/ProfileChooser.h"
#include "ui/Form.h"

class TProfile_Form : public ModalForm, public ProfileChooser {
public:
    TProfile_Form();

    // What start-up sets and reads.
    void SetDoNotShowAtStart(bool checked) override;
    // Shown over no owner; true only when Start_Btn closed it.
    bool ShowModal() override;
    using ModalForm::ShowModal;
    std::wstring SelectedProfile() const override;
    bool DoNotShowAtStart() const override;

    // The handlers. Errors they raise are shown over the chooser, which stays open.
    void Add_BtnClick();
    void Edit_BtnClick();
    void Del_BtnClick();

    // The items of LB1, in their order.
    std::vector<std::wstring> Items() const;

    HWND GB01 = nullptr, LB1 = nullptr, Add_Btn = nullptr, Edit_Btn = nullptr, Del_Btn = nullptr, Start_Btn = nullptr,
         Cancel_Btn = nullptr, CHB1 = nullptr;

protected:
    void FormCreate() override;
    void FormShow() override;

private:
    // Lists the profiles again, sorted, with the first selected.
    void RefreshList();
    // The typed name, trimmed and checked; empty after a refusal, which has been shown.
    // The focus is back on the button that asked for the name, ready to ask again.
    std::wstring CheckedName(const std::wstring& typed);
    void Select(int index);
    // Runs a handler; an error it raises is reported and the chooser stays open.
    template <typename Handler>
    void Guarded(Handler&& handler);
};
