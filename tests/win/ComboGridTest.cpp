// The typed-cell grid as a real window: drawing read back as pixels, clicks and keys
// sent as the system sends them, the in-place editor and its drop-down list.
#include <windows.h>

#include <gtest/gtest.h>
#include <uxtheme.h>

#include <functional>
#include <memory>
#include <vector>

#include "controls/CmbGrid.h"
#include "tests/support/RealInput.h"

namespace {

class Host : public Window {
public:
    Host()
    {
        static const WindowClass kClass{L"KitwrightGridTestHost", nullptr, CS_DBLCLKS, IDC_ARROW,
                                        reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
        Create(kClass, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"grid test", 20, 20, 640, 400, nullptr, 0);
    }
};

void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The client area as the grid paints it, through WM_PRINTCLIENT into a memory bitmap.
class Picture {
public:
    explicit Picture(HWND window)
    {
        RECT client{};
        ::GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        HDC screen = ::GetDC(nullptr);
        dc_ = ::CreateCompatibleDC(screen);
        bitmap_ = ::CreateCompatibleBitmap(screen, width_, height_);
        ::ReleaseDC(nullptr, screen);
        old_ = ::SelectObject(dc_, bitmap_);
        ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
    }
    ~Picture()
    {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }
    // Every pixel of the rectangle, row by row.
    std::vector<COLORREF> Block(const RECT& r) const
    {
        std::vector<COLORREF> pixels;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) pixels.push_back(At(x, y));
        return pixels;
    }
    // The bounding box of the pixels of one colour inside r; empty when there are none.
    RECT Extent(const RECT& r, COLORREF colour) const
    {
        RECT box{r.right, r.bottom, r.left, r.top};
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(x, y) == colour)
                    box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                           std::max<LONG>(box.bottom, y + 1)};
        return box;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

COLORREF Sys(int index) { return ::GetSysColor(index); }

// Runs the messages until done() holds, for at most two seconds; a dialog's keys go
// through IsDialogMessage first when one is given.
bool Until(const std::function<bool()>& done, HWND dialog = nullptr, int rounds = 200)
{
    for (int i = 0; i < rounds; ++i) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog && ::IsDialogMessageW(dialog, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        ::Sleep(10);
    }
    return done();
}

// Lets the input given so far arrive.
void Settle() { Until([] { return false; }, nullptr, 10); }

class ComboGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        BYTE keys[256]{};
        ::SetKeyboardState(keys);
    }

    // A grid of cols x rows, one fixed row and column unless told, cells 60 x 21.
    void Make(int cols, int rows, int fixed = 1, unsigned options = kDefaultGridOptions)
    {
        grid = std::make_unique<TComboGrid>();
        grid->SetColCount(cols);
        grid->SetRowCount(rows);
        grid->SetFixedCols(fixed);
        grid->SetFixedRows(fixed);
        grid->SetDefaultColWidth(60);
        grid->SetDefaultRowHeight(21);
        grid->SetOptions(options);
        grid->CreateGrid(host.Handle(), 8, 8, 500, 300, 1);
        grid->OnGridBtnClick = [this](TComboGrid&, int col, int row) { clicks.push_back({col, row}); };
        ::SetFocus(grid->Handle());
        Pump();
    }
    POINT Centre(int col, int row) const
    {
        RECT r = grid->CellRect(col, row);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT OnScreen(POINT client) const
    {
        ::ClientToScreen(grid->Handle(), &client);
        return client;
    }
    std::vector<COLORREF> Look(int col, int row) const
    {
        return Picture(grid->Handle()).Block(grid->CellRect(col, row));
    }
    void SetKind(int col, int kind, std::vector<CellItem> items)
    {
        grid->CellKinds(col).Kind = static_cast<uint8_t>(kind);
        grid->CellKinds(col).Items = std::move(items);
    }
    // The grid in front with the keyboard, for real input.
    void Foreground()
    {
        ::SetForegroundWindow(host.Handle());
        ::SetFocus(grid->Handle());
        Settle();
    }
    void Send(UINT message, WPARAM wParam, POINT at)
    {
        ::SendMessageW(grid->Handle(), message, wParam, MAKELPARAM(at.x, at.y));
    }
    void Click(int col, int row, WPARAM keys = 0)
    {
        POINT at = Centre(col, row);
        Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
        Send(WM_LBUTTONUP, keys, at);
    }
    // A key as the keyboard gives it: down, its character if it has one, up; the
    // modifiers held meanwhile are in the thread's key state.
    void Key(WORD key, std::initializer_list<int> held = {})
    {
        BYTE keys[256]{};
        for (int k : held) keys[k] = 0x80;
        ::SetKeyboardState(keys);
        HWND target = ::GetFocus();
        ::SendMessageW(target, WM_KEYDOWN, key, 1);
        if (key == VK_SPACE || key == VK_RETURN || key == VK_ESCAPE) ::SendMessageW(::GetFocus(), WM_CHAR, key, 1);
        ::SendMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000001);
        BYTE none[256]{};
        ::SetKeyboardState(none);
        Pump();
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text) ::SendMessageW(::GetFocus(), WM_CHAR, ch, 1);
        Pump();
    }

    Host host;
    std::unique_ptr<TComboGrid> grid;
    std::vector<std::pair<int, int>> clicks;
};

constexpr COLORREF kOn = RGB(224, 36, 22), kOff = RGB(240, 240, 200), kOnText = RGB(255, 255, 255),
                   kOffText = RGB(0, 0, 128);

}  // namespace

TEST_F(ComboGridTest, ToggleRowDrawsEveryCellThroughEditCellDrawWhenFocusCellDrawIsOff)
{
    Make(4, 1, 0);
    grid->SetScrollBars(GridScrollBars::None);
    const std::wstring kinds =
        L"(0 18 18 2 '' '' 0 2 0 True 0 18 18 2 '' '' 0 2 0 True "
        L"0 18 18 2 '' '' 0 2 0 True 0 18 18 2 '' '' 0 2 0 True)";
    const std::wstring cells = L"(0 0 'Registry' 1 0 'Files' 2 0 ' ISO' 3 0 'Burn CD')";
    grid->LoadCellKind(kinds);
    grid->LoadCellData(cells);
    EXPECT_EQ(grid->CellKind(), kinds);
    EXPECT_EQ(grid->CellData(), cells);

    std::vector<int> asked;
    grid->EditCellDraw = [&](TComboGrid& sender, int col, int, COLORREF& colour, TCellFont& font) {
        asked.push_back(col);
        EXPECT_EQ(colour, sender.Color());  // the grid's colours come in
        EXPECT_EQ(font.Color, sender.FontColor());
        bool on = sender.CellValue(col, 0) == 1;
        colour = on ? kOn : kOff;
        font.Color = on ? kOnText : kOffText;
    };
    grid->SetCellValue(1, 0, 1);
    grid->FocusCell(1, 0, false);
    grid->FocusCell(2, 0, true);  // columns 1 and 2 selected, 1 current
    EXPECT_EQ(grid->Selection(), (GridRect{1, 0, 2, 0}));

    grid->SetFocusCellDraw(false);
    asked.clear();
    {
        Picture picture(grid->Handle());
        for (int col = 0; col < 4; ++col) {
            RECT r = grid->CellRect(col, 0);
            EXPECT_EQ(picture.At(r.left + 3, r.bottom - 3), col == 1 ? kOn : kOff) << col;
            // Centred both ways: the text's ink sits in the middle of the cell.
            RECT ink = picture.Extent(r, col == 1 ? kOnText : kOffText);
            ASSERT_LT(ink.left, ink.right) << col;
            // " ISO" centres its leading blank too: its ink lies right of the middle.
            const double blank = col == 2 ? 2.0 : 0.0;
            EXPECT_NEAR((ink.left + ink.right) / 2.0, (r.left + r.right) / 2.0 + blank, 2.0) << col;
            EXPECT_NEAR((ink.top + ink.bottom) / 2.0, (r.top + r.bottom) / 2.0, 4.0) << col;
        }
    }
    EXPECT_EQ(asked.size(), 4u);

    asked.clear();
    grid->SetFocusCellDraw(true);  // selected cells keep the grid's own colours
    asked.clear();
    Picture picture(grid->Handle());
    EXPECT_EQ(asked, (std::vector<int>{0, 3}));
    RECT current = grid->CellRect(1, 0), other = grid->CellRect(2, 0);
    EXPECT_EQ(picture.At(current.left + 3, current.bottom - 3), grid->Color());
    EXPECT_EQ(picture.At(other.left + 3, other.bottom - 3), Sys(COLOR_HIGHLIGHT));
}

TEST_F(ComboGridTest, NumberPicturesAndButtonCaptionsChangeOnlyWhatIsShown)
{
    Make(6, 3);
    TCellKind& number = grid->CellKinds(1);
    number.Items = {{L""}, {L"0.00"}};
    grid->CellKinds(4).Kind = ckButton;
    grid->CellKinds(4).Items = {{L"Go"}};
    grid->CellKinds(5).Kind = ckButton;
    grid->CellKinds(5).Items = {{std::wstring(kUseCellData)}};
    grid->SetCells(1, 1, L"3.14159");
    grid->SetCells(2, 1, L"3.14");
    grid->SetCells(2, 2, L"3.14159");
    grid->SetCells(1, 2, L"pi");
    grid->SetCells(3, 2, L"pi");
    grid->SetCells(4, 1, L"one");
    grid->SetCells(4, 2, L"two");
    grid->SetCells(5, 1, L"Go");
    grid->SetCells(5, 2, L"two");
    grid->FocusCell(3, 1, false);
    ::SetFocus(host.Handle());                 // no focus marks in the cells compared
    EXPECT_EQ(grid->Cells(1, 1), L"3.14159");  // the text itself stays

    Picture picture(grid->Handle());
    auto cell = [&](int col, int row) { return picture.Block(grid->CellRect(col, row)); };
    EXPECT_EQ(cell(1, 1), cell(2, 1));  // 3.14159 shown as 3.14
    EXPECT_NE(cell(2, 2), cell(2, 1));
    EXPECT_EQ(cell(1, 2), cell(3, 2));  // no number: unchanged
    EXPECT_EQ(cell(4, 1), cell(4, 2));  // every button says Go
    EXPECT_EQ(cell(4, 1), cell(5, 1));  // ... as does the one whose own text is Go
    EXPECT_NE(cell(5, 1), cell(5, 2));
    ::SetWindowTheme(grid->Handle(), L" ", L" ");  // the classic look, as without visual styles
    Picture classic(grid->Handle());
    RECT button = grid->CellRect(4, 1);
    EXPECT_EQ(classic.At(button.left, button.bottom - 3), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(classic.At(button.left + 4, button.top + 4), Sys(COLOR_BTNFACE));
}

TEST_F(ComboGridTest, CheckCellsShowTheirValueAndCycleOnClicks)
{
    Make(4, 4, 1, kDefaultGridOptions | goEditing);
    for (int col : {1, 2}) {
        grid->CellKinds(col).Kind = ckCheck;
        grid->CellKinds(col).Items = {{L"no", 0}, {L"yes", 1}};
    }
    grid->CellKinds(2).Editable = false;
    grid->CellKinds(3).Kind = ckButton;
    grid->SetCells(1, 1, L"no");
    grid->SetCells(1, 2, L"yes");
    grid->SetCells(1, 3, L"maybe");
    grid->SetCells(2, 1, L"no");
    grid->FocusCell(3, 3, false);
    ::SetWindowTheme(grid->Handle(), L" ", L" ");  // the classic look, as without visual styles
    {
        Picture picture(grid->Handle());
        POINT cross = Centre(1, 1), empty = Centre(1, 2), unmatched = Centre(1, 3);
        EXPECT_EQ(picture.At(cross.x, cross.y), Sys(COLOR_BTNTEXT));
        EXPECT_EQ(picture.At(empty.x, empty.y), Sys(COLOR_WINDOW));
        EXPECT_EQ(picture.At(unmatched.x, unmatched.y), Sys(COLOR_GRAYTEXT));
        EXPECT_EQ(picture.At(empty.x, empty.y - 6), Sys(COLOR_BTNSHADOW));    // the box's sunken frame
        EXPECT_EQ(picture.At(empty.x, empty.y - 5), Sys(COLOR_WINDOWFRAME));  // and inside it
    }

    Click(1, 1);
    EXPECT_EQ(grid->Cells(1, 1), L"yes");
    Click(1, 1);
    EXPECT_EQ(grid->Cells(1, 1), L"no");
    Click(1, 3);
    EXPECT_EQ(grid->Cells(1, 3), L"no");
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1, 1}, {1, 1}, {1, 3}}));

    clicks.clear();
    Click(2, 1);  // not editable
    EXPECT_EQ(grid->Cells(2, 1), L"no");
    grid->SetOptions(kDefaultGridOptions);  // editing off
    Click(1, 1);
    EXPECT_EQ(grid->Cells(1, 1), L"no");
    EXPECT_TRUE(clicks.empty());
    Click(3, 2);  // a button clicks regardless
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{3, 2}}));

    // Released elsewhere: drawn unpressed, nothing raised.
    clicks.clear();
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Centre(3, 1));
    EXPECT_EQ(grid->PressedCol(), 3);
    EXPECT_EQ(grid->PressedRow(), 1);
    EXPECT_EQ(grid->PressState(), 2);  // it became the current cell first
    Send(WM_LBUTTONUP, 0, Centre(3, 2));
    EXPECT_EQ(grid->PressedCol(), -1);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(ComboGridTest, SpaceClicksAButtonOnReleaseAndEnterAtOnce)
{
    Make(3, 3);
    grid->CellKinds(1).Kind = ckButton;
    grid->CellKinds(1).Items = {{L"Go"}};
    grid->FocusCell(1, 2, false);
    const RECT cell = grid->CellRect(1, 2);
    const std::vector<COLORREF> up = Picture(grid->Handle()).Block(cell);
    ::SendMessageW(grid->Handle(), WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(grid->PressedCol(), 1);
    EXPECT_NE(Picture(grid->Handle()).Block(cell), up);  // drawn pressed
    ::SendMessageW(grid->Handle(), WM_CHAR, L' ', 1);
    ::SendMessageW(grid->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_EQ(Picture(grid->Handle()).Block(cell), up);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(grid->PressedCol(), -1);

    ::SendMessageW(grid->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    ::SendMessageW(grid->Handle(), WM_CHAR, L'\r', 1);
    EXPECT_EQ(clicks.size(), 2u);
    ::SendMessageW(grid->Handle(), WM_KEYUP, VK_RETURN, 0xC0000001);
    EXPECT_EQ(clicks.size(), 2u);
    Key(VK_SPACE);
    EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(ComboGridTest, KeysAndMouseMoveTheCurrentCellAndTheSelection)
{
    Make(6, 30);
    std::vector<std::pair<int, int>> pressedAt;
    grid->OnMouseDown = [&](TStringGrid& sender, MouseButton, unsigned, int, int) {
        pressedAt.push_back({sender.Col(), sender.Row()});
    };
    grid->OnKeyDown = [](TStringGrid&, WORD& key, unsigned) {
        if (key == 'A') key = 0;
    };
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    Key(VK_RIGHT, {VK_SHIFT});
    Key(VK_DOWN, {VK_SHIFT});
    EXPECT_EQ(grid->Col(), 2);  // Shift moves the other end only
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Selection(), (GridRect{2, 2, 3, 3}));
    Key(VK_END);
    EXPECT_EQ(grid->Col(), 5);
    EXPECT_EQ(grid->Selection(), (GridRect{5, 2, 5, 2}));
    Key(VK_HOME);
    EXPECT_EQ(grid->Col(), 1);
    Key(VK_NEXT);
    EXPECT_EQ(grid->Row(), 2 + grid->VisibleRowCount());
    EXPECT_GT(grid->TopRow(), 1);  // scrolled to keep the current cell in view
    Key(VK_HOME, {VK_CONTROL});
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->TopRow(), 1);
    Key(VK_UP);
    EXPECT_EQ(grid->Row(), 1);  // fixed rows are never current

    Click(3, 4);
    Click(4, 6, MK_SHIFT);
    EXPECT_EQ(grid->Selection(), (GridRect{3, 4, 4, 6}));
    EXPECT_EQ(pressedAt, (std::vector<std::pair<int, int>>{{3, 4}, {3, 4}}));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Centre(2, 2));
    Send(WM_MOUSEMOVE, MK_LBUTTON, Centre(4, 3));
    Send(WM_LBUTTONUP, 0, Centre(4, 3));
    EXPECT_EQ(grid->Selection(), (GridRect{2, 2, 4, 3}));
    Click(0, 0);  // a fixed cell selects nothing
    EXPECT_EQ(grid->Selection(), (GridRect{2, 2, 4, 3}));
    int col, row;
    EXPECT_FALSE(grid->MouseToCell(450, 10, col, row));  // right of the last column
    EXPECT_EQ(col, -1);
    EXPECT_TRUE(grid->MouseToCell(61, 22, col, row));  // a cell starts right after its lines
    EXPECT_EQ(col * 10 + row, 11);
}

TEST_F(ComboGridTest, InPlaceEditorKeepsToTheMaskAndLimitAndEndsOnFocusLoss)
{
    Make(4, 4, 1, kDefaultGridOptions | goEditing);
    grid->CellKinds(1).Items = {{L"000-0000"}};
    grid->CellKinds(2).MaxLength = 3;
    grid->CellKinds(3).Editable = false;
    int ended = 0;
    grid->OnEditEnd = [&](TComboGrid&) { ++ended; };

    grid->FocusCell(1, 1, false);
    Type(L"5");  // typing opens the editor
    ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->Visible());
    EXPECT_EQ(::GetFocus(), grid->InplaceEditor()->Handle());
    Type(L"55x12");
    EXPECT_EQ(grid->Cells(1, 1), L"555-12");
    Key(VK_RETURN);
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(ended, 1);

    grid->FocusCell(2, 1, false);
    Type(L"abcdef");
    EXPECT_EQ(grid->Cells(2, 1), L"abc");
    Key(VK_ESCAPE);
    EXPECT_EQ(grid->Cells(2, 1), L"");

    grid->FocusCell(3, 1, false);
    Key(VK_F2);
    EXPECT_FALSE(grid->InplaceEditor()->Visible());  // not editable

    grid->FocusCell(2, 2, false);
    Type(L"xy");
    ended = 0;
    ::SetFocus(host.Handle());
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(grid->Cells(2, 2), L"xy");
}

TEST_F(ComboGridTest, ComboListOpensBelowTheEditorAndPicksAnItem)
{
    Make(3, 4, 1, kDefaultGridOptions | goEditing);
    TCellKind& colour = grid->CellKinds(1);
    colour.Kind = ckCombo;
    colour.Items = {{L"Red"}, {L"Green"}, {L"Blue"}};
    colour.DropDownWidth = 150;
    grid->SetCells(1, 1, L"Green");
    grid->FocusCell(1, 1, false);
    Key(VK_F2);
    auto* editor = grid->ComboEditor();
    ASSERT_TRUE(editor && editor->Visible());
    EXPECT_EQ(editor->Kind().Kind, ckCombo);

    RECT box{};
    ::GetClientRect(editor->Handle(), &box);
    LPARAM onButton = MAKELPARAM(box.right - 3, box.bottom / 2);
    ::SendMessageW(editor->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    EXPECT_GE(editor->ButtonDownX(), box.right - DropDownButtonWidth());
    ::SendMessageW(editor->Handle(), WM_LBUTTONUP, 0, onButton);
    TInplaceListBox* list = editor->ListBox();
    ASSERT_TRUE(list && list->Visible());
    EXPECT_EQ(list->ItemIndex(), 1);
    EXPECT_EQ(::GetFocus(), editor->Handle());
    RECT listRect{}, editorRect{};
    ::GetWindowRect(list->Handle(), &listRect);
    ::GetWindowRect(editor->Handle(), &editorRect);
    EXPECT_EQ(listRect.top, editorRect.bottom);
    EXPECT_EQ(listRect.right, editorRect.right);
    EXPECT_EQ(listRect.right - listRect.left, 150);
    EXPECT_EQ(::GetParent(list->Handle()), nullptr);

    Key(VK_DOWN);  // the list takes the arrows and the editor follows it
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(editor->Text(), L"Blue");
    Key(VK_RETURN);
    EXPECT_FALSE(list->Visible());
    EXPECT_TRUE(editor->Visible());
    EXPECT_EQ(grid->Cells(1, 1), L"Blue");

    editor->ToggleList();
    ASSERT_TRUE(list->Visible());
    Key(VK_ESCAPE);
    EXPECT_FALSE(list->Visible());
    EXPECT_TRUE(editor->Visible());

    editor->ToggleList();
    int itemHeight = static_cast<int>(::SendMessageW(list->Handle(), LB_GETITEMHEIGHT, 0, 0));
    LPARAM onRed = MAKELPARAM(5, itemHeight / 2);
    ::SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onRed);
    ::SendMessageW(list->Handle(), WM_LBUTTONUP, 0, onRed);
    EXPECT_FALSE(list->Visible());
    EXPECT_EQ(grid->Cells(1, 1), L"Red");
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1, 1}}));

    editor->ToggleList();
    ::SetFocus(host.Handle());  // leaving closes the list with the editor
    EXPECT_FALSE(list->Visible());
    EXPECT_FALSE(editor->Visible());
}

// A grid off the screen is not marked for painting by each change; showing it paints
// it whole, with what changed meanwhile.
TEST_F(ComboGridTest, AHiddenGridIsPaintedWhenShownNotAtEveryChange)
{
    Make(3, 2);
    auto dirty = [this] {
        RECT update;
        return ::GetUpdateRect(grid->Handle(), &update, FALSE) != FALSE;
    };
    ::ValidateRect(grid->Handle(), nullptr);
    grid->SetCells(1, 1, L"seen");
    EXPECT_TRUE(dirty());

    ::ShowWindow(host.Handle(), SW_HIDE);
    ::ValidateRect(grid->Handle(), nullptr);
    grid->SetCells(1, 1, L"later");
    grid->SetColCount(4);
    EXPECT_FALSE(dirty());
    ::ShowWindow(host.Handle(), SW_SHOWNOACTIVATE);
    EXPECT_TRUE(dirty());
    Pump();
    EXPECT_FALSE(dirty());
    EXPECT_EQ(grid->Cells(1, 1), L"later");
    EXPECT_EQ(Look(3, 1), Look(2, 1));  // the new column drawn like the others
}

TEST_F(ComboGridTest, LongTextsAndResizingRepaintSafely)
{
    Make(3, 3);
    grid->SetCells(1, 1, std::wstring(5000, L'W'));
    grid->CellKinds(1).SetAlignment(caRight | caVCenter);
    grid->SetColWidth(2, 40);
    ::MoveWindow(grid->Handle(), 8, 8, 120, 60, TRUE);
    ::MoveWindow(grid->Handle(), 8, 8, 400, 200, TRUE);
    Pump();
    Picture picture(grid->Handle());
    RECT wide = grid->CellRect(2, 1);
    EXPECT_EQ(wide.right - wide.left, 40);
    EXPECT_EQ(picture.At(wide.left + 3, wide.top + 3), grid->Color());  // drawn again after growing
    EXPECT_EQ(grid->Cells(1, 1).size(), 5000u);
}

TEST_F(ComboGridTest, PressedCellsFollowTheRealMouseLikeAPushButton)
{
    Make(4, 4, 1, kDefaultGridOptions | goEditing);
    SetKind(1, ckButton, {{L"Go"}});
    SetKind(2, ckCheck, {{L"no", 0}, {L"yes", 1}});
    grid->SetCells(2, 1, L"no");
    grid->FocusCell(1, 1, false);  // the press begins on the current cell of an editing grid
    Foreground();
    const std::vector<COLORREF> up = Look(1, 1);
    Mouse(OnScreen(Centre(1, 1)), MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Until([&] { return grid->PressedCol() == 1; }));
    EXPECT_EQ(::GetCapture(), grid->Handle());
    // The display's one pointer is shared with the tests running beside this one: a move
    // of theirs reaches the grid as a move off the cell. The pointer is put back on it.
    Send(WM_MOUSEMOVE, MK_LBUTTON, Centre(1, 1));
    EXPECT_NE(Look(1, 1), up);
    // What the capture brings while the button is down, given at once (another program's
    // window showing meanwhile must not take the activation between the steps).
    Send(WM_MOUSEMOVE, MK_LBUTTON, Centre(3, 3));  // dragged off, it looks released; back on, pressed
    EXPECT_EQ(Look(1, 1), up);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Centre(1, 1));
    EXPECT_NE(Look(1, 1), up);
    Send(WM_MOUSEMOVE, MK_LBUTTON, Centre(3, 3));
    Mouse(OnScreen(Centre(3, 3)), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(Until([&] { return grid->PressedCol() == -1; }));
    EXPECT_NE(::GetCapture(), grid->Handle());
    EXPECT_EQ(Look(1, 1), up);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(grid->Selection(), (GridRect{1, 1, 1, 1}));  // a press drags no selection

    // A press elsewhere released over a check cell is no click on it; then a real click.
    Mouse(OnScreen(Centre(3, 2)), MOUSEEVENTF_LEFTDOWN);
    Mouse(OnScreen(Centre(2, 1)), MOUSEEVENTF_LEFTUP);
    Mouse(OnScreen(Centre(1, 1)), MOUSEEVENTF_LEFTDOWN);
    Mouse(OnScreen(Centre(1, 1)), MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(Until([&] { return !clicks.empty(); }));
    EXPECT_EQ(grid->Cells(2, 1), L"no");
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{1, 1}}));

    // The capture taken away mid-press (a message box, another program): no click.
    Mouse(OnScreen(Centre(2, 1)), MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(Until([&] { return grid->PressedCol() == 2; }));
    ::SetCapture(host.Handle());
    EXPECT_EQ(grid->PressedCol(), -1);
    Mouse(OnScreen(Centre(2, 1)), MOUSEEVENTF_LEFTUP);
    Settle();
    EXPECT_EQ(grid->Cells(2, 1), L"no");
}

TEST_F(ComboGridTest, CaptionsNumbersAndFacesReadTrue)
{
    Make(5, 4);
    SetKind(1, ckButton, {{L"Go"}});
    SetKind(2, ckText, {{L""}, {L"#,##0.00"}});
    grid->CellKinds(2).SetAlignment(caRight | caVCenter);
    grid->CellKinds(3) = grid->CellKinds(2);
    grid->SetCells(2, 1, L"1234567.5");  // "1,234,567.50" is wider than the cell
    grid->SetCells(2, 2, L"-4.5");
    grid->SetCells(3, 2, L"-4.50");
    grid->FocusCell(1, 1, false);
    grid->FocusCell(4, 2, true);  // a range over the buttons
    ::SetFocus(host.Handle());
    // As many marks as the room of the right-aligned cell holds, in the grid's font.
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, grid->Font());
    SIZE mark{};
    ::GetTextExtentPoint32W(screen, L"#", 1, &mark);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    grid->SetCells(3, 1, std::wstring((grid->ColWidth(2) - 2) / mark.cx, L'#'));
    Picture picture(grid->Handle());
    EXPECT_EQ(picture.Block(grid->CellRect(1, 2)), picture.Block(grid->CellRect(1, 3)));  // selected or not
    EXPECT_EQ(picture.Block(grid->CellRect(2, 1)), picture.Block(grid->CellRect(3, 1)));
    EXPECT_EQ(picture.Block(grid->CellRect(2, 2)), picture.Block(grid->CellRect(3, 2)));  // fits: the number

    // One look with the system's own button, themed or classic: down the face, the same pixels.
    const RECT cell = grid->CellRect(1, 3);
    HWND system = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_PUSHBUTTON, 0, 0, cell.right - cell.left,
                                    cell.bottom - cell.top, host.Handle(), nullptr, nullptr, nullptr);
    for (bool themed : {true, false}) {
        if (!themed) {
            ::SetWindowTheme(grid->Handle(), L" ", L" ");
            ::SetWindowTheme(system, L" ", L" ");
        }
        Picture ours(grid->Handle()), theirs(system);
        for (int y = 2; y < cell.bottom - cell.top - 2; ++y)
            EXPECT_EQ(ours.At(cell.left + 3, cell.top + y), theirs.At(3, y)) << themed << " " << y;
    }
}

TEST_F(ComboGridTest, DropDownListBehavesLikeASystemCombosList)
{
    Make(3, 4, 1, kDefaultGridOptions | goEditing);
    SetKind(1, ckCombo, {{L"Red"}, {L"Green"}, {L"Blue"}});
    SetKind(2, ckCombo, {{L"Red"}});
    grid->SetCells(1, 1, L"Green");
    grid->FocusCell(1, 1, false);
    Foreground();
    Chord(VK_MENU, VK_DOWN);  // arrives as WM_SYSKEYDOWN
    ASSERT_TRUE(Until([&] { return grid->ComboEditor() && grid->ComboEditor()->ListVisible(); }));
    TComboInplaceEdit* editor = grid->ComboEditor();
    HWND list = editor->ListBox()->Handle();
    EXPECT_EQ(::GetCapture(), list);
    EXPECT_EQ(::GetFocus(), editor->Handle());
    Mouse(OnScreen(POINT{450, 250}), MOUSEEVENTF_LEFTDOWN);  // blank grid area
    Mouse(OnScreen(POINT{450, 250}), MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Until([&] { return !editor->ListVisible(); }));
    EXPECT_NE(::GetCapture(), list);
    EXPECT_EQ(grid->Cells(1, 1), L"Green");
    EXPECT_TRUE(clicks.empty());

    Tap(VK_F4);
    ASSERT_TRUE(Until([&] { return editor->ListVisible(); }));
    Tap(VK_F4);
    EXPECT_TRUE(Until([&] { return !editor->ListVisible(); }));
    Chord(VK_MENU, VK_DOWN);
    ASSERT_TRUE(Until([&] { return editor->ListVisible(); }));
    grid->FocusCell(2, 2, false);  // the current cell moves on: the list does not stay behind
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_TRUE(editor->Visible());
    EXPECT_EQ(grid->Cells(1, 1), L"Green");

    // Near the bottom of the work area it opens upwards.
    RECT work{}, frame{}, listRect{}, editorRect{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(host.Handle(), &frame);
    ::SetWindowPos(host.Handle(), nullptr, frame.left, work.bottom - 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    grid->FocusCell(1, 1, false);
    Tap(VK_F4);
    ASSERT_TRUE(Until([&] { return editor->ListVisible(); }));
    ::GetWindowRect(list, &listRect);
    ::GetWindowRect(editor->Handle(), &editorRect);
    EXPECT_EQ(listRect.bottom, editorRect.top);
    Tap(VK_ESCAPE);
    EXPECT_TRUE(Until([&] { return !editor->ListVisible(); }));

    // A text cell after a combo cell gets its whole text area back.
    auto textArea = [&] {
        RECT r{};
        ::SendMessageW(editor->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
        return std::make_pair(r.left, r.right);
    };
    const auto combo = textArea();
    SetKind(1, ckText, {});
    grid->FocusCell(1, 2, false);
    EXPECT_GE(textArea().second - combo.second, DropDownButtonWidth());
}

TEST_F(ComboGridTest, TabAndShiftTabAlwaysLeaveTheGrid)
{
    struct Case {
        unsigned options;
        int kind, col, row;  // the kind of column 1, the current cell
        bool back, leaves;
    } cases[] = {
        {goEditing, ckText, 1, 1, false, true},               // no cell tabbing: Tab is the dialog's
        {goEditing | goTabs, ckText, 2, 2, false, true},      // the last cell
        {goEditing | goTabs, ckText, 1, 1, true, true},       // the first, going back
        {goEditing | goTabs, ckText, 1, 1, false, false},     // to the next cell
        {goEditing | goTabs, ckText, 2, 2, true, false},      // to the one before
        {0, ckButton, 1, 1, false, true},                     // a button cell claims no Tab
        {goTabs, ckButton, 2, 2, false, true},
    };
    for (const Case& c : cases) {
        Make(3, 3, 1, kDefaultGridOptions | c.options);
        ::SetWindowLongW(host.Handle(), GWL_EXSTYLE, ::GetWindowLongW(host.Handle(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
        grid->CellKinds(1).Kind = static_cast<uint8_t>(c.kind);
        HWND next = ::CreateWindowExW(0, L"BUTTON", L"Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 520, 8, 80, 24,
                                      host.Handle(), nullptr, nullptr, nullptr);
        grid->FocusCell(c.col, c.row, false);
        Foreground();
        if (c.options & goEditing) grid->ShowEditor();
        if (c.back) {
            Chord(VK_SHIFT, VK_TAB);
        } else {
            Tap(VK_TAB);
        }
        EXPECT_EQ(Until([&] { return ::GetFocus() == next; }, host.Handle()), c.leaves) << c.options << c.back;
        EXPECT_EQ(grid->Col() * 10 + grid->Row() == c.col * 10 + c.row, c.leaves);  // else it moved on
        ::DestroyWindow(next);
    }
}
