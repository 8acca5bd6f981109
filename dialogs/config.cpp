// The program settings dialog and its command.
#include "dialogs/config.h"

#include <commctrl.h>
#include <commdlg.h>

#include "core/Files.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/Shell.h"
#include "core/StringTable.h"
#include "core/Text.h"
#include "dialogs/DialogControls.h"
#include "pebuilder/Installation.h"
#include "ui/Focus.h"

namespace {

const wchar_t* const kVersionItems[] = {L"3.0.32またはそれ以前", L"3.0.33", L"3.0.34", L"3.0.35またはそれ以降"};
const wchar_t* const kPageCaptions[] = {L"PE Builder", L"Plugin Builder", L"テキストエディタ", L"外部プログラム"};
const wchar_t* const kPageKeys[] = {L"RS_004", L"RS_009", L"RS_012", L"RS_020"};
const wchar_t* const kVersionKeys[] = {L"RS_101", L"RS_102", L"RS_103", L"RS_104"};
const wchar_t* const kOpenFilter = L"実行ファイル(*.exe)|*.exe|すべてのファイル(*.*)|*.*";
const wchar_t* const kPlaceholders =
    L"@PEBuilder@, @Kitwright@, @IsoFile@, @OutDir@, @SourcePath@, @CustomDir@, @BuildISO@, @BurnCD@, "
    L"@BlankCDRW@, @Device@, @Verbose@, @ISOduplicatesonce@, @VolumeID@";
constexpr int kClientWidth = 472, kClientHeight = 324;

}  // namespace

TConfig_Form::TConfig_Form()
    : ModalForm(Design{L"TConfig_Form", L"環境設定", Extent{kClientWidth, kClientHeight}}), od1Filter_(kOpenFilter)
{
    for (int i = 0; i < 4; ++i) tabCaptions_[i] = kPageCaptions[i];
}

TConfig_Form::~TConfig_Form() = default;

HWND TConfig_Form::Label(const std::wstring& text, int x, int y, int width, int height, DWORD style)
{
    return Add({L"STATIC", text, {x, y, width, height}, SS_LEFT | style, 0, akTopLeft, target_});
}

HWND TConfig_Form::CheckBox(const std::wstring& text, int x, int y, int width)
{
    return Add({L"BUTTON", text, {x, y, width, 17}, BS_AUTOCHECKBOX | WS_TABSTOP, 0, akTopLeft, target_});
}

HWND TConfig_Form::Edit(int x, int y, int width, int height, DWORD style)
{
    return Add({L"EDIT", L"", {x, y, width, height}, WS_TABSTOP | style, WS_EX_CLIENTEDGE, akTopLeft, target_});
}

void TConfig_Form::PathEdit(TEllipsesEdit& edit, int x, int y, int width)
{
    edit.SetEditStyle(esAlwaysEllipses);
    const Box box = Scaled(Box{x, y, width, 20});
    edit.CreateEdit(target_, NewCommandId(), box.x, box.y, box.cx, box.cy);
    ::SendMessageW(edit.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
}

void TConfig_Form::FormCreate()
{
    // The page control comes first so that its pages can lie over its display area;
    // it then goes below them all, last in the tab order.
    PC1 = Add({WC_TABCONTROLW, L"", {4, 4, 464, 285}, WS_TABSTOP | WS_CLIPSIBLINGS});
    for (int page = 0; page < 3; ++page) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = tabCaptions_[page].data();
        item.lParam = page;
        ::SendMessageW(PC1, TCM_INSERTITEMW, page, reinterpret_cast<LPARAM>(&item));
    }
    for (HWND& page : page_) page = AddTabPage(PC1);

    // Boxes inside the pages, whose top-left corner lies at about 8,28 of the dialog.
    target_ = page_[0];
    auto& p1 = pages_[0];
    p1.push_back(Label1 = Label(L"インストールパス(&P):", 8, 12, 300));
    PathEdit(EE01, 8, 26, 440);
    p1.push_back(EE01.Handle());
    p1.push_back(CHB01 = CheckBox(L"PE Builder実行時に終了待ちを行う(&E)", 228, 50, 220));
    p1.push_back(Label8 = Label(L"バージョン(&V):", 8, 74, 180));
    p1.push_back(CB01 = Add({L"COMBOBOX", L"", {8, 88, 181, 160}, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                             akTopLeft, target_}));
    p1.push_back(Label4 = Label(L"ビルド時パラメータ(&B):", 8, 116, 300));
    p1.push_back(ED01 = Edit(8, 130, 440, 20));
    p1.push_back(Label5 = Label(L"ISO作成時パラメータ(&I):", 8, 156, 300));
    p1.push_back(ED02 = Edit(8, 170, 440, 20));
    p1.push_back(CHB07 = CheckBox(L"「ビルド」でのISO作成に外部プログラムを使う(&T)", 8, 198, 440));
    p1.push_back(CHB06 = CheckBox(L"「ISO作成」に外部プログラムを使う(&X)", 8, 220, 440));

    target_ = page_[1];
    pages_[1].push_back(Label2 = Label(L"インストールパス(&L):", 8, 12, 300));
    PathEdit(EE02, 8, 26, 440);
    pages_[1].push_back(EE02.Handle());
    pages_[1].push_back(CHB02 = CheckBox(L"Plugin Builder実行時に終了待ちを行う(&U)", 8, 52, 440));

    target_ = page_[2];
    pages_[2].push_back(Label3 = Label(L"実行ファイル(&E):", 8, 12, 300));
    PathEdit(EE03, 8, 26, 440);
    pages_[2].push_back(EE03.Handle());
    pages_[2].push_back(CHB03 = CheckBox(L"テキストエディタ実行時に終了待ちを行う(&T)", 8, 52, 440));

    target_ = page_[3];
    pages_[3].push_back(Label6 = Label(L"パラメータ(&P):", 8, 12, 300));
    // No ES_WANTRETURN: Enter presses the default button.
    pages_[3].push_back(Memo1 = Edit(8, 26, 437, 125, ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL));
    pages_[3].push_back(Label7 = Label(L"有効な変数:", 8, 158, 300));
    pages_[3].push_back(Label9 = Label(kPlaceholders, 8, 174, 425, 73, SS_NOPREFIX));
    target_ = nullptr;

    Button1 = Add({L"BUTTON", L"OK", {308, 295, 75, 25}, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP});
    Button2 = Add({L"BUTTON", L"キャンセル", {389, 295, 75, 25}, BS_PUSHBUTTON | WS_TABSTOP});
    SetDefaultButton(Button1);
    SetCancelButton(Button2);
    SetModalResult(Button1, mrOk);
    SetModalResult(Button2, mrCancel);
    ::SetWindowPos(PC1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowPageControls(0);

    // Without a language file the built-in version names stay.
    const bool language = LanguageFileExists();
    for (int i = 0; i < 4; ++i) {
        std::wstring text = language ? ReadLanguageCaption(L"Form02", kVersionKeys[i]) : kVersionItems[i];
        ::SendMessageW(CB01, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }

    EE01.OnButtonClick = [this](TEllipsesEdit& sender) { EE_ButtonClick(sender); };
    EE02.OnButtonClick = [this](TEllipsesEdit& sender) { EE_ButtonClick(sender); };
    EE03.OnButtonClick = [this](TEllipsesEdit&) { EE_ButtonClick2(); };
    OnClick(CHB06, [this] { CHB06Click(); });
    OnClick(CHB07, [this] { CHB06Click(); });
    On(CB01, CBN_SELCHANGE, [this] { CB01Change(); });

    std::vector<CaptionBinding> captions = {
        {Handle(), L"RS_001"}, {Button1, L"RS_002"},
        {Button2, L"RS_003"},  {Label1, L"RS_005"},
        {CHB01, L"RS_006"},    {CHB06, L"RS_008"},
        {Label4, L"RS_017"},   {Label5, L"RS_018"},
        {Label2, L"RS_010"},   {CHB02, L"RS_011"},
        {Label3, L"RS_013"},   {CHB03, L"RS_014"},
        {Label8, L"RS_019"},   {Label6, L"RS_021"},
        {Label7, L"RS_022"},   {Label9, L"RS_023"},
        {CHB07, L"RS_024"},    {L"RS_015", [this](const std::wstring& text) { od1Filter_ = text; }},
    };
    for (int page = 0; page < 4; ++page) {
        captions.emplace_back(kPageKeys[page], [this, page](const std::wstring& text) {
            tabCaptions_[page] = text;
            SetPageVisible(page, pageShown_[page]);
        });
    }
    SetLanguageSection(L"Form02", std::move(captions));
    Load(loaded_);
}

void TConfig_Form::Load(const ProgramSettingsFields& f)
{
    loaded_ = f;
    if (!Handle()) return;  // the controls take the values when they are made
    EE01.SetText(f.PEBuilder);
    EE02.SetText(f.PluginBuilder);
    EE03.SetText(f.TextEditor);
    SetChecked(CHB01, f.PEB_WAIT);
    SetChecked(CHB02, f.PLB_WAIT);
    SetChecked(CHB03, f.TE_WAIT);
    SetChecked(CHB06, f.UseExtProgram_ISO);
    SetChecked(CHB07, f.UseExtProgram_BLD);
    ::SendMessageW(CB01, CB_SETCURSEL, f.PEB_VER, 0);
    ::SetWindowTextW(ED01, f.BuildParams.c_str());
    ::SetWindowTextW(ED02, f.ISOParams.c_str());
    ::SetWindowTextW(Memo1, f.ExternalProgram.c_str());
}

ProgramSettingsFields TConfig_Form::Fields() const
{
    ProgramSettingsFields f;
    f.PEBuilder = EE01.Text();
    f.PluginBuilder = EE02.Text();
    f.TextEditor = EE03.Text();
    f.PEB_WAIT = Checked(CHB01);
    f.PLB_WAIT = Checked(CHB02);
    f.TE_WAIT = Checked(CHB03);
    f.UseExtProgram_ISO = Checked(CHB06);
    f.UseExtProgram_BLD = Checked(CHB07);
    f.PEB_VER = static_cast<int>(::SendMessageW(CB01, CB_GETCURSEL, 0, 0));
    f.BuildParams = TextOf(ED01);
    f.ISOParams = TextOf(ED02);
    f.ExternalProgram = TextOf(Memo1);
    return f;
}

void TConfig_Form::FormShow()
{
    // A font from the language file does not resize the dialog.
    SetClientSize(kClientWidth, kClientHeight);
    ShowPage(0);
    CHB06Click();
}

int TConfig_Form::PageOfTab(int tab) const
{
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!::SendMessageW(PC1, TCM_GETITEMW, tab, reinterpret_cast<LPARAM>(&item))) return -1;
    return static_cast<int>(item.lParam);
}

void TConfig_Form::SetPageVisible(int page, bool visible)
{
    pageShown_[page] = visible;
    if (!PC1) return;
    int count = static_cast<int>(::SendMessageW(PC1, TCM_GETITEMCOUNT, 0, 0));
    int tab = -1, before = count;
    for (int i = count - 1; i >= 0; --i) {
        int p = PageOfTab(i);
        if (p == page) tab = i;
        if (p > page) before = i;
    }
    if (visible) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = tabCaptions_[page].data();
        item.lParam = page;
        if (tab >= 0)
            ::SendMessageW(PC1, TCM_SETITEMW, tab, reinterpret_cast<LPARAM>(&item));
        else
            ::SendMessageW(PC1, TCM_INSERTITEMW, before, reinterpret_cast<LPARAM>(&item));
    } else if (tab >= 0) {
        ::SendMessageW(PC1, TCM_DELETEITEM, tab, 0);
        if (current_ == page) ShowPage(0);
    }
}

void TConfig_Form::ShowPage(int page)
{
    if (page < 0 || page > 3 || !pageShown_[page]) return;
    int count = static_cast<int>(::SendMessageW(PC1, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (PageOfTab(i) == page) ::SendMessageW(PC1, TCM_SETCURSEL, i, 0);
    ShowPageControls(page);
}

bool TConfig_Form::PageShown(int page) const { return page >= 0 && page < 4 && pageShown_[page]; }

void TConfig_Form::ShowPageControls(int shown)
{
    current_ = shown;
    // The focus must not stay behind on a page that is hidden.
    for (int p = 0; p < 4; ++p)
        if (p != shown) MoveFocusOff(page_[p]);
    for (int p = 0; p < 4; ++p) ::ShowWindow(page_[p], p == shown ? SW_SHOW : SW_HIDE);
}

LRESULT TConfig_Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == PC1 && header->code == TCN_SELCHANGE) {
            ShowPageControls(PageOfTab(static_cast<int>(::SendMessageW(PC1, TCM_GETCURSEL, 0, 0))));
            return 0;
        }
    }
    return ModalForm::OnMessage(message, wParam, lParam);
}

void TConfig_Form::CHB06Click()
{
    ExternalProgramState state = ExternalProgramStateOf(Checked(CHB06), Checked(CHB07), Checked(CHB01));
    EnableControl(CHB01, state.waitEnabled);
    SetChecked(CHB01, state.waitChecked);
    SetPageVisible(3, state.pageShown);
}

void TConfig_Form::CB01Change()
{
    if (::SendMessageW(CB01, CB_GETCURSEL, 0, 0) < 1) return;
    ::SetWindowTextW(ED01, kUnattendedBuildParams.c_str());
    ::SetWindowTextW(ED02, kUnattendedIsoParams.c_str());
}

void TConfig_Form::EE_ButtonClick(TEllipsesEdit& sender)
{
    std::wstring folder = sender.Text();
    if (BrowseForFolder(Handle(), Str(RS_201), folder, false)) sender.SetText(folder);
}

void TConfig_Form::EE_ButtonClick2()
{
    std::wstring initialDir = EditorDialogFolder(EE03.Text());
    std::wstring filter = FileDialogFilter(od1Filter_);
    std::wstring file(MAX_PATH, L'\0');
    OPENFILENAMEW od{};
    od.lStructSize = sizeof od;
    od.hwndOwner = Handle();
    od.lpstrFilter = filter.c_str();
    od.nFilterIndex = 1;
    od.lpstrFile = file.data();
    od.nMaxFile = static_cast<DWORD>(file.size());
    od.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    od.lpstrDefExt = L"EXE";
    // The current folder stays: a bare editor name is looked for there on OK.
    od.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    EnsureOle();  // the dialog shows the shell's namespace
    if (!::GetOpenFileNameW(&od)) return;
    file.resize(file.find(L'\0'));
    EE03.SetText(file);
}

bool TConfig_Form::FormCloseQuery()
{
    if (ModalResult() != mrOk) return true;
    ProgramSettingsFields f = Fields();
    bool ok = CheckProgramSettings(f, [](const std::wstring& path) { return FileExists(path); });
    EE01.SetText(f.PEBuilder);
    EE02.SetText(f.PluginBuilder);
    if (!ok) {
        ShowPage(0);
        ::SetFocus(EE01.Handle());
        Prompt().Error(Str(RS_202));
        return false;
    }
    EE03.SetText(f.TextEditor);
    return true;
}

bool P1Click(MainFormView& main, TCurrentSettings& settings)
{
    TConfig_Form form;
    form.Load(FieldsFromSettings(settings));
    if (form.ShowModal(main.Owner()) != mrOk) return false;
    ApplyProgramSettings(form.Fields(), settings);
    SaveProgramSettings(settings);
    RefreshAfterSettingsChange(main, settings);
    // Plugin Builder then edits the plug-ins of the installation just chosen. After the
    // refresh: a settings file it cannot take must not leave the window showing the
    // settings before.
    WritePluginBuilderPluginPath(settings.PluginBuilder, settings.PEBuilder);
    return true;
}
