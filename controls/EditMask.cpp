// Input masks of the grid's in-place editor.
#include "controls/EditMask.h"

#include <algorithm>
#include <cwctype>
#include <vector>

namespace {

struct Position {
    wchar_t kind;     // one of 0 9 # L A C, or 0 for a literal
    wchar_t literal;  // the literal's character
};

std::vector<Position> Positions(std::wstring_view mask)
{
    std::vector<Position> positions;
    for (size_t i = 0; i < mask.size(); ++i) {
        wchar_t c = mask[i];
        if (c == L'\\' && i + 1 < mask.size()) {
            positions.push_back({0, mask[++i]});
        } else if (c == L'0' || c == L'9' || c == L'#' || c == L'L' || c == L'A' || c == L'C') {
            positions.push_back({c, 0});
        } else {
            positions.push_back({0, c});
        }
    }
    return positions;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsLetter(wchar_t c) { return std::iswalpha(static_cast<wint_t>(c)) || c >= 0x3040; }

bool Fits(const Position& p, wchar_t c)
{
    switch (p.kind) {
    case 0: return c == p.literal;
    case L'0': return IsDigit(c);
    case L'9': return IsDigit(c) || c == L' ';
    case L'#': return IsDigit(c) || c == L' ' || c == L'+' || c == L'-';
    case L'L': return IsLetter(c);
    case L'A': return IsLetter(c) || IsDigit(c);
    default: return c >= L' ';
    }
}

}  // namespace

bool MaskFits(std::wstring_view mask, std::wstring_view text)
{
    if (mask.empty()) return true;
    std::vector<Position> positions = Positions(mask);
    if (text.size() > positions.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (!Fits(positions[i], text[i])) return false;
    return true;
}

std::optional<MaskedText> MaskTyped(std::wstring_view mask, std::wstring_view text, size_t selStart, size_t selEnd,
                                    wchar_t ch)
{
    if (selStart > text.size()) selStart = text.size();
    if (selEnd < selStart || selEnd > text.size()) selEnd = selStart;
    std::wstring inserted;
    if (!mask.empty()) {
        std::vector<Position> positions = Positions(mask);
        size_t at = selStart;
        while (at < positions.size() && positions[at].kind == 0 && positions[at].literal != ch)
            inserted += positions[at++].literal;
    }
    inserted += ch;
    MaskedText result;
    result.text = std::wstring(text.substr(0, selStart)) + inserted + std::wstring(text.substr(selEnd));
    result.caret = selStart + inserted.size();
    if (MaskFits(mask, result.text)) return result;
    // A full or fixed-shape text takes the character over the one at the caret.
    size_t end = std::max(selEnd, std::min(text.size(), selStart + inserted.size()));
    result.text = std::wstring(text.substr(0, selStart)) + inserted + std::wstring(text.substr(end));
    if (MaskFits(mask, result.text)) return result;
    return std::nullopt;
}
