// The typed-cell grid's portable half: the description of a column's cell kind, the
// text form in which a window stores cell texts and kinds, number pictures, check
// values and the placement of aligned text in a cell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum TCellKindCode : uint8_t { ckText = 0, ckCombo = 1, ckButton = 2, ckCheck = 3 };

// Alignment flags of a cell's text; 17 (left, vertically centred) is the default.
enum CellAlign : uint8_t {
    caLeft = 1,
    caCenter = 2,
    caRight = 4,
    caTop = 8,
    caVCenter = 16,
    caBottom = 32,
    caWordWrap = 64,
};

// One entry of a kind's Items. The mark only means something for check cells.
struct CellItem {
    std::wstring Text;
    int Mark = 0;
    bool operator==(const CellItem&) const = default;
};

// Told when a kind's alignment changes, so that the grid that owns it repaints.
class CellKindOwner {
public:
    virtual void CellKindChanged() = 0;

protected:
    ~CellKindOwner() = default;
};

// The description of one column. Copying copies every field but the owner.
class TCellKind {
public:
    TCellKind() = default;
    explicit TCellKind(CellKindOwner* owner) : owner_(owner) {}
    TCellKind(const TCellKind& other) { CopyFields(other); }
    TCellKind& operator=(const TCellKind& other)
    {
        CopyFields(other);
        return *this;
    }

    uint8_t Kind = ckText;
    std::vector<CellItem> Items;
    int DropDownWidth = 0;
    int Margin = 2;
    int MaxLength = 0;
    bool Editable = true;

    uint8_t FixedAlignment() const { return fixedAlignment_; }
    uint8_t Alignment() const { return alignment_; }
    void SetFixedAlignment(uint8_t value);
    void SetAlignment(uint8_t value);

    CellKindOwner* Owner() const { return owner_; }
    bool SameFields(const TCellKind& other) const;

private:
    void CopyFields(const TCellKind& other);

    uint8_t fixedAlignment_ = caLeft | caVCenter;
    uint8_t alignment_ = caLeft | caVCenter;
    CellKindOwner* owner_ = nullptr;
};

// A button column whose item 0 is this shows each cell's own text on its button.
inline constexpr std::wstring_view kUseCellData = L"%%USECELLDATA%%";

// ---- Stored form ------------------------------------------------------------------
// Both stored properties are lists of plain values in parentheses, separated by
// blanks or line breaks: integers in decimal ("-3"), strings in single quotes with a
// quote doubled ('it''s'; every other character, line breaks included, stands as it
// is), booleans True or False (read without regard to case). Reading a malformed list
// throws AppError naming the value at fault and its position.

struct CellText {
    int Col = 0;
    int Row = 0;
    std::wstring Text;
    bool operator==(const CellText&) const = default;
};

// The triples column, row, text, in the order given (the grid gives them row by row).
std::wstring WriteCellData(const std::vector<CellText>& cells);
std::vector<CellText> ReadCellData(std::wstring_view text);

// Per kind: Kind, FixedAlignment, Alignment, the item count, the items (each followed
// by its mark for a check kind), DropDownWidth, Margin, MaxLength, Editable. Pixel
// sizes are read within bounds that any screen allows (below); a stored size outside
// them is refused like any other malformed value, so arithmetic with them cannot overflow.
inline constexpr int kMaxCellMargin = 1000;
inline constexpr int kMaxDropDownWidth = 10000;
std::wstring WriteCellKinds(const std::vector<TCellKind>& kinds);
std::vector<TCellKind> ReadCellKinds(std::wstring_view text);

// ---- Number pictures --------------------------------------------------------------
// A picture has up to three sections separated by ';': for positive numbers, for
// negative ones (shown without a sign) and for zero; an empty or missing section
// falls back to the first. In a section, '0' is a digit always shown, '#' a digit
// shown only when significant, '.' the decimal point (the first one counts), ',' anywhere
// among the integer places groups the integer part by thousands. Text before the first
// and after the last of these characters is shown as it is; text in single or double
// quotes is literal. The number is rounded half away from zero, to 15 significant
// digits first, at the picture's last decimal place. The decimal point is always '.'
// and the thousands separator always ',', whatever the user's locale.
std::wstring FormatNumber(double value, std::wstring_view picture);

// A cell text read as a number: blanks around it, an optional sign, digits with at
// most one '.', an optional exponent (E or e, optional sign, digits). Nothing else.
std::optional<double> ParseNumber(std::wstring_view text);

// What a data cell of a text column shows: the text formatted with the kind's picture
// (item 1) when there is one and the text is a number; otherwise the text itself.
std::wstring DisplayText(const TCellKind& kind, std::wstring_view text);

// ---- Check cells ------------------------------------------------------------------

// The index of the item equal to text without regard to case, or -1.
int FindItem(const std::vector<CellItem>& items, std::wstring_view text);

enum class CheckLook { Unmatched, Cross, Empty };
CheckLook CheckLookOf(const std::vector<CellItem>& items, std::wstring_view text);

// The value a completed click gives a check cell. With no items the text stays.
std::wstring NextCheckValue(const std::vector<CellItem>& items, std::wstring_view text);

// ---- Text placement ---------------------------------------------------------------

struct CellBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const CellBox&) const = default;
};

// Where text of the measured size goes in the cell for the alignment flags. The margin
// counts within 0..kMaxCellMargin, whatever the kind was given.
CellBox PlaceText(CellBox cell, int textWidth, int textHeight, unsigned flags, int margin);

// The room that aligned text has in a cell: the margin is kept on the side the text is
// aligned to (left or right), not when it is centred.
int TextRoom(int cellWidth, unsigned flags, int margin);

// What a cell shows of a text `textWidth` wide in `room` pixels. A number that does not
// fit shows as '#' marks filling the room (at least one): cut at either end it would
// read as another number. Any other text is shown as it is, clipped by the cell.
std::wstring FitCellText(std::wstring_view shown, bool isNumber, int textWidth, int room, int markWidth);

// Where a drop-down list of the given size goes: below the anchor (the screen
// rectangle of what it drops from), right-aligned with it; above the anchor when it
// does not fit below the work area's bottom and more of it fits above; moved left or
// right to stay inside the work area where it can.
CellBox DropDownPlace(CellBox anchor, int width, int height, CellBox workArea);

// Cell texts are drawn through a buffer of this many characters; a longer text shows
// its first characters only (never half of a surrogate pair).
inline constexpr size_t kCellTextBuffer = 255;
std::wstring_view ClipCellText(std::wstring_view text);
