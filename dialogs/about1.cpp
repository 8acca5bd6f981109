// The about box.
#include "dialogs/about1.h"

#include <commctrl.h>

#include <cstdio>

#include "core/Language.h"
#include "core/Shell.h"

namespace {

const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kBlue = RGB(0, 0, 255);

// The version number as "#.00" shows it, with the release after it.
std::wstring VersionLine(double version, int beta)
{
    wchar_t number[32];
    std::swprintf(number, 32, L"%.2f", version);
    std::wstring text = number;
    if (text.rfind(L"0.", 0) == 0) text.erase(0, 1);  // "#": no lone leading zero
    return L"version " + text + L" beta " + std::to_wstring(beta);
}

// Panel1's frame: a lowered outer and a raised inner bevel, which together are the
// etched edge.
LRESULT CALLBACK EtchedPanel(HWND panel, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(panel, &paint);
        RECT client;
        ::GetClientRect(panel, &client);
        ::DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
        ::EndPaint(panel, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY) ::RemoveWindowSubclass(panel, EtchedPanel, 0);
    return ::DefSubclassProc(panel, message, wParam, lParam);
}

// The icon of the running program, or the system's application icon when it has none.
HICON ApplicationIcon()
{
    auto icon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, LR_SHARED));
    return icon ? icon : ::LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

TAboutBox::TAboutBox()
    : ModalForm(Design{L"TAboutBox",
                       L"バージョン情報",
                       {264, 176},
                       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                       WS_EX_DLGMODALFRAME,
                       FormPosition::OwnerCentre})
{
}

void TAboutBox::FormCreate()
{
    Panel1 = AddFramedPanel({4, 4, 248, 112});
    ::SetWindowSubclass(Panel1, EtchedPanel, 0, 0);
    ProgramIcon = Add({L"STATIC", L"", {8, 8, 32, 32}, SS_ICON | SS_REALSIZECONTROL, 0, akTopLeft, Panel1});
    ProductName = Add({L"STATIC",
                       L"Kitwright",
                       {52, 8, 150, 16},
                       SS_LEFT | SS_NOPREFIX,
                       0,
                       akTopLeft,
                       Panel1,
                       SharedFont(FontSpec{kWindowFontName, 10, SHIFTJIS_CHARSET})});
    Label3 = Add({L"STATIC", L"for", {48, 22, 150, 13}, SS_CENTER | SS_NOPREFIX, 0, akTopLeft, Panel1});
    Label4 =
        Add({L"STATIC", L"[Tovi's PE Builder v3]", {48, 34, 150, 13}, SS_RIGHT | SS_NOPREFIX, 0, akTopLeft, Panel1});
    lblVer = Add({L"STATIC", L"", {28, 52, 203, 13}, SS_RIGHT | SS_NOPREFIX, 0, akTopLeft, Panel1});
    lblNotice =
        Add({L"STATIC", L"Copyright (C) Vesmor", {2, 76, 243, 13}, SS_CENTER | SS_NOPREFIX, 0, akTopLeft, Panel1});
    lblURL = Add({L"STATIC", L"", {4, 92, 238, 13}, SS_CENTER | SS_NOPREFIX | SS_NOTIFY, 0, akTopLeft, Panel1});
    OKBtn = Add({L"BUTTON", L"OK", {175, 124, 75, 22}, WS_TABSTOP});
    SetDefaultButton(OKBtn);
    SetModalResult(OKBtn, mrOk);
    On(lblURL, STN_CLICKED, [this] { lblURLClick(); });
    SetLanguageSection(L"Form03", {CaptionBinding(Handle(), L"RS_001")});
}

void TAboutBox::SetProgramIcon(HICON icon)
{
    ::SendMessageW(ProgramIcon, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void TAboutBox::FormShow()
{
    // The language file's font is the box's; the product name keeps its own size.
    ::SendMessageW(ProductName, WM_SETFONT,
                   reinterpret_cast<WPARAM>(SharedFont(FontSpec{kWindowFontName, 10, SHIFTJIS_CHARSET})), FALSE);
    LOGFONTW underlined{};
    ::GetObjectW(Font(), sizeof underlined, &underlined);
    underlined.lfUnderline = TRUE;
    urlFont_ = FontHandle(::CreateFontIndirectW(&underlined));
    if (urlFont_) ::SendMessageW(lblURL, WM_SETFONT, reinterpret_cast<WPARAM>(urlFont_.Get()), FALSE);

    // Fit the client area to the panel and the button, whatever size it was designed at.
    RECT panel, ok;
    ::GetWindowRect(Panel1, &panel);
    ::GetWindowRect(OKBtn, &ok);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&panel), 2);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&ok), 2);
    SetClientPixels(panel.right + Scaled(4), ok.bottom + Scaled(4));

    ::SetWindowTextW(lblVer, VersionLine(1, 38).c_str());
    ::SetWindowTextW(lblURL, kKitwrightWebAddress);
}

LRESULT TAboutBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORSTATIC) {
        auto control = reinterpret_cast<HWND>(lParam);
        if (control == lblVer || control == lblURL) {
            auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, control == lblVer ? kGreen : kBlue);
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
    }
    if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wParam) == lblURL) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    return ModalForm::OnMessage(message, wParam, lParam);
}

// The box stays open: the browser shows the page beside it.
void TAboutBox::lblURLClick() { ShellOpen(Handle(), kKitwrightWebAddress, SW_SHOWNORMAL); }

void KitwrightA1Click(HWND owner)
{
    TAboutBox box;
    box.CreateHandle(owner);
    box.SetProgramIcon(ApplicationIcon());
    box.ShowModal(owner);
}
