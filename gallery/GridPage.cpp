// The gallery's grid page: one typed-cell grid with a column of every kind, a fixed
// header row and a fixed column of row numbers, and a few rows of sample data.
#include <memory>

#include "controls/CmbGrid.h"
#include "gallery/GalleryPages.h"

namespace {

void SetUpKinds(TComboGrid& grid)
{
    TCellKind& name = grid.CellKinds(1);
    name.MaxLength = 20;

    TCellKind& phone = grid.CellKinds(2);
    phone.Items = {{L"000-0000"}};
    phone.SetAlignment(caCenter | caVCenter);

    TCellKind& price = grid.CellKinds(3);
    price.Items = {{L""}, {L"#,##0.00"}};
    price.SetAlignment(caRight | caVCenter);

    TCellKind& colour = grid.CellKinds(4);
    colour.Kind = ckCombo;
    colour.Items = {{L"Red"}, {L"Green"}, {L"Blue"}, {L"Cyan"}, {L"Magenta"}, {L"Yellow"}};
    colour.DropDownWidth = 120;

    TCellKind& go = grid.CellKinds(5);
    go.Kind = ckButton;
    go.Items = {{L"Go"}};

    TCellKind& own = grid.CellKinds(6);
    own.Kind = ckButton;
    own.Items = {{std::wstring(kUseCellData)}};

    TCellKind& check = grid.CellKinds(7);
    check.Kind = ckCheck;
    check.Items = {{L"no", 0}, {L"yes", 1}};

    for (int col = 0; col < grid.ColCount(); ++col) grid.CellKinds(col).SetFixedAlignment(caCenter | caVCenter);
}

void FillSamples(TComboGrid& grid)
{
    const wchar_t* headers[] = {L"#", L"Name", L"Phone", L"Price", L"Colour", L"Button", L"Own text", L"Check"};
    for (int col = 0; col < 8; ++col) grid.SetCells(col, 0, headers[col]);
    struct Sample {
        const wchar_t *name, *phone, *price, *colour, *own, *check;
    };
    const Sample samples[] = {
        {L"Alpha", L"555-0100", L"3.14159", L"Red", L"Open", L"no"},
        {L"Bravo", L"555-0101", L"1234567.5", L"Blue", L"Save", L"yes"},
        {L"Charlie", L"555-0102", L"not a number", L"Green", L"Print", L"maybe"},
        {L"Delta", L"", L"-42", L"", L"Close", L"no"},
        {L"Echo", L"555-0104", L"98765432109.5", L"Cyan", L"Quit", L"yes"},  // too wide: marks, never part of it
    };
    int row = 1;
    for (const Sample& s : samples) {
        grid.SetCells(0, row, std::to_wstring(row));
        grid.SetCells(1, row, s.name);
        grid.SetCells(2, row, s.phone);
        grid.SetCells(3, row, s.price);
        grid.SetCells(4, row, s.colour);
        grid.SetCells(6, row, s.own);
        grid.SetCells(7, row, s.check);
        ++row;
    }
}

}  // namespace

void CreateGridPage(HWND parent, const RECT& area, HFONT font)
{
    static std::unique_ptr<TComboGrid> grid;
    grid = std::make_unique<TComboGrid>();
    grid->SetColCount(8);
    grid->SetRowCount(9);
    grid->SetDefaultRowHeight(21);
    grid->SetColWidth(0, 24);
    grid->SetOptions(kDefaultGridOptions | goEditing | goTabs);
    grid->CreateGrid(parent, area.left, area.top, area.right - area.left, area.bottom - area.top, 100);
    grid->SetFont(font);
    for (int col = 1; col < 8; ++col) grid->SetColWidth(col, col == 3 ? 96 : 78);
    SetUpKinds(*grid);
    FillSamples(*grid);
    grid->OnGridBtnClick = [](TComboGrid& sender, int col, int row) {
        if (sender.CellKinds(col).Kind == ckButton) sender.SetCells(1, row, L"clicked " + sender.Cells(col, row));
    };
}
