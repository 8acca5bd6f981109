// Forms as real windows: modal results, dialog keys, a refusing close, errors raised
// again from ShowModal, anchors on resize, actions, the remembered place, and message
// boxes answered by a script.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/Error.h"
#include "core/Messages.h"
#include "core/Registry.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/ScriptedPrompt.h"
#include "tests/support/WindowMade.h"
#include "ui/Action.h"
#include "ui/Form.h"

namespace {

const std::wstring kPlaceKey = L"Software\\Vesmor\\Kitwright\\FormTest";

// A small sizeable form: an edit, OK and Cancel anchored bottom right, a bottom panel
// with a button, a button that fails, and a close that can be refused.
class TestForm : public ModalForm {
public:
    TestForm()
        : ModalForm(Design{L"KitwrightTestForm",
                           L"Test form",
                           {300, 200},
                           WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX})
    {
    }

    using Form::PanelHolds;
    using Form::ShowPanel;

    HWND ED01 = nullptr, OK_Btn = nullptr, Cancel_Btn = nullptr, Fail_Btn = nullptr, Pnl_Btn = nullptr;
    HWND Pnl_Label = nullptr;
    Panel Pnl;
    bool refuse = false;
    int closeQueries = 0, shows = 0, destroys = 0;
    std::wstring typed;

protected:
    void FormCreate() override
    {
        ED01 = Add(
            {L"EDIT", L"", {8, 8, 284, 21}, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, akLeft | akTop | akRight});
        Fail_Btn = Add({L"BUTTON", L"Fail", {8, 40, 60, 25}, WS_TABSTOP});
        OK_Btn = Add({L"BUTTON", L"OK", {132, 130, 75, 25}, WS_TABSTOP, 0, akRight | akBottom});
        Cancel_Btn = Add({L"BUTTON", L"Cancel", {217, 130, 75, 25}, WS_TABSTOP, 0, akRight | akBottom});
        Pnl = AddPanel({0, 0, 0, 36}, Align::alBottom);
        Pnl_Btn = Add({L"BUTTON", L"In panel", {4, 6, 80, 25}, WS_TABSTOP, 0, akRight | akTop, Pnl});
        Pnl_Label = Add({L"STATIC", L"Label", {100, 10, 60, 13}, 0, 0, akTopLeft, Pnl});
        SetDefaultButton(OK_Btn);
        SetCancelButton(Cancel_Btn);
        SetModalResult(OK_Btn, mrOk);
        SetModalResult(Cancel_Btn, mrCancel);
        OnClick(OK_Btn, [this] { typed = Text(ED01); });
        OnClick(Fail_Btn, [] { throw AppError(L"the handler failed"); });
    }
    void FormShow() override { ++shows; }
    bool FormCloseQuery() override
    {
        ++closeQueries;
        return !(refuse && ModalResult() == mrOk);
    }
    void FormDestroy() override { ++destroys; }

    static std::wstring Text(HWND window)
    {
        wchar_t text[256] = {};
        ::GetWindowTextW(window, text, 256);
        return text;
    }
};

class RememberingForm : public TestForm {
public:
    RememberingForm() { RememberPlace({kPlaceKey, 240, 320, GeometryOrder::SizeFirst}); }
};

void Key(HWND control, WPARAM key)
{
    ::PostMessageW(control, WM_KEYDOWN, key, 1);
    ::PostMessageW(control, WM_KEYUP, key, 0xC0000001);
}

// Waits (on the driver thread) until the form has handled the messages posted so far.
void Settle(HWND form) { ::SendMessageW(form, WM_NULL, 0, 0); }

// The form thread's focus once it is no longer was (a key posted before has moved it).
HWND FocusOf(HWND form, HWND was)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    for (int i = 0; i < 200; ++i) {
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info);
        if (info.hwndFocus && info.hwndFocus != was) break;
        ::Sleep(10);
    }
    return info.hwndFocus;
}

INT_PTR ShowAndDrive(TestForm& form, std::function<void(HWND)> action)
{
    DialogDriver driver(L"KitwrightTestForm", L"", std::move(action));
    INT_PTR result = form.ShowModal(nullptr);
    EXPECT_TRUE(driver.Acted());
    return result;
}

Box BoxOf(HWND child)
{
    RECT r = ChildRect(child);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

TEST(Form, EnterEscAndTheCloseBoxGiveTheirResults)
{
    TestForm ok;
    EXPECT_EQ(ShowAndDrive(ok,
                           [&](HWND) {
                               ::SendMessageW(ok.ED01, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed"));
                               Key(ok.ED01, VK_RETURN);
                           }),
              mrOk);
    EXPECT_EQ(ok.typed, L"typed");  // the default button's handler ran

    TestForm esc, box;
    EXPECT_EQ(ShowAndDrive(esc, [&](HWND) { Key(esc.ED01, VK_ESCAPE); }), mrCancel);
    EXPECT_EQ(ShowAndDrive(box, [](HWND form) { ::PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0); }), mrCancel);
    EXPECT_EQ(box.typed, L"");
}

TEST(Form, TabFollowsCreationOrderIntoPanels)
{
    TestForm form;
    std::vector<HWND> focus;
    ShowAndDrive(form, [&](HWND window) {
        focus.push_back(FocusOf(window, nullptr));
        for (int i = 0; i < 4; ++i) {
            Key(focus.back(), VK_TAB);
            focus.push_back(FocusOf(window, focus.back()));
        }
        ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(focus, (std::vector<HWND>{form.ED01, form.Fail_Btn, form.OK_Btn, form.Cancel_Btn, form.Pnl_Btn}));
}

TEST(Form, ARefusedCloseKeepsTheFormOpen)
{
    TestForm form;
    form.refuse = true;
    bool openAfterRefusal = false;
    INT_PTR result = ShowAndDrive(form, [&](HWND window) {
        ::PostMessageW(form.OK_Btn, BM_CLICK, 0, 0);
        Settle(window);
        openAfterRefusal = ::IsWindowVisible(window);
        ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
    });
    EXPECT_TRUE(openAfterRefusal);
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(form.closeQueries, 2);
    EXPECT_EQ(form.ModalResult(), mrCancel);
}

TEST(Form, AFailingHandlerEndsTheFormAndIsRaisedAgain)
{
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    ASSERT_TRUE(WindowMade(owner));
    TestForm form;
    bool ownerDisabled = false;
    DialogDriver driver(L"KitwrightTestForm", L"", [&](HWND) {
        ownerDisabled = !::IsWindowEnabled(owner);
        ::PostMessageW(form.Fail_Btn, BM_CLICK, 0, 0);
    });
    try {
        form.ShowModal(owner);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Message(), L"the handler failed");
    }
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_FALSE(::IsWindowVisible(form.Handle()));
    ::DestroyWindow(owner);
}

TEST(Form, ControlsFollowTheirAnchorsAndPanelsTheirAlignment)
{
    TestForm form;
    Box edit, ok, panel, inPanel;
    ShowAndDrive(form, [&](HWND window) {
        RECT frame{0, 0, 400, 260};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)));
        ::SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                       SWP_NOMOVE | SWP_NOZORDER);
        edit = BoxOf(form.ED01);
        ok = BoxOf(form.OK_Btn);
        panel = form.PanelBox(form.Pnl);
        inPanel = BoxOf(form.Pnl_Btn);
        ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(edit, (Box{8, 8, 384, 21}));        // 100 wider
    EXPECT_EQ(ok, (Box{232, 190, 75, 25}));       // 100 right, 60 down
    EXPECT_EQ(panel, (Box{0, 224, 400, 36}));     // the bottom strip
    EXPECT_EQ(inPanel, (Box{104, 230, 80, 25}));  // anchored right inside the panel, a window of the form
}

TEST(Form, APanelHidesAndShowsItsControlsButNotOneHiddenOnItsOwn)
{
    TestForm form;
    form.Show(nullptr);
    std::vector<bool> seen;  // the button, the label, the panel's state, after each step
    auto look = [&] {
        seen.insert(seen.end(), {::IsWindowVisible(form.Pnl_Btn) != FALSE, ::IsWindowVisible(form.Pnl_Label) != FALSE,
                                 form.PanelShown(form.Pnl)});
    };
    ::ShowWindow(form.Pnl_Label, SW_HIDE);
    look();
    form.ShowPanel(form.Pnl, false);
    look();
    form.ShowPanel(form.Pnl, true);
    look();
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true, false, false, false, true, false, true}));
    EXPECT_TRUE(form.PanelHolds(form.Pnl, form.Pnl_Btn));
    EXPECT_FALSE(form.PanelHolds(form.Pnl, form.ED01));
    ::DestroyWindow(form.Handle());
}

namespace {

int textsSet = 0;
WNDPROC buttonProc = nullptr;

LRESULT CALLBACK CountingButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT) ++textsSet;
    return ::CallWindowProcW(buttonProc, window, message, wParam, lParam);
}

}  // namespace

// A linked button is given its caption only when it shows another one.
TEST(Form, ActionsSetAButtonsCaptionOnlyWhenItChanges)
{
    TestForm form;
    form.CreateHandle(nullptr);
    ::SetWindowTextW(form.Pnl_Btn, L"Build");
    buttonProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(form.Pnl_Btn, GWLP_WNDPROC,
                                                                reinterpret_cast<LONG_PTR>(CountingButton)));
    textsSet = 0;
    Action build(L"Build", [] {});
    build.LinkButton(form.Pnl_Btn);
    build.SetEnabled(false);
    build.SetCaption(L"Build");
    EXPECT_EQ(textsSet, 0);
    build.SetCaption(L"Buil");
    build.SetCaption(L"Build!");
    EXPECT_EQ(textsSet, 2);
    wchar_t text[16] = {};
    ::GetWindowTextW(form.Pnl_Btn, text, 16);
    EXPECT_STREQ(text, L"Build!");
    EXPECT_FALSE(::IsWindowEnabled(form.Pnl_Btn));
    ::SetWindowLongPtrW(form.Pnl_Btn, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProc));
}

TEST(Form, ActionsDriveTheirButtonAndMenuItem)
{
    TestForm form;
    form.CreateHandle(nullptr);
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, 2000, L"x");
    int runs = 0;
    Action build(
        L"ビルド(&B)", [&] { ++runs; }, L"F5");
    build.LinkButton(form.Pnl_Btn);
    build.LinkMenuItem(menu, 2000);

    build.SetCaption(L"Build");
    build.SetEnabled(false);
    wchar_t text[64] = {};
    ::GetWindowTextW(form.Pnl_Btn, text, 64);
    EXPECT_STREQ(text, L"Build");
    ::GetMenuStringW(menu, 2000, text, 64, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Build\tF5");
    EXPECT_FALSE(::IsWindowEnabled(form.Pnl_Btn));
    EXPECT_TRUE(::GetMenuState(menu, 2000, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(build.Execute());

    build.SetEnabled(true);
    EXPECT_TRUE(::IsWindowEnabled(form.Pnl_Btn));
    EXPECT_FALSE(::GetMenuState(menu, 2000, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(build.Execute());
    EXPECT_EQ(runs, 1);
    ::DestroyMenu(menu);
}

TEST(Form, ThePlaceIsRestoredAndSavedOnlyInTheNormalState)
{
    EraseRegKey(kPlaceKey);
    RECT window{}, client{};
    {
        RememberingForm form;  // no stored place: centred, default client size
        ShowAndDrive(form, [&](HWND w) {
            ::GetWindowRect(w, &window);
            ::GetClientRect(w, &client);
            ::MoveWindow(w, 30, 40, window.right - window.left + 10, window.bottom - window.top, TRUE);
            ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
        });
        EXPECT_EQ(form.destroys, 0);  // only when freed
    }
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    EXPECT_EQ(window.left, CentredOffset(::GetSystemMetrics(SM_CXSCREEN), window.right - window.left));
    EXPECT_EQ(window.top, CentredOffset(::GetSystemMetrics(SM_CYSCREEN), window.bottom - window.top));
    EXPECT_EQ(ReadRegInteger(kPlaceKey, L"Left", 0), 30);
    EXPECT_EQ(ReadRegInteger(kPlaceKey, L"Top", 0), 40);
    EXPECT_EQ(ReadRegInteger(kPlaceKey, L"Width", 0), 330);
    EXPECT_EQ(ReadRegInteger(kPlaceKey, L"Height", 0), 240);
    EXPECT_EQ(ReadRegInteger(kPlaceKey, L"FormState", -1), 0);

    // Maximised: only the state is written; the next show opens maximised over the
    // last normal place.
    {
        RememberingForm form;
        ShowAndDrive(form, [&](HWND w) {
            ::ShowWindow(w, SW_MAXIMIZE);
            ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
        });
    }
    EXPECT_EQ(ReadRegInteger(kPlaceKey, L"FormState", -1), 1);
    EXPECT_EQ(ReadRegInteger(kPlaceKey, L"Left", 0), 30);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    bool zoomed = false;
    {
        RememberingForm form;
        ShowAndDrive(form, [&](HWND w) {
            zoomed = ::IsZoomed(w);
            ::GetWindowPlacement(w, &placement);
            ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
        });
    }
    EXPECT_TRUE(zoomed);
    EXPECT_EQ(placement.rcNormalPosition.left, 30);
    EXPECT_EQ(placement.rcNormalPosition.top, 40);

    // Any state but 1 and 2 is normal.
    WriteRegInteger(kPlaceKey, L"FormState", 5);
    {
        RememberingForm form;
        ShowAndDrive(form, [&](HWND w) {
            zoomed = ::IsZoomed(w) || ::IsIconic(w);
            ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
        });
    }
    EXPECT_FALSE(zoomed);
    EraseRegKey(kPlaceKey);
}

// A form that restores its place lays its controls out once it has its size: the
// default one, a stored one, and a stored one equal to the design's, which needs no resize.
TEST(Form, ARestoredPlaceLaysTheControlsOutForItsSize)
{
    struct Case {
        int width, height;  // stored; 0 for none
    } cases[] = {{0, 0}, {400, 260}, {300, 200}};
    for (const Case& c : cases) {
        EraseRegKey(kPlaceKey);
        if (c.width) {
            WriteRegInteger(kPlaceKey, L"Width", c.width);
            WriteRegInteger(kPlaceKey, L"Height", c.height);
        }
        RECT client{};
        Box ok, panel, inPanel;
        {
            RememberingForm form;
            ShowAndDrive(form, [&](HWND w) {
                ::GetClientRect(w, &client);
                ok = BoxOf(form.OK_Btn);
                panel = form.PanelBox(form.Pnl);
                inPanel = BoxOf(form.Pnl_Btn);
                ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0);
            });
        }
        const int width = c.width ? c.width : 320, height = c.width ? c.height : 240;
        SCOPED_TRACE(testing::Message() << "stored " << c.width << "x" << c.height);
        EXPECT_EQ(client.right, width);
        EXPECT_EQ(client.bottom, height);
        EXPECT_EQ(ok, (Box{width - 168, height - 70, 75, 25}));  // anchored bottom right
        EXPECT_EQ(panel, (Box{0, height - 36, width, 36}));      // the bottom strip
        EXPECT_EQ(inPanel, (Box{width - 296, height - 30, 80, 25}));
    }
    EraseRegKey(kPlaceKey);
}

TEST(Form, FirstShowRunsOnce)
{
    TestForm form;
    for (int i = 0; i < 2; ++i) ShowAndDrive(form, [&](HWND) { ::PostMessageW(form.Cancel_Btn, BM_CLICK, 0, 0); });
    EXPECT_EQ(form.shows, 1);
}

TEST(Messages, EveryMessageBoxCanBeAnsweredByAScript)
{
    ScriptedPrompt script;
    script.answers = {true, false};
    {
        ScopedPromptOverride scripted(script);
        ReportError(nullptr, AppError(L"broken"));
        EXPECT_EQ(ShowMessage(nullptr, L"go?", L"確認", MB_YESNO | MB_ICONQUESTION), IDYES);
        EXPECT_FALSE(MessageBoxPrompt(nullptr).Ask(L"again?", L"確認"));
        MessageBoxPrompt(nullptr).Inform(L"done", L"Kitwright");
    }
    EXPECT_EQ(script.messages, (std::vector<PromptMessage>{{L"Error", L"broken", L"エラー"},
                                                           {L"Ask", L"go?", L"確認"},
                                                           {L"Ask", L"again?", L"確認"},
                                                           {L"Inform", L"done", L"Kitwright"}}));
}
