// The PE Builder settings dialog and its command.
#include "dialogs/config2.h"

#include "core/Files.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/Registry.h"
#include "core/Settings.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "dialogs/DialogControls.h"
#include "pebuilder/InputInf.h"
#include "pebuilder/Installation.h"
#include "ui/CdDriveList.h"
#include "ui/Focus.h"

#include <imm.h>

namespace {

constexpr int kClientWidth = 472, kClientHeight = 486;
constexpr int kVolumeIdLength = 32;

}  // namespace

TConfig2_Form::TConfig2_Form(std::wstring peBuilder, int versionClass, bool preset)
    : ModalForm(Design{L"TConfig2_Form", L"PE Builderの環境設定", Extent{kClientWidth, kClientHeight}}),
      peBuilder_(std::move(peBuilder)),
      class_(VersionClassOf(versionClass)),
      preset_(preset)
{
}

TConfig2_Form::~TConfig2_Form() = default;

HWND TConfig2_Form::Label(const std::wstring& text, int x, int y, int width, DWORD style)
{
    return Add({L"STATIC", text, {x, y, width, 12}, SS_LEFT | style});
}

HWND TConfig2_Form::CheckBox(const std::wstring& text, int x, int y, int width)
{
    return Add({L"BUTTON", text, {x, y, width, 17}, BS_AUTOCHECKBOX | WS_TABSTOP});
}

void TConfig2_Form::PathEdit(TEllipsesEdit& edit, int x, int y)
{
    edit.SetEditStyle(esAlwaysEllipses);
    const Box box = Scaled(Box{x, y, 448, 20});
    edit.CreateEdit(Handle(), NewCommandId(), box.x, box.y, box.cx, box.cy);
    ::SendMessageW(edit.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    edit.OnButtonClick = [this](TEllipsesEdit& sender) { EE_ButtonClick(sender); };
}

void TConfig2_Form::FormCreate()
{
    Label1 = Label(L"ソースパス(&S):", 12, 10, 448);
    PathEdit(EE01, 12, 24);
    RB1 = Add({L"BUTTON", L"絶対パス指定(&A)", {12, 50, 200, 17}, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP});
    RB2 = Add({L"BUTTON", L"相対パス指定(&P)", {220, 50, 200, 17}, BS_AUTORADIOBUTTON});
    Label2 = Label(L"", 12, 74, 448, WS_GROUP);  // ends the radio group
    PathEdit(EE02, 12, 88);
    Label3 = Label(L"ISOファイル出力パス(&I):", 12, 116, 448);
    PathEdit(EE03, 12, 130);
    Label5 = Label(L"ISOファイル名(&F):", 12, 158, 448);
    ED01 = Add({L"EDIT", L"", {12, 172, 448, 20}, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE});
    Label4 = Label(L"カスタムファイルパス(&C):", 12, 200, 448);
    PathEdit(EE04, 12, 214);
    CHB02 = CheckBox(L"バーボーズモード(&V)", 12, 246, 300);
    CHB05 = CheckBox(L"レジストリをビルドしない(&R)", 12, 266, 300);
    CHB04 = CheckBox(L"ファイルをビルドしない(&L)", 12, 286, 300);
    CHB01 = CheckBox(L"ビルド時にISOイメージを生成する(&O)", 12, 312, 300);
    Label7 = Label(L"ボリュームID(&O):", 32, 337, 96);
    ED02 = Add({L"EDIT", L"", {130, 334, 200, 20}, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE});
    CHB08 = CheckBox(L"ストレージの最適化を行う(&G)", 32, 360, 300);
    CHB06 = CheckBox(L"ISOイメージをCDに焼く(&T)", 32, 382, 300);
    Label6 = Label(L"ドライブ(&V):", 52, 407, 76);
    CB01 = Add({L"COMBOBOX", L"", {130, 404, 250, 200}, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP});
    CHB07 = CheckBox(L"CD-RWに焼く前に消去する(&W)", 52, 430, 300);
    CHB03 = CheckBox(L"個別の環境を使用する(&E)", 12, 458, 250);
    Button1 = Add({L"BUTTON", L"OK", {304, 454, 75, 25}, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP});
    Button2 = Add({L"BUTTON", L"キャンセル", {385, 454, 75, 25}, BS_PUSHBUTTON | WS_TABSTOP});
    SetDefaultButton(Button1);
    SetCancelButton(Button2);
    SetModalResult(Button1, mrOk);
    SetModalResult(Button2, mrCancel);
    ::SendMessageW(ED02, EM_LIMITTEXT, kVolumeIdLength, 0);
    // A volume ID is plain letters and digits: the input method stays off in it.
    ::ImmAssociateContext(ED02, nullptr);

    OnClick(RB1, [this] { RB_Click(); });
    OnClick(RB2, [this] { RB_Click(); });
    OnClick(CHB01, [this] { CHB01Click(); });
    OnClick(CHB06, [this] { CHB06Click(); });

    SetLanguageSection(L"Form05", {{Handle(), L"RS_001"},
                                   {Label1, L"RS_002"},
                                   {Label3, L"RS_004"},
                                   {Label4, L"RS_005"},
                                   {Label5, L"RS_006"},
                                   {CHB01, L"RS_007"},
                                   {CHB02, L"RS_008"},
                                   {Button1, L"RS_009"},
                                   {Button2, L"RS_010"},
                                   {CHB03, L"RS_011"},
                                   {CHB04, L"RS_012"},
                                   {CHB05, L"RS_013"},
                                   {CHB06, L"RS_015"},
                                   {CHB07, L"RS_016"},
                                   {RB1, L"RS_017"},
                                   {RB2, L"RS_018"},
                                   {Label6, L"RS_019"},
                                   {Label7, L"RS_020"},
                                   {CHB08, L"RS_021"}});

    // The start state; the version class enables what its PE Builder knows. The drive
    // list is of use only where there is a drive to choose.
    for (HWND control : {CHB04, CHB05, CHB06, CHB07, CHB08, RB1, RB2, Label6, Label7, ED02, CB01})
        ::EnableWindow(control, FALSE);
    if (class_ >= 1)
        for (HWND control : {CHB04, CHB05}) ::EnableWindow(control, TRUE);
    if (class_ >= 2)
        for (HWND control : {CHB06, CHB07, CB01, Label6, Label7, ED02, CHB08}) ::EnableWindow(control, TRUE);
    if (class_ == 3)
        for (HWND control : {RB1, RB2}) ::EnableWindow(control, TRUE);
    ::ShowWindow(CHB03, preset_ ? SW_SHOW : SW_HIDE);

    Load(loaded_, ownSettings_);
    if (class_ >= 2) FillDrives();
}

void TConfig2_Form::Load(const InputSettingsFields& f, bool ownSettings)
{
    loaded_ = f;
    ownSettings_ = ownSettings;
    if (!Handle()) return;  // the controls take the values when they are made
    EE01.SetText(f.source);
    EE02.SetText(f.outdir);
    EE03.SetText(f.isoFolder);
    ::SetText(ED01, f.isoName);
    EE04.SetText(f.customdir);
    ::SetText(ED02, f.volumeid);
    SetChecked(CHB01, f.buildiso);
    SetChecked(CHB02, f.verbose);
    SetChecked(CHB03, ownSettings);
    SetChecked(CHB04, f.skipfiles);
    SetChecked(CHB05, f.skipregistry);
    SetChecked(CHB06, f.burncd);
    SetChecked(CHB07, f.blankcdrw);
    SetChecked(CHB08, f.ISOduplicatesonce);
    SetChecked(RB1, f.absoluteOutput);
    SetChecked(RB2, !f.absoluteOutput);
    absolute_ = f.absoluteOutput;
}

void TConfig2_Form::FillDrives()
{
    EnsureOle();  // the system's management service is asked through COM
    FillCdDriveList(CB01);
    int count = static_cast<int>(::SendMessageW(CB01, CB_GETCOUNT, 0, 0));
    if (count == 0) return;
    ::SendMessageW(CB01, CB_SETCURSEL, 0, 0);
    for (int i = 0; i < count; ++i) {
        if (CdDriveRecOf(CB01, i).Address == loaded_.device) {
            ::SendMessageW(CB01, CB_SETCURSEL, i, 0);
            break;
        }
    }
}

void TConfig2_Form::FormDestroy()
{
    if (!CB01) return;
    for (int i = static_cast<int>(::SendMessageW(CB01, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i) DeleteCdDriveItem(CB01, i);
}

InputSettingsFields TConfig2_Form::Fields() const
{
    InputSettingsFields f;
    f.source = EE01.Text();
    f.outdir = EE02.Text();
    f.isoFolder = EE03.Text();
    f.isoName = TextOf(ED01);
    f.customdir = EE04.Text();
    f.absoluteOutput = Absolute();
    f.buildiso = Checked(CHB01);
    f.verbose = Checked(CHB02);
    f.skipfiles = Checked(CHB04);
    f.skipregistry = Checked(CHB05);
    f.burncd = Checked(CHB06);
    f.blankcdrw = Checked(CHB07);
    f.ISOduplicatesonce = Checked(CHB08);
    f.volumeid = TextOf(ED02);
    if (auto address = SelectedDeviceAddress()) f.device = *address;
    return f;
}

bool TConfig2_Form::UseOwnSettings() const { return Checked(CHB03); }

std::optional<std::wstring> TConfig2_Form::SelectedDeviceAddress() const
{
    int index = static_cast<int>(::SendMessageW(CB01, CB_GETCURSEL, 0, 0));
    if (index < 0) return std::nullopt;
    return CdDriveRecOf(CB01, index).Address;
}

bool TConfig2_Form::Absolute() const { return Checked(RB1); }

void TConfig2_Form::FormShow()
{
    UpdateLabel2();
    // A font from the language file does not resize the dialog.
    SetClientSize(kClientWidth, kClientHeight);
    CHB01Click();
    CHB06Click();
    shown_ = true;
}

void TConfig2_Form::UpdateLabel2()
{
    OutputLabelTexts texts;
    texts.languageFile = LanguageFileExists();
    if (texts.languageFile) {
        texts.pattern = ReadLanguageCaption(L"Form05", L"RS_003", L"%s");
        texts.relative = ReadLanguageCaption(L"Form05", L"RS_014");
    }
    ::SetText(Label2, OutputLabelText(Absolute(), texts));
}

void TConfig2_Form::CHB01Click()
{
    if (class_ < 2) return;
    const bool on = Checked(CHB01);
    for (HWND control : {Label7, ED02, CHB06, CHB07, Label6, CHB08}) EnableControl(control, on);
    if (!on)
        for (HWND box : {CHB06, CHB07, CHB08}) SetChecked(box, false);
    // CHB07 (blank a CD-RW before burning) means nothing without CHB06 (burn): enabling
    // it with the rest would let "blank but do not burn" be ticked and saved, a state
    // that CHB06's own rule never allows. So CHB06's rule decides it here too.
    if (on) CHB06Click();
}

void TConfig2_Form::CHB06Click()
{
    const bool on = Checked(CHB06);
    EnableControl(CHB07, on);
    if (!on) SetChecked(CHB07, false);
}

void TConfig2_Form::RB_Click()
{
    if (!shown_) return;
    const bool absolute = Absolute();
    // A click on the radio already chosen changes nothing.
    if (absolute == absolute_) return;
    absolute_ = absolute;
    UpdateLabel2();
    EE02.SetText(absolute ? OutputToAbsolute(peBuilder_, EE02.Text()) : OutputToRelative(peBuilder_, EE02.Text()));
}

void TConfig2_Form::EE_ButtonClick(TEllipsesEdit& sender)
{
    StringId prompt = &sender == &EE01 ? RS_406 : &sender == &EE02 ? RS_407 : &sender == &EE03 ? RS_408 : RS_409;
    const bool output = &sender == &EE02;
    std::wstring folder = output ? OutputBrowseStart(peBuilder_, sender.Text(), Absolute()) : sender.Text();
    if (!BrowseForFolder(Handle(), Str(prompt), folder, true)) return;
    sender.SetText(output ? OutputBrowseResult(peBuilder_, folder, Absolute()) : folder);
}

bool TConfig2_Form::FormCloseQuery()
{
    if (ModalResult() != mrOk) return true;
    InputCheck check =
        CheckInputSettings(Fields(), peBuilder_, [](const std::wstring& p) { return DirectoryExists(p); });
    HWND field = nullptr;
    switch (check.field) {
    case InputField::None: break;
    case InputField::Source: field = EE01.Handle(); break;
    case InputField::OutDir: field = EE02.Handle(); break;
    case InputField::IsoFolder: field = EE03.Handle(); break;
    case InputField::IsoName: field = ED01; break;
    case InputField::CustomDir: field = EE04.Handle(); break;
    }
    if (field) {
        ::SetFocus(field);
        Prompt().Error(Str(check.message));
        return false;
    }
    ::SetText(ED02, UpperCase(TextOf(ED02)));
    return true;
}

bool P2Click(MainFormView& main, const TCurrentSettings& settings)
{
    const bool preset = main.SelectedIndex() >= 1;
    const std::wstring presetName = preset ? main.SelectedText() : L"";
    const std::wstring key = preset ? PresetSettingsKey(settings, presetName) : L"";
    const std::wstring inf = InputInfPath(settings.PEBuilder);
    const int cls = VersionClassOf(settings.PEB_VER);
    const bool own = preset && PresetHasOwnSettings(settings, presetName);

    TConfig2_Form form(settings.PEBuilder, cls, preset);
    form.Load(own ? LoadInputSettingsFromRegistry(key, cls) : LoadInputSettingsFromFile(inf, cls), own);
    if (form.ShowModal(main.Owner()) != mrOk) return false;

    if (preset && !form.UseOwnSettings()) {
        // The preset goes back to input.inf; what the dialog showed is dropped.
        ErasePresetSettings(key);
    } else {
        std::vector<InputWrite> writes = InputSettingsWrites(form.Fields(), cls, form.SelectedDeviceAddress());
        if (preset)
            SaveInputSettingsToRegistry(key, writes);
        else
            SaveInputSettingsToFile(inf, writes);
    }
    main.LB_Click();
    return true;
}
