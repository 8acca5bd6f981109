// The main window: its controls, menus and actions, the first show with the profile's
// settings and the first-run checks, the preset list and its selection handler, and
// the message loop.
#include "app/MainForm.h"

#include <algorithm>

#include "app/ToggleCells.h"
#include "core/Files.h"
#include "core/Language.h"
#include "core/Messages.h"
#include "core/StringTable.h"
#include "pebuilder/Installation.h"
#include "pebuilder/PresetStore.h"
#include "pebuilder/SettingsSource.h"
#include "ui/Focus.h"

namespace {

// The toggle grid and the custom style's build button in Pnl_Custom; the grid's width,
// and with it the button's left edge, follow the cells of the profile.
constexpr Box kGridBox{4, 6, 247, 25};
constexpr Box kBuildButtonBox{257, 6, 77, 25};

// Positions of the popups in the menu bar, and of the build-style submenu in O1.
constexpr int kMenuF1 = 0, kMenuE1 = 1, kMenuL2 = 2, kMenuO1 = 3, kMenuH1 = 4;
constexpr int kMenuB2 = 2;  // the build-style submenu within O1

std::wstring ListText(HWND list, int index)
{
    LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    length = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(length == LB_ERR ? 0 : static_cast<size_t>(length));
    return text;
}

// The format's first "%s" replaced by value.
std::wstring FormatOne(const std::wstring& format, const std::wstring& value)
{
    size_t at = format.find(L"%s");
    return at == std::wstring::npos ? format : format.substr(0, at) + value + format.substr(at + 2);
}

ToggleCaptions CellCaptions()
{
    if (!LanguageFileExists()) return BuiltInToggleCaptions();
    auto caption = [](const wchar_t* key) { return ReadLanguageCaption(L"Form01", key, L""); };
    return {caption(L"RS_101"), caption(L"RS_102"), caption(L"RS_103"), caption(L"RS_104"), caption(L"RS_105")};
}

}  // namespace

TMain_Form::TMain_Form(TCurrentSettings& settings, MainCommands commands)
    : Form(Design{L"TMain_Form", kMainFormCaption, {562, 387}, WS_OVERLAPPEDWINDOW, WS_EX_APPWINDOW}),
      Exec_PEBuilder(L"ビルド(&B)",
                     [this] {
                         if (commands_.Build) commands_.Build(settings_, Inputs(), Prompt());
                     }),
      ISO_PEBuilder(L"ISOファイル作成(&I)",
                    [this] {
                        if (commands_.MakeIso) commands_.MakeIso(settings_, Inputs(), Prompt());
                    }),
      Close_Application(L"終了(&X)", [this] { Close_ApplicationExecute(); }),
      Add_Preset(L"追加(&A)",
                 [this] {
                     if (commands_.AddPreset) commands_.AddPreset(*this, settings_);
                 }),
      Edit_Preset(L"編集(&E)",
                  [this] {
                      if (commands_.EditPreset) commands_.EditPreset(*this, settings_);
                  }),
      Delete_Preset(L"削除(&D)",
                    [this] {
                        if (commands_.DeletePreset) commands_.DeletePreset(*this, settings_);
                    }),
      Export_Preset(L"エクスポート(&X)...",
                    [this] {
                        if (commands_.ExportPreset) commands_.ExportPreset(*this, settings_);
                    }),
      Import_Preset(L"インポート(&I)...",
                    [this] {
                        if (commands_.ImportPreset) commands_.ImportPreset(*this, settings_);
                    }),
      settings_(settings),
      commands_(std::move(commands))
{
    RememberPlace({kProgramKey, 266, 392, GeometryOrder::PositionFirst});
}

TMain_Form::~TMain_Form()
{
    if (accelerators_) ::DestroyAcceleratorTable(accelerators_);
}

// ---- Controls -----------------------------------------------------------------------

void TMain_Form::FormCreate()
{
    CreateMenus();

    Panel1 = AddPanel({0, 0, 562, 387}, Align::alClient);
    GB01 = AddGroupBox(L"プリセット一覧(&P):", {4, 4, 553, 346}, akAll, Panel1);
    HFONT listFont = SharedFont(FontSpec{kListFontName, 9, SHIFTJIS_CHARSET});
    LB1 = Add({L"LISTBOX",
               L"",
               {4, 16, 543, 290},
               WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
               WS_EX_CLIENTEDGE,
               akAll,
               GB01,
               listFont});
    // A button of an action is made with the action's caption, which linking it then
    // leaves as it is.
    auto actionButton = [this](Action& action, Box box, unsigned anchors, ParentRef parent) {
        HWND button = Add({L"BUTTON", action.Caption(), box, WS_TABSTOP, 0, anchors, parent});
        Link(action, button);
        return button;
    };
    Add_Btn = actionButton(Add_Preset, {8, 313, 69, 25}, akLeft | akBottom, GB01);
    Edit_Btn = actionButton(Edit_Preset, {84, 313, 69, 25}, akLeft | akBottom, GB01);
    Del_Btn = actionButton(Delete_Preset, {160, 313, 69, 25}, akLeft | akBottom, GB01);

    // The exit button's panel comes last so that it is last in the tab order; the
    // alignment still gives it its strip before the style panels fill the rest.
    Panel2 = AddPanel({0, 0, 0, 36}, Align::alBottom, akTopLeft, Panel1);
    Pnl_Default = AddPanel({}, Align::alClient, akTopLeft, Panel2);
    Button1 = actionButton(Exec_PEBuilder, {4, 6, 110, 25}, akTopLeft, Pnl_Default);
    Button3 = actionButton(ISO_PEBuilder, {120, 6, 110, 25}, akTopLeft, Pnl_Default);
    Pnl_Custom = AddPanel({}, Align::alClient, akTopLeft, Panel2);
    ShowPanel(Pnl_Custom, false);
    CreateToggleGrid();
    // Its left edge follows the grid's width, which the profile sets.
    Button4 = actionButton(Exec_PEBuilder, kBuildButtonBox, akTopLeft, Pnl_Custom);
    Panel3 = AddPanel({0, 0, 83, 0}, Align::alRight, akTopLeft, Panel2);
    Button2 = actionButton(Close_Application, {0, 6, 77, 25}, akTopLeft, Panel3);
    On(LB1, LBN_SELCHANGE, [this] { LB_Click(); });

    SetLanguageSection(L"Form01", LanguageCaptions(), {ListFont{LB1, L"Font01"}});
}

void TMain_Form::CreateMenus()
{
    MainMenu1 = ::CreateMenu();
    auto popup = [this](const wchar_t* caption) {
        HMENU menu = ::CreatePopupMenu();
        ::AppendMenuW(MainMenu1, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(menu), caption);
        return menu;
    };
    auto item = [this](HMENU menu, const wchar_t* caption, std::function<void()> handler) {
        int id = NewCommandId();
        ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), caption);
        On(id, 0, handler);
        On(id, 1, std::move(handler));  // its shortcut
        return id;
    };
    auto actionItem = [this](HMENU menu, Action& action) {
        int id = NewCommandId();
        ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id), action.Caption().c_str());
        Link(action, menu, id);
        return id;
    };
    auto separator = [](HMENU menu) { ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); };
    auto folder = [this](MainCommands::FolderCommand MainCommands::*command) {
        return [this, command] {
            if (commands_.*command) (commands_.*command)(*this, settings_);
        };
    };

    F1 = popup(L"ファイル(&F)");
    PEBuilder1 = actionItem(F1, Exec_PEBuilder);
    ISOI1 = actionItem(F1, ISO_PEBuilder);
    separator(F1);  // N4
    O2 = item(F1, L"ログを開く(&O)", folder(&MainCommands::OpenLog));
    separator(F1);  // N1
    X1 = actionItem(F1, Close_Application);

    E1 = popup(L"編集(&E)");
    A1 = actionItem(E1, Add_Preset);
    E2 = actionItem(E1, Edit_Preset);
    D1 = actionItem(E1, Delete_Preset);
    separator(E1);
    ExportPreset1 = actionItem(E1, Export_Preset);
    ImportPreset1 = actionItem(E1, Import_Preset);

    L2 = popup(L"フォルダ(&L)");
    PEBuilderE1 = item(L2, L"PE Builderフォルダを開く(&E)", folder(&MainCommands::OpenPEBuilderFolder));
    L1 = item(L2, L"プラグインフォルダを開く(&L)", folder(&MainCommands::OpenPluginFolder));
    U1 = item(L2, L"ソースフォルダを開く(&U)", folder(&MainCommands::OpenSourceFolder));
    B1 = item(L2, L"ビルドファイル出力フォルダを開く(&B)", folder(&MainCommands::OpenBuildFolder));
    ISO1 = item(L2, L"ISOイメージ出力フォルダを開く(&I)", folder(&MainCommands::OpenIsoFolder));
    C1 = item(L2, L"カスタムフォルダを開く(&C)", folder(&MainCommands::OpenCustomFolder));

    O1 = popup(L"オプション(&O)");
    PluginSort = item(O1, L"Pluginフォルダの整列(&S)", [this] {
        if (commands_.SortPlugins) commands_.SortPlugins(settings_, Prompt());
    });
    separator(O1);  // N5
    B2 = ::CreatePopupMenu();
    ::AppendMenuW(O1, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(B2), L"ビルドの種類(&B)");
    N6 = item(B2, L"標準(&D)\tF2", [this] { N6Click(); });
    C2 = item(B2, L"カスタム(&C)\tF3", [this] { C2Click(); });
    separator(O1);  // N3
    PBConfig = item(O1, L"PE Builderの環境設定(&R)", [this] {
        if (commands_.PEBuilderSettings) commands_.PEBuilderSettings(*this, settings_);
    });
    P1 = item(O1, L"環境設定(&P)", [this] {
        if (commands_.ProgramSettings) commands_.ProgramSettings(*this, settings_);
    });

    H1 = popup(L"ヘルプ(&H)");
    H2 = item(H1, L"トピックの検索(&H)", [this] {
        if (commands_.Help) commands_.Help(Handle());
    });
    separator(H1);  // N2
    KitwrightA1 = item(H1, L"バージョン情報(&A)...", [this] {
        if (commands_.About) commands_.About(Handle());
    });

    ::SetMenu(Handle(), MainMenu1);
    ACCEL keys[] = {{FVIRTKEY, VK_F2, static_cast<WORD>(N6)}, {FVIRTKEY, VK_F3, static_cast<WORD>(C2)}};
    accelerators_ = ::CreateAcceleratorTableW(keys, 2);
}

void TMain_Form::CreateToggleGrid()
{
    // Without scroll bars from the start: a bar shown and hidden again while the cells
    // are set up would cost a frame change each time.
    CG01.SetScrollBars(GridScrollBars::None);
    const Box grid = PlaceFor(Pnl_Custom, kGridBox);
    CG01.CreateGrid(HostOf(Pnl_Custom), grid.x, grid.y, grid.cx, grid.cy, static_cast<UINT_PTR>(NewCommandId()),
                    WS_CHILD | WS_TABSTOP | (PanelShown(Pnl_Custom) ? WS_VISIBLE : 0));
    AddMade(CG01.Handle(), kGridBox, akTopLeft, Pnl_Custom);
    CG01.SetFont(Font());
    CG01.SetRowCount(1);
    CG01.SetColCount(4);
    CG01.SetFixedRows(0);
    CG01.SetFixedCols(0);
    CG01.SetDefaultColWidth(60);
    CG01.SetDefaultRowHeight(21);
    CG01.SetFocusCellDraw(false);
    CG01.FocusCell(0, 0, false);  // without fixed cells the first cell is the current one
    const wchar_t* design[] = {L"Registry", L"Files", L" ISO", L"Burn CD"};
    for (int col = 0; col < 4; ++col) {
        TCellKind& kind = CG01.CellKinds(col);
        kind.SetAlignment(caCenter | caVCenter);
        kind.Margin = 2;
        CG01.SetCells(col, 0, design[col]);
    }
    CG01.EditCellDraw = [this](TComboGrid& sender, int col, int row, COLORREF& color, TCellFont& font) {
        CG_EditCellDraw(sender, col, row, color, font);
    };
    CG01.OnKeyDown = [this](TStringGrid&, WORD& key, unsigned shift) { CG01KeyDown(key, shift); };
    CG01.OnKeyUp = [this](TStringGrid&, WORD& key, unsigned shift) { CG01KeyUp(key, shift); };
    CG01.OnMouseDown = [this](TStringGrid&, MouseButton button, unsigned shift, int, int) {
        CG01MouseDown(button, shift);
    };
    CG01.OnMouseMove = [this](TStringGrid&, unsigned, int, int) { CG01MouseMove(); };
    CG01.OnMouseUp = [this](TStringGrid&, MouseButton button, unsigned, int, int) { CG01MouseUp(button); };
}

std::vector<CaptionBinding> TMain_Form::LanguageCaptions()
{
    auto menu = [this](HMENU parent, int id) {
        return [this, parent, id](const std::wstring& text) { SetMenuText(parent, id, text); };
    };
    auto bar = [this](int position) {
        return [this, position](const std::wstring& text) { SetMenuText(MainMenu1, position, text, true); };
    };
    auto action = [](Action& a) { return [&a](const std::wstring& text) { a.SetCaption(text); }; };
    return {
        {GB01, L"RS_001"},
        {L"RS_002", bar(kMenuF1)},
        {L"RS_003", menu(F1, O2)},
        {L"RS_004", bar(kMenuE1)},
        {L"RS_005", bar(kMenuL2)},
        {L"RS_006", menu(L2, PEBuilderE1)},
        {L"RS_007", menu(L2, L1)},
        {L"RS_008", menu(L2, U1)},
        {L"RS_009", menu(L2, B1)},
        {L"RS_010", menu(L2, ISO1)},
        {L"RS_011", menu(L2, C1)},
        {L"RS_012", bar(kMenuO1)},
        {L"RS_013", menu(O1, PluginSort)},
        {L"RS_014", menu(O1, PBConfig)},
        {L"RS_015", menu(O1, P1)},
        {L"RS_016", bar(kMenuH1)},
        {L"RS_017", menu(H1, H2)},
        {L"RS_018", menu(H1, KitwrightA1)},
        {L"RS_019", action(Exec_PEBuilder)},
        {L"RS_020", action(ISO_PEBuilder)},
        {L"RS_021", action(Close_Application)},
        {L"RS_022", action(Add_Preset)},
        {L"RS_023", action(Edit_Preset)},
        {L"RS_024", action(Delete_Preset)},
        {L"RS_025", [this](const std::wstring& text) { SetMenuText(O1, kMenuB2, text, true); }},
        {L"RS_026", [this](const std::wstring& text) { SetMenuText(B2, N6, text + L"\tF2"); }},
        {L"RS_027", [this](const std::wstring& text) { SetMenuText(B2, C2, text + L"\tF3"); }},
        {L"RS_028", action(Export_Preset)},
        {L"RS_029", action(Import_Preset)},
    };
}

void TMain_Form::SetMenuText(HMENU menu, int id, const std::wstring& text, bool byPosition)
{
    std::wstring copy = text;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = copy.data();
    ::SetMenuItemInfoW(menu, static_cast<UINT>(id), byPosition, &info);
    if (menu == MainMenu1) ::DrawMenuBar(Handle());
}

bool TMain_Form::MenuChecked(int id) const
{
    return (::GetMenuState(B2, static_cast<UINT>(id), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

// ---- First show and the profile -----------------------------------------------------

void TMain_Form::FormShow()
{
    const MainWindowSettings stored = LoadMainWindowSettings();
    SelectedBackColor = stored.SelectedBackColor;
    UnselectedBackColor = stored.UnselectedBackColor;
    SelectedForeColor = stored.SelectedForeColor;
    UnselectedForeColor = stored.UnselectedForeColor;

    LoadProfileSettings();

    switch (stored.BuildStyle) {
    case 0: N6Click(); break;
    case 1: C2Click(); break;
    default: break;  // neither style until the user picks one
    }

    // Plugin Builder learns where the plug-ins are. Last, so that a settings file it
    // cannot take leaves a whole window behind the message.
    if (!closeRequested_) WritePluginBuilderPluginPath(settings_.PluginBuilder, settings_.PEBuilder);
}

void TMain_Form::LoadProfileSettings()
{
    LoadCurrentProfile(settings_);
    profileLoaded_ = true;

    // A first run: the program settings, then PE Builder's, before anything else; a
    // cancelled one ends the program.
    if (settings_.PEBuilder.empty()) {
        ReloadAndSelect(*this, L"");
        if (commands_.ProgramSettings && !commands_.ProgramSettings(*this, settings_)) {
            closeRequested_ = true;
            return;
        }
    }
    if (settings_.PEBuilder.empty() || !FileExists(InputInfPath(settings_.PEBuilder))) {
        if (commands_.PEBuilderSettings && !commands_.PEBuilderSettings(*this, settings_)) {
            closeRequested_ = true;
            return;
        }
    }

    RefreshAfterSettingsChange(*this, settings_);
}

void TMain_Form::FormDestroy() { SaveBuildStyle(MenuChecked(C2)); }

void TMain_Form::ShowMain()
{
    try {
        PrepareShow(nullptr);
    } catch (...) {
        HandleWindowError(Handle(), std::current_exception());
    }
    if (!Handle()) return;
    // Without its profile every command would work on the Profiles key itself and on
    // an empty PE Builder folder: the error has been shown, and the program ends.
    if (closeRequested_ || !profileLoaded_) {
        Close(mrCancel);
        return;
    }
    ::ShowWindow(Handle(), ShowCommand());
    ::UpdateWindow(Handle());
}

void TMain_Form::Close_ApplicationExecute() { Close(mrCancel); }

// ---- The preset list ----------------------------------------------------------------

int TMain_Form::SelectedIndex() const { return static_cast<int>(::SendMessageW(LB1, LB_GETCURSEL, 0, 0)); }

std::wstring TMain_Form::SelectedText() const
{
    int index = SelectedIndex();
    return index < 0 ? L"" : ListText(LB1, index);
}

int TMain_Form::FindEntry(const std::wstring& text) const
{
    int count = static_cast<int>(::SendMessageW(LB1, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, ListText(LB1, i).c_str(), -1, text.c_str(), -1) ==
            CSTR_EQUAL)
            return i;
    return -1;
}

void TMain_Form::SelectEntry(int index) { ::SendMessageW(LB1, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void TMain_Form::ReloadPresetList()
{
    const std::vector<std::wstring> names = ListPresetNames(settings_);
    ::SendMessageW(LB1, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(LB1, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : names) ::SendMessageW(LB1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    ::SendMessageW(LB1, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(Str(RS_001).c_str()));
    ::SendMessageW(LB1, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(LB1, nullptr, TRUE);
    SelectEntry(0);
}

void TMain_Form::LB_Click()
{
    const int i = SelectedIndex();
    Edit_Preset.SetEnabled(i > 0);
    Delete_Preset.SetEnabled(i > 0);
    Export_Preset.SetEnabled(i > 0);
    ::EnableMenuItem(O1, static_cast<UINT>(PBConfig), MF_BYCOMMAND | (i >= 0 ? MF_ENABLED : MF_GRAYED));

    const SettingsSource source(settings_, i, SelectedText());
    SetMenuText(O1, PBConfig, FormatOne(Str(RS_009), source.IsPresetKey() ? SelectedText() : kInputInfName));

    // One read of the source for the four values (the file is parsed once).
    const std::vector<int32_t> values = source.ReadIntegers({L"skipregistry", L"skipfiles", L"buildiso", L"burncd"});
    ToggleSource toggles;
    toggles.skipregistry = values[0];
    toggles.skipfiles = values[1];
    toggles.buildiso = values[2];
    toggles.burncd = values[3];

    std::vector<ToggleCell> cells = LayoutToggles(settings_.PEB_VER, toggles, CellCaptions());
    const int count = static_cast<int>(cells.size());
    CG01.SetColCount(count);
    for (int col = 0; col < count; ++col) {
        CG01.SetCells(col, 0, cells[col].caption);
        CG01.SetCellValue(col, 0, cells[col].value);
    }

    // Design pixels, scaled like the rest of the window.
    Box grid = Scaled(kGridBox), button = Scaled(kBuildButtonBox);
    grid.cx = Scaled(ToggleGridWidth(count));
    button.x = grid.x + grid.cx + Scaled(ButtonAfterGrid(0, 0));
    SetControlBox(CG01.Handle(), grid);
    SetControlBox(Button4, button);
    CG01.Tag = 1;
    CG01.InvalidateGrid();
    FitCustomPanel();
}

void TMain_Form::SetBuildButtonsEnabled(bool enabled)
{
    pebuilderPresent_ = enabled;
    EnableControl(Button1, enabled);
    EnableControl(Button3, enabled);
}

void TMain_Form::SetPluginSortEnabled(bool enabled)
{
    ::EnableMenuItem(O1, static_cast<UINT>(PluginSort), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// ---- The message loop ---------------------------------------------------------------

bool TMain_Form::PresetListAccessKey(wchar_t key)
{
    // The dialog manager would pass the group box's key on to the next tab stop after
    // the box, which is outside it: the list inside is what the caption names.
    wchar_t caption[256] = {};
    ::GetWindowTextW(GB01, caption, 256);
    for (const wchar_t* c = caption; *c && c[1]; ++c) {
        if (*c != L'&') continue;
        if (c[1] == L'&') {
            ++c;
            continue;
        }
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, c + 1, 1, &key, 1) != CSTR_EQUAL) return false;
        ::SetFocus(LB1);
        return true;
    }
    return false;
}

bool PreTranslateMainMessage(TMain_Form& form, MSG& message)
{
    HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root && root == form.Handle() && ::TranslateAcceleratorW(root, form.Accelerators(), &message)) return true;
    if (root && root == form.Handle() && message.message == WM_SYSCHAR &&
        form.PresetListAccessKey(static_cast<wchar_t>(message.wParam)))
        return true;
    // Tab, the arrows and the access keys between the controls of any form.
    return root && dynamic_cast<Form*>(Window::FromHandle(root)) && ::IsDialogMessageW(root, &message);
}

void RunMainWindow(TCurrentSettings& settings, const MainCommands& commands)
{
    TMain_Form form(settings, commands);
    form.ShowMain();
    MSG message;
    while (form.Handle() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslateMainMessage(form, message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}
