// Input masks of the grid's in-place editor: which characters a cell accepts where.
//
// A mask is a row of positions, one per character of the text:
//   0  a digit                         9  a digit or a blank
//   #  a digit, a blank, '+' or '-'    L  a letter
//   A  a letter or a digit             C  any character
//   \x the character x itself          anything else: that character itself (a literal)
// Typing fills the positions from the caret on; a literal position takes its own
// character, and typing another character there inserts the literal first. Text longer
// than the mask, or a character that does not fit its position, is refused. Positions
// are not required to be filled: a shorter text is accepted as it is. An empty mask
// accepts everything.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// True when every character of text fits its position of the mask.
bool MaskFits(std::wstring_view mask, std::wstring_view text);

struct MaskedText {
    std::wstring text;
    size_t caret = 0;
};

// The text after typing ch over the selection [selStart, selEnd), or nothing when the
// mask refuses it.
std::optional<MaskedText> MaskTyped(std::wstring_view mask, std::wstring_view text, size_t selStart, size_t selEnd,
                                    wchar_t ch);
