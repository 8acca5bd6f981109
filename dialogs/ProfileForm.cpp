// The profile chooser: the list of profiles, their add, rename and delete commands,
// and what start-up reads back.
#include "dialogs/ProfileForm.h"

#include <algorithm>
#include <utility>

#include "core/Error.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/ProfileNames.h"
#include "core/Registry.h"
#include "core/RegistryNames.h"
#include "core/Settings.h"
#include "core/SettingsLock.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "ui/InputDialog.h"

namespace {

// In the user's locale order without regard to case, as the user reads the list.
void SortProfileNames(std::vector<std::wstring>& names)
{
    std::stable_sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size())) == CSTR_LESS_THAN;
    });
}

std::wstring ListItemText(HWND list, int index)
{
    LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = ::SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

void AddListItem(HWND list, const std::wstring& text)
{
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace

TProfile_Form::TProfile_Form()
    : ModalForm(Design{L"TProfile_Form",
                       L"プロファイルの選択 ",
                       {340, 178},
                       WS_POPUP | WS_CAPTION | WS_SYSMENU,
                       0,
                       FormPosition::ScreenCentre})
{
}

template <typename Handler>
void TProfile_Form::Guarded(Handler&& handler)
{
    RunCommand(Handle(), std::forward<Handler>(handler));
}

void TProfile_Form::FormCreate()
{
    GB01 = AddGroupBox(L"プロファイル", {4, 8, 253, 129});
    LB1 = Add({L"LISTBOX",
               L"",
               {8, 18, 236, 101},
               WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
               WS_EX_CLIENTEDGE,
               akTopLeft,
               GB01,
               SharedFont(FontSpec{kListFontName, kWindowFontSize, SHIFTJIS_CHARSET})});
    Add_Btn = Add({L"BUTTON", L"追加(&A)", {264, 9, 69, 25}, WS_TABSTOP | BS_PUSHBUTTON});
    Edit_Btn = Add({L"BUTTON", L"編集(&E)", {264, 41, 69, 25}, WS_TABSTOP | BS_PUSHBUTTON});
    Del_Btn = Add({L"BUTTON", L"削除(&D)", {264, 73, 69, 25}, WS_TABSTOP | BS_PUSHBUTTON});
    Start_Btn = Add({L"BUTTON", L"起動(&S)", {168, 145, 80, 25}, WS_TABSTOP | BS_PUSHBUTTON});
    Cancel_Btn = Add({L"BUTTON", L"キャンセル", {254, 145, 80, 25}, WS_TABSTOP | BS_PUSHBUTTON});
    CHB1 = Add({L"BUTTON", L"起動時に表示しない", {12, 148, 137, 17}, WS_TABSTOP | BS_AUTOCHECKBOX});

    SetDefaultButton(Start_Btn);
    SetCancelButton(Cancel_Btn);
    SetModalResult(Start_Btn, mrOk);
    SetModalResult(Cancel_Btn, mrCancel);
    OnClick(Add_Btn, [this] { Guarded([this] { Add_BtnClick(); }); });
    OnClick(Edit_Btn, [this] { Guarded([this] { Edit_BtnClick(); }); });
    OnClick(Del_Btn, [this] { Guarded([this] { Del_BtnClick(); }); });

    SetLanguageSection(L"Form06",
                       {{Handle(), L"RS_001"},
                        {GB01, L"RS_002"},
                        {Add_Btn, L"RS_003"},
                        {Edit_Btn, L"RS_004"},
                        {Del_Btn, L"RS_005"},
                        {CHB1, L"RS_006"},
                        {Start_Btn, L"RS_007"},
                        {Cancel_Btn, L"RS_009"}},
                       {{LB1, L"Font01"}});
}

void TProfile_Form::FormShow()
{
    // A font from the language file does not change the designed size.
    SetClientSize(340, 178);
    RefreshList();
    const std::wstring current = StoredProfileName();
    const std::vector<std::wstring> items = Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (SameText(items[i], current)) {
            Select(static_cast<int>(i));
            break;
        }
    }
}

void TProfile_Form::RefreshList()
{
    std::vector<std::wstring> names;
    {
        // Another instance's copy or rename is seen only once it is complete.
        SettingsLock lock;
        if (RegSubKeyExists(kProgramKey, RegName::Profiles)) ListRegSubKeys(kProfilesKey, names);
    }
    SortProfileNames(names);
    ::SendMessageW(LB1, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : names) AddListItem(LB1, name);
    // Stands for the profile that start-up would create; it has no key behind it.
    if (names.empty()) AddListItem(LB1, DefaultProfileName());
    Select(0);

    const bool canDelete = names.size() > 1;
    // A button that loses its enabled state with the focus on it would leave the
    // keyboard nowhere.
    if (!canDelete && ::GetFocus() == Del_Btn)
        ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(LB1), TRUE);
    ::EnableWindow(Del_Btn, canDelete);
}

void TProfile_Form::Select(int index) { ::SendMessageW(LB1, LB_SETCURSEL, index, 0); }

std::vector<std::wstring> TProfile_Form::Items() const
{
    std::vector<std::wstring> items;
    const int count = static_cast<int>(::SendMessageW(LB1, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) items.push_back(ListItemText(LB1, i));
    return items;
}

std::wstring TProfile_Form::CheckedName(const std::wstring& typed)
{
    std::wstring name = Trim(typed);
    const ProfileNameCheck check = CheckProfileName(name, Items());
    if (check == ProfileNameCheck::Ok) return name;
    Prompt().Error(Str(check == ProfileNameCheck::Invalid ? RS_602 : RS_603));
    return L"";
}

void TProfile_Form::Add_BtnClick()
{
    std::wstring typed;
    if (!InputTextDialog(Str(RS_604), Str(RS_605), typed)) return;
    const std::wstring name = CheckedName(typed);
    if (name.empty()) return;
    // The new profile starts as a whole copy of the selected one, presets included; it
    // appears complete or not at all, and never over a profile another instance made.
    CopyKeyWhole(ProfileKey(SelectedProfile()), ProfileKey(name), false);
    AddListItem(LB1, name);
}

void TProfile_Form::Edit_BtnClick()
{
    std::wstring typed = SelectedProfile();
    if (!InputTextDialog(Str(RS_606), Str(RS_607), typed)) return;
    const std::wstring name = CheckedName(typed);
    if (name.empty()) return;
    CopyKeyWhole(ProfileKey(SelectedProfile()), ProfileKey(name), true);
    RefreshList();
    // The renamed profile may have been the current one, whose name is gone now.
    WriteRegString(kSystemKey, RegName::Profile, SelectedProfile());
}

void TProfile_Form::Del_BtnClick()
{
    // The last profile is never deleted.
    if (!::IsWindowEnabled(Del_Btn)) return;
    if (!Prompt().Ask(Str(RS_609), Str(RS_101))) return;
    EraseKeyWhole(ProfileKey(SelectedProfile()));
    RefreshList();
    WriteRegString(kSystemKey, RegName::Profile, SelectedProfile());
}

void TProfile_Form::SetDoNotShowAtStart(bool checked)
{
    CreateHandle(nullptr);
    ::SendMessageW(CHB1, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TProfile_Form::ShowModal() { return ModalForm::ShowModal(nullptr) == mrOk; }

std::wstring TProfile_Form::SelectedProfile() const
{
    const LRESULT index = ::SendMessageW(LB1, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? L"" : ListItemText(LB1, static_cast<int>(index));
}

bool TProfile_Form::DoNotShowAtStart() const { return ::SendMessageW(CHB1, BM_GETCHECK, 0, 0) == BST_CHECKED; }
