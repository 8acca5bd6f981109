// The preset editor: its controls, first show, name check, Apply, and the commands that
// open a plug-in's files.
#include "dialogs/preset.h"

#include <algorithm>

#include "core/Error.h"
#include "core/Files.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/Process.h"
#include "core/Registry.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "pebuilder/Installation.h"
#include "pebuilder/PluginEntry.h"
#include "pebuilder/PluginTools.h"
#include "pebuilder/Plugins.h"
#include "pebuilder/PresetRules.h"
#include "pebuilder/PresetStore.h"
#include "ui/Focus.h"

namespace {

// CLB1's id is fixed: its first WM_MEASUREITEM comes while it is being created.
constexpr int kCheckListId = 900;
constexpr unsigned akTopRight = akTop | akRight;
constexpr unsigned akBottomRight = akBottom | akRight;

std::wstring TextOf(HWND window)
{
    std::wstring text(::GetWindowTextLengthW(window), L'\0');
    if (!text.empty()) text.resize(::GetWindowTextW(window, text.data(), static_cast<int>(text.size() + 1)));
    return text;
}

void SetTextOf(HWND window, const std::wstring& text) { ::SetWindowTextW(window, text.c_str()); }

bool IsDisplayNameBefore(const StringListItem& a, const StringListItem& b)
{
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.Text.c_str(), static_cast<int>(a.Text.size()),
                            b.Text.c_str(), static_cast<int>(b.Text.size())) == CSTR_LESS_THAN;
}

// Programs that cannot be started, and shell requests that fail, are not reported: the
// user sees that nothing opened, and the editor goes on.
void RunQuietly(const std::wstring& commandLine, bool wait)
{
    try {
        RunProgram(commandLine, wait);
    } catch (const AppError&) {
    }
}

}  // namespace

// The frame around the name and the list. A plain frame static leaves its inside
// unpainted, and the panel, which clips its children, does not paint there either: this
// one fills its inside with the face colour. Clipped by its siblings, it never paints
// over the controls it frames.
class TPreset_Form::Bevel : public Window {
public:
    void BindNext() { BindNextWindow(WindowClass{L"KitwrightBevel", L"STATIC"}); }

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_ERASEBKGND) return Default(message, wParam, lParam);
        RECT client;
        ::GetClientRect(Handle(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
};

TPreset_Form::TPreset_Form(const TCurrentSettings& settings)
    : ModalForm(Design{L"TPreset_Form",
                       L"プリセット設定",
                       {592, 446},
                       WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX}),
      settings_(settings),
      bevel_(std::make_unique<Bevel>())
{
    RememberPlace({PresetsKey(settings), 446, 592, GeometryOrder::SizeFirst});
}

// The window goes first, while the bevel object it is bound to still exists.
TPreset_Form::~TPreset_Form()
{
    if (Handle()) ::DestroyWindow(Handle());
}

void TPreset_Form::FormCreate()
{
    Panel1 = AddPanel({0, 0, 592, 446}, Align::alClient);
    auto button = [&](const wchar_t* text, Box box, unsigned anchors, DWORD style = 0) {
        return Add({L"BUTTON", text, box, WS_TABSTOP | BS_PUSHBUTTON | style, 0, anchors, Panel1});
    };
    // Creation order is tab order; each label comes just before the control its access
    // key moves to.
    Label2 = Add({L"STATIC", L"プラグイン一覧(&P):", {10, 52, 300, 13}, SS_LEFT, 0, akTopLeft, Panel1});
    CLB1.BindNext();
    Add({TCheckListBox::kClassName,
         L"",
         {8, 68, 430, 368},
         TCheckListBox::kStyle,
         WS_EX_CLIENTEDGE,
         akAll,
         Panel1,
         SharedFont(FontSpec{kListFontName, kListFontSize, SHIFTJIS_CHARSET}),
         kCheckListId});
    Label1 = Add({L"STATIC", L"プリセット名(&N):", {10, 8, 300, 13}, SS_LEFT, 0, akTopLeft, Panel1});
    ED01 = Add(
        {L"EDIT", L"", {8, 24, 430, 21}, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, akLeft | akTopRight, Panel1});
    Button7 = button(L"リロード(&R)", {449, 8, 137, 22}, akTopRight);
    // The item buttons keep to the right edge like Button7, so that the list, which
    // widens with the window, never slides under them.
    Button1 = button(L"有効/無効(&E)", {449, 48, 137, 22}, akTopRight);
    Button4 = button(L"ヘルプファイルを読む(&H)", {449, 76, 137, 22}, akTopRight);
    Button10 = button(L"環境設定(&C)", {449, 104, 137, 22}, akTopRight);
    Button5 = button(L"Plugin Builderで開く(&L)", {449, 144, 137, 22}, akTopRight);
    Button6 = button(L"テキストエディタで開く(&T)", {449, 172, 137, 22}, akTopRight);
    Button8 = button(L"Pluginフォルダを開く(&F)", {449, 200, 137, 22}, akTopRight);
    Button9 = button(L"OK", {453, 359, 133, 22}, akBottomRight);
    Button2 = button(L"適用(&A)", {453, 387, 133, 22}, akBottomRight, WS_DISABLED);
    Button3 = button(L"キャンセル", {453, 415, 133, 22}, akBottomRight);
    // Last, so that it lies beneath the controls it frames.
    bevel_->BindNext();
    Bevel1 = Add({L"KitwrightBevel", L"", {4, 4, 440, 440}, SS_ETCHEDFRAME | WS_CLIPSIBLINGS, 0, akAll, Panel1});

    SetDefaultButton(Button9);
    SetModalResult(Button9, mrOk);
    SetCancelButton(Button3);
    SetModalResult(Button3, mrCancel);
    On(ED01, EN_CHANGE, [this] { ED01Change(); });
    On(kCheckListId, LBN_SELCHANGE, [this] { CLB_Click(); });
    CLB1.OnClickCheck = [this](size_t) { CLB1ClickCheck(); };
    OnClick(Button1, [this] { Guarded([this] { Button1Click(); }); });
    OnClick(Button2, [this] { Guarded([this] { Button2Click(); }); });
    OnClick(Button4, [this] { Guarded([this] { Button4Click(); }); });
    OnClick(Button5, [this] { Guarded([this] { Button5Click(); }); });
    OnClick(Button6, [this] { Guarded([this] { Button6Click(); }); });
    OnClick(Button7, [this] { Guarded([this] { Button7Click(); }); });
    OnClick(Button8, [this] { Guarded([this] { Button8Click(); }); });
    OnClick(Button10, [this] { Guarded([this] { Button10Click(); }); });

    SetLanguageSection(L"Form04",
                       {{Handle(), L"RS_001"},
                        {Label1, L"RS_002"},
                        {Label2, L"RS_003"},
                        {Button1, L"RS_004"},
                        {Button9, L"RS_005"},
                        {Button3, L"RS_006"},
                        {Button4, L"RS_007"},
                        {Button5, L"RS_008"},
                        {Button6, L"RS_009"},
                        {Button7, L"RS_010"},
                        {Button8, L"RS_011"},
                        {Button2, L"RS_012"},
                        {Button10, L"RS_013"}},
                       {ListFont{CLB1.Handle(), L"Font02"}});
}

LRESULT TPreset_Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_LISTBOX || item->CtlID != kCheckListId) break;
        CLB1.MeasureItem(*item);
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_LISTBOX || item->CtlID != kCheckListId) break;
        CLB1.DrawItem(*item);
        return TRUE;
    }
    default: break;
    }
    return ModalForm::OnMessage(message, wParam, lParam);
}

void TPreset_Form::SetCatalogue(StringList catalogue)
{
    // Deleted from the last to the first, as the entries' owner frees them.
    for (size_t i = catalogue_.size(); i-- > 0;) DeleteListEntry(catalogue_, i);
    catalogue_ = std::move(catalogue);
    std::stable_sort(catalogue_.begin(), catalogue_.end(), IsDisplayNameBefore);
    std::vector<std::wstring> texts;
    texts.reserve(catalogue_.size());
    for (const StringListItem& item : catalogue_) texts.push_back(item.Text);
    CLB1.SetItems(texts);
}

std::wstring TPreset_Form::PresetName() const { return TextOf(ED01); }

void TPreset_Form::SetPresetName(const std::wstring& name) { SetTextOf(ED01, name); }

std::vector<std::wstring> TPreset_Form::CheckedPluginKeys() const
{
    std::vector<std::wstring> keys;
    for (size_t i = 0; i < catalogue_.size(); ++i)
        if (CLB1.Checked(i)) keys.push_back(PluginKeyOf(catalogue_[i].Data, settings_.PEBuilder));
    return keys;
}

template <typename Handler>
void TPreset_Form::Guarded(Handler&& handler)
{
    RunCommand(Handle(), std::forward<Handler>(handler));
}

const TDataStruct* TPreset_Form::SelectedEntry() const
{
    int index = CLB1.Selected();
    return index >= 0 && static_cast<size_t>(index) < catalogue_.size() ? &catalogue_[index].Data : nullptr;
}

void TPreset_Form::FormShow()
{
    Applied = false;
    if (EditMode)
        OriginalName = PresetName();
    else
        SetPresetName(Str(RS_301));
    LoadCheckStates();
    CLB_Click();
    // Setting the name counted as a change; nothing is to apply yet.
    EnableControl(Button2, false);
}

void TPreset_Form::LoadCheckStates()
{
    if (!EditMode) {
        for (size_t i = 0; i < catalogue_.size(); ++i) CLB1.SetChecked(i, catalogue_[i].Data.Enabled);
        return;
    }
    // A name that names no single preset key (empty, or with a backslash) would read
    // the Preset key itself, or one below another preset. A preset stored as "none"
    // (made outside the program) is one like any other.
    const std::wstring name = PresetName();
    if (!IsPresetKeyName(name)) return;
    const std::vector<std::wstring> keys = LoadPresetPluginKeys(settings_, name);
    for (size_t i = 0; i < catalogue_.size(); ++i)
        if (PresetHasKey(keys, PluginKeyOf(catalogue_[i].Data, settings_.PEBuilder))) CLB1.SetChecked(i, true);
}

void TPreset_Form::CLB_Click()
{
    const TDataStruct* entry = SelectedEntry();
    for (HWND b : {Button1, Button4, Button5, Button6, Button8, Button10}) EnableControl(b, entry != nullptr);
    if (!entry) return;
    EnableControl(Button4, FileExists(entry->HelpFile));
    EnableControl(Button5,
                  !settings_.PluginBuilder.empty() && FileExists(PluginBuilderExePath(settings_.PluginBuilder)));
    EnableControl(Button10, !entry->ConfigCommand.empty());
}

void TPreset_Form::CLB1ClickCheck() { ::EnableWindow(Button2, TRUE); }

void TPreset_Form::ED01Change() { ::EnableWindow(Button2, TRUE); }

bool TPreset_Form::RefuseName(const std::wstring& message)
{
    ::SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ED01), TRUE);
    Prompt().Error(message);
    return false;
}

bool TPreset_Form::ValidatePresetName()
{
    const std::wstring typed = PresetName();
    const std::wstring name = Trim(typed);
    if (name != typed) SetPresetName(name);
    // A preset stored under a name the rules refuse ("none") may keep it.
    const bool ownOddName = EditMode && name == OriginalName && IsPresetKeyName(name);
    if (!IsStorablePresetName(name) && !ownOddName) return RefuseName(Str(RS_302));
    if (UpperCase(name) != UpperCase(OriginalName) && RegSubKeyExists(PresetsKey(settings_), name))
        return RefuseName(Str(RS_303));
    return true;
}

bool TPreset_Form::FormCloseQuery()
{
    const std::wstring typed = PresetName();
    const std::wstring name = Trim(typed);
    if (name != typed) SetPresetName(name);
    return ModalResult() != mrOk || ValidatePresetName();
}

void TPreset_Form::Button1Click()
{
    int index = CLB1.Selected();
    if (index >= 0) CLB1.SetChecked(static_cast<size_t>(index), !CLB1.Checked(static_cast<size_t>(index)));
}

void TPreset_Form::Button2Click()
{
    if (!ValidatePresetName()) return;
    // Until the selection is written whole there is none to keep: a Cancel after a
    // failed Apply stores nothing rather than part of a selection.
    Applied = false;
    WriteAppliedSelection(CheckedPluginKeys());
    Applied = true;
    AppliedName = PresetName();
    // Apply had the focus when it was pressed; OK takes it on.
    EnableControl(Button2, false);
}

void TPreset_Form::Button4Click()
{
    if (const TDataStruct* entry = SelectedEntry()) ShellOpen(Handle(), HelpFileToOpen(*entry));
}

void TPreset_Form::Button5Click()
{
    if (const TDataStruct* entry = SelectedEntry())
        RunQuietly(PluginBuilderCommandLine(settings_.PluginBuilder, entry->FullPath), settings_.PLB_WAIT);
}

void TPreset_Form::Button6Click()
{
    if (const TDataStruct* entry = SelectedEntry())
        RunQuietly(TextEditorCommandLine(settings_.TextEditor, entry->FullPath), settings_.TE_WAIT);
}

void TPreset_Form::Button7Click()
{
    CLB1.BeginUpdate();
    try {
        StringList fresh;
        ScanPluginFolder(PluginFolderPath(settings_.PEBuilder), fresh);
        SetCatalogue(std::move(fresh));
        LoadCheckStates();
    } catch (...) {
        CLB1.EndUpdate();
        throw;
    }
    CLB1.EndUpdate();
    // Nothing is selected now: the item buttons say so.
    CLB_Click();
}

void TPreset_Form::Button8Click()
{
    if (const TDataStruct* entry = SelectedEntry()) ShellOpen(Handle(), IncludeTrailingBackslash(entry->Folder));
}

void TPreset_Form::Button10Click()
{
    const TDataStruct* entry = SelectedEntry();
    if (!entry) return;
    std::wstring commandLine = PluginConfigCommandLine(*entry);
    if (!commandLine.empty()) RunQuietly(commandLine, false);
}
