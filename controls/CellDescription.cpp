// The typed-cell grid's portable half: kinds, their stored form, number pictures,
// check values and text placement.
#include "controls/CellDescription.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <variant>

#include "core/Error.h"
#include "core/Text.h"

void TCellKind::SetFixedAlignment(uint8_t value)
{
    if (fixedAlignment_ == value) return;
    fixedAlignment_ = value;
    if (owner_) owner_->CellKindChanged();
}

void TCellKind::SetAlignment(uint8_t value)
{
    if (alignment_ == value) return;
    alignment_ = value;
    if (owner_) owner_->CellKindChanged();
}

void TCellKind::CopyFields(const TCellKind& other)
{
    if (this == &other) return;
    Kind = other.Kind;
    Items = other.Items;
    DropDownWidth = other.DropDownWidth;
    Margin = other.Margin;
    MaxLength = other.MaxLength;
    Editable = other.Editable;
    // Through the setters, so that a kind the grid owns repaints it.
    SetFixedAlignment(other.fixedAlignment_);
    SetAlignment(other.alignment_);
}

bool TCellKind::SameFields(const TCellKind& other) const
{
    return Kind == other.Kind && Items == other.Items && DropDownWidth == other.DropDownWidth &&
           Margin == other.Margin && MaxLength == other.MaxLength && Editable == other.Editable &&
           fixedAlignment_ == other.fixedAlignment_ && alignment_ == other.alignment_;
}

// ---- Stored form ------------------------------------------------------------------

namespace {

class ListWriter {
public:
    ListWriter() { out_ = L"("; }
    void Int(long long value) { Next(std::to_wstring(value)); }
    void Bool(bool value) { Next(value ? L"True" : L"False"); }
    void Str(std::wstring_view value)
    {
        std::wstring quoted = L"'";
        for (wchar_t c : value) {
            quoted += c;
            if (c == L'\'') quoted += c;
        }
        Next(quoted + L"'");
    }
    std::wstring Finish() { return out_ + L")"; }

private:
    void Next(const std::wstring& value)
    {
        if (out_.size() > 1) out_ += L' ';
        out_ += value;
    }
    std::wstring out_;
};

class ListReader {
public:
    ListReader(std::wstring_view text, const wchar_t* what) : text_(text), what_(what)
    {
        SkipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != L'(') Fail(L"does not start with \"(\"");
        ++pos_;
    }

    bool AtEnd()
    {
        SkipBlanks();
        if (pos_ >= text_.size()) Fail(L"has no closing \")\"");
        if (text_[pos_] != L')') return false;
        size_t close = pos_++;
        SkipBlanks();
        if (pos_ < text_.size()) {
            pos_ = close + 1;
            Fail(L"has text after the closing \")\"");
        }
        return true;
    }

    long long Int(long long low, long long high)
    {
        std::wstring token = Token();
        std::optional<int32_t> value =
            token.find_first_not_of(L"+-0123456789") == std::wstring::npos ? ParseInteger(token) : std::nullopt;
        if (!value || *value < low || *value > high)
            Fail(L"has \"" + token + L"\" where an integer from " + std::to_wstring(low) + L" to " +
                 std::to_wstring(high) + L" belongs");
        return *value;
    }

    bool Bool()
    {
        std::wstring token = Token();
        if (SameText(token, L"True")) return true;
        if (SameText(token, L"False")) return false;
        Fail(L"has \"" + token + L"\" where True or False belongs");
    }

    std::wstring Str()
    {
        SkipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != L'\'') Fail(L"has no string where one belongs");
        size_t start = pos_++;
        std::wstring value;
        for (;;) {
            if (pos_ >= text_.size()) {
                pos_ = start;
                Fail(L"has a string without its closing quote");
            }
            wchar_t c = text_[pos_++];
            if (c == L'\'') {
                if (pos_ < text_.size() && text_[pos_] == L'\'') {
                    ++pos_;
                } else {
                    return value;
                }
            }
            value += c;
        }
    }

    [[noreturn]] void Fail(const std::wstring& problem) const
    {
        throw AppError(std::wstring(what_) + L" " + problem + L" (at character " + std::to_wstring(pos_ + 1) + L").");
    }

private:
    void SkipBlanks()
    {
        while (pos_ < text_.size() &&
               (text_[pos_] == L' ' || text_[pos_] == L'\t' || text_[pos_] == L'\r' || text_[pos_] == L'\n'))
            ++pos_;
    }
    std::wstring Token()
    {
        SkipBlanks();
        size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != L' ' && text_[pos_] != L'\t' && text_[pos_] != L'\r' &&
               text_[pos_] != L'\n' && text_[pos_] != L')' && text_[pos_] != L'\'')
            ++pos_;
        if (start == pos_) Fail(L"ends where a value belongs");
        return std::wstring(text_.substr(start, pos_ - start));
    }

    std::wstring_view text_;
    const wchar_t* what_;
    size_t pos_ = 0;
};

constexpr long long kIntMax = std::numeric_limits<int32_t>::max();

}  // namespace

std::wstring WriteCellData(const std::vector<CellText>& cells)
{
    ListWriter out;
    for (const CellText& cell : cells) {
        out.Int(cell.Col);
        out.Int(cell.Row);
        out.Str(cell.Text);
    }
    return out.Finish();
}

std::vector<CellText> ReadCellData(std::wstring_view text)
{
    ListReader in(text, L"The cell texts");
    std::vector<CellText> cells;
    while (!in.AtEnd()) {
        CellText cell;
        cell.Col = static_cast<int>(in.Int(0, kIntMax));
        cell.Row = static_cast<int>(in.Int(0, kIntMax));
        cell.Text = in.Str();
        cells.push_back(std::move(cell));
    }
    return cells;
}

std::wstring WriteCellKinds(const std::vector<TCellKind>& kinds)
{
    ListWriter out;
    for (const TCellKind& kind : kinds) {
        out.Int(kind.Kind);
        out.Int(kind.FixedAlignment());
        out.Int(kind.Alignment());
        out.Int(static_cast<long long>(kind.Items.size()));
        for (const CellItem& item : kind.Items) {
            out.Str(item.Text);
            if (kind.Kind == ckCheck) out.Int(item.Mark);
        }
        out.Int(kind.DropDownWidth);
        out.Int(kind.Margin);
        out.Int(kind.MaxLength);
        out.Bool(kind.Editable);
    }
    return out.Finish();
}

std::vector<TCellKind> ReadCellKinds(std::wstring_view text)
{
    ListReader in(text, L"The cell kinds");
    std::vector<TCellKind> kinds;
    while (!in.AtEnd()) {
        TCellKind kind;
        kind.Kind = static_cast<uint8_t>(in.Int(ckText, ckCheck));
        kind.SetFixedAlignment(static_cast<uint8_t>(in.Int(0, 255)));
        kind.SetAlignment(static_cast<uint8_t>(in.Int(0, 255)));
        long long count = in.Int(0, kIntMax);
        for (long long i = 0; i < count; ++i) {
            CellItem item;
            item.Text = in.Str();
            if (kind.Kind == ckCheck) item.Mark = static_cast<int>(in.Int(-kIntMax - 1, kIntMax));
            kind.Items.push_back(std::move(item));
        }
        kind.DropDownWidth = static_cast<int>(in.Int(0, kMaxDropDownWidth));
        kind.Margin = static_cast<int>(in.Int(0, kMaxCellMargin));
        kind.MaxLength = static_cast<int>(in.Int(0, kIntMax));
        kind.Editable = in.Bool();
        kinds.push_back(std::move(kind));
    }
    return kinds;
}

// ---- Number pictures --------------------------------------------------------------

namespace {

bool IsPlaceholder(wchar_t c) { return c == L'0' || c == L'#' || c == L'.' || c == L','; }

std::vector<std::wstring> SplitSections(std::wstring_view picture)
{
    std::vector<std::wstring> sections(1);
    wchar_t quote = 0;
    for (wchar_t c : picture) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'\'' || c == L'"') {
            quote = c;
        } else if (c == L';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

struct Picture {
    std::wstring prefix, suffix;
    int minInt = 0;
    int minFrac = 0;
    int maxFrac = 0;
    bool thousands = false;
    bool hasDigits = false;
};

Picture ParsePicture(std::wstring_view section)
{
    Picture p;
    std::wstring placeholders;
    bool seenPlaceholder = false;
    wchar_t quote = 0;
    std::wstring pendingLiteral;  // text after a placeholder: suffix unless more follow
    for (wchar_t c : section) {
        if (quote) {
            if (c == quote) {
                quote = 0;
            } else {
                (seenPlaceholder ? pendingLiteral : p.prefix) += c;
            }
        } else if (c == L'\'' || c == L'"') {
            quote = c;
        } else if (IsPlaceholder(c)) {
            seenPlaceholder = true;
            pendingLiteral.clear();  // literals among the digits are not shown
            placeholders += c;
        } else {
            (seenPlaceholder ? pendingLiteral : p.prefix) += c;
        }
    }
    p.suffix = pendingLiteral;
    size_t point = placeholders.find(L'.');
    std::wstring integer = placeholders.substr(0, point);
    std::wstring fraction = point == std::wstring::npos ? L"" : placeholders.substr(point + 1);
    p.thousands = integer.find(L',') != std::wstring::npos;
    bool counting = false;
    for (wchar_t c : integer) {
        if (c == L'0') counting = true;
        if (counting && (c == L'0' || c == L'#')) ++p.minInt;
        if (c == L'0' || c == L'#') p.hasDigits = true;
    }
    int place = 0;
    for (wchar_t c : fraction) {
        if (c != L'0' && c != L'#') continue;
        ++place;
        p.hasDigits = true;
        if (c == L'0') p.minFrac = place;
    }
    p.maxFrac = place;
    return p;
}

// The decimal digits of |value| rounded to `places` decimals: integer and fraction.
void RoundedDigits(double value, int places, std::string& integer, std::string& fraction)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));  // 15 significant digits
    std::string text = buffer;
    size_t e = text.find('e');
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    // digits[i] stands for 10^(exponent - i); keep places down to 10^-places.
    int keep = exponent + 1 + places;
    if (keep < 0) {
        digits = "0";
        exponent = 0;
        keep = 1 + places;
    }
    bool carry = false;
    if (keep < static_cast<int>(digits.size())) {
        carry = digits[keep] >= '5';
        digits.resize(keep);
    }
    digits.resize(keep, '0');
    for (int i = keep - 1; carry && i >= 0; --i) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            carry = false;
        }
    }
    if (carry) {
        digits.insert(digits.begin(), '1');
        ++exponent;
    }
    int intCount = exponent + 1;
    if (intCount <= 0) {
        integer = "0";
        fraction = std::string(-intCount, '0') + digits;
    } else {
        integer = digits.substr(0, intCount);
        fraction = digits.substr(intCount);
    }
    fraction.resize(places, '0');
    size_t nonzero = integer.find_first_not_of('0');
    integer = nonzero == std::string::npos ? "0" : integer.substr(nonzero);
}

std::wstring Apply(const Picture& p, double magnitude, bool negative)
{
    if (!p.hasDigits) return p.prefix + p.suffix;
    std::string integer, fraction;
    RoundedDigits(magnitude, p.maxFrac, integer, fraction);
    while (static_cast<int>(fraction.size()) > p.minFrac && fraction.back() == '0') fraction.pop_back();
    if (integer == "0" && p.minInt == 0) integer.clear();
    if (static_cast<int>(integer.size()) < p.minInt) integer.insert(0, p.minInt - integer.size(), '0');
    bool zero =
        integer.find_first_not_of('0') == std::string::npos && fraction.find_first_not_of('0') == std::string::npos;

    std::wstring out = p.prefix;
    if (negative && !zero) out += L'-';
    for (size_t i = 0; i < integer.size(); ++i) {
        out += static_cast<wchar_t>(integer[i]);
        size_t left = integer.size() - i - 1;
        if (p.thousands && left > 0 && left % 3 == 0) out += L',';
    }
    if (!fraction.empty()) {
        out += L'.';
        for (char c : fraction) out += static_cast<wchar_t>(c);
    }
    return out + p.suffix;
}

}  // namespace

std::wstring FormatNumber(double value, std::wstring_view picture)
{
    if (!std::isfinite(value)) return value != value ? L"NAN" : value < 0 ? L"-INF" : L"INF";
    std::vector<std::wstring> sections = SplitSections(picture);
    if (value < 0 && sections.size() > 1 && !sections[1].empty())
        return Apply(ParsePicture(sections[1]), -value, false);
    if (value == 0 && sections.size() > 2 && !sections[2].empty()) return Apply(ParsePicture(sections[2]), 0, false);
    return Apply(ParsePicture(sections[0]), std::fabs(value), value < 0);
}

std::optional<double> ParseNumber(std::wstring_view text)
{
    std::wstring trimmed = Trim(text);
    std::string ascii;
    size_t i = 0;
    auto digits = [&] {
        size_t start = i;
        while (i < trimmed.size() && trimmed[i] >= L'0' && trimmed[i] <= L'9') ascii += static_cast<char>(trimmed[i++]);
        return i - start;
    };
    if (i < trimmed.size() && (trimmed[i] == L'+' || trimmed[i] == L'-')) ascii += static_cast<char>(trimmed[i++]);
    size_t count = digits();
    if (i < trimmed.size() && trimmed[i] == L'.') {
        ascii += '.';
        ++i;
        count += digits();
    }
    if (count == 0) return std::nullopt;
    if (i < trimmed.size() && (trimmed[i] == L'e' || trimmed[i] == L'E')) {
        ascii += 'e';
        ++i;
        if (i < trimmed.size() && (trimmed[i] == L'+' || trimmed[i] == L'-')) ascii += static_cast<char>(trimmed[i++]);
        if (digits() == 0) return std::nullopt;
    }
    if (i != trimmed.size()) return std::nullopt;
    double value = std::strtod(ascii.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

std::wstring DisplayText(const TCellKind& kind, std::wstring_view text)
{
    if (kind.Kind != ckText || kind.Items.size() < 2 || kind.Items[1].Text.empty() || text.empty())
        return std::wstring(text);
    std::optional<double> number = ParseNumber(text);
    return number ? FormatNumber(*number, kind.Items[1].Text) : std::wstring(text);
}

// ---- Check cells ------------------------------------------------------------------

int FindItem(const std::vector<CellItem>& items, std::wstring_view text)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (SameText(items[i].Text, text)) return static_cast<int>(i);
    return -1;
}

CheckLook CheckLookOf(const std::vector<CellItem>& items, std::wstring_view text)
{
    int i = FindItem(items, text);
    if (i < 0) return CheckLook::Unmatched;
    return items[i].Mark == 0 ? CheckLook::Cross : CheckLook::Empty;
}

std::wstring NextCheckValue(const std::vector<CellItem>& items, std::wstring_view text)
{
    if (items.empty()) return std::wstring(text);
    int i = FindItem(items, text);
    if (i < 0 || items[i].Mark == 1) return items[0].Text;
    for (const CellItem& item : items)
        if (item.Mark == 1) return item.Text;
    return items[i].Text;
}

// ---- Text placement ---------------------------------------------------------------

CellBox PlaceText(CellBox cell, int textWidth, int textHeight, unsigned flags, int margin)
{
    margin = std::clamp(margin, 0, kMaxCellMargin);
    const int cw = cell.right - cell.left;
    const int ch = cell.bottom - cell.top;
    CellBox t = cell;
    if (flags & caLeft) t.left += margin;
    if ((flags & caCenter) && textWidth < cw) {
        t.left += (cw - textWidth) / 2;
        t.right = t.left + textWidth;
    }
    if ((flags & caRight) && textWidth < cw) {
        t.left = t.left + cw - textWidth - margin;
        t.right = t.left + textWidth;
    }
    if (flags & caTop) t.top += margin;
    if ((flags & caVCenter) && textHeight < ch) {
        t.top += (ch - textHeight) / 2;
        t.bottom = t.top + textHeight;
    }
    if ((flags & caBottom) && textHeight < ch) {
        t.top = t.top + ch - textHeight - margin;
        t.bottom = t.top + textHeight;
    }
    return t;
}

int TextRoom(int cellWidth, unsigned flags, int margin)
{
    margin = std::clamp(margin, 0, kMaxCellMargin);
    const int kept = (flags & caCenter) ? 0 : (flags & (caLeft | caRight)) ? margin : 0;
    return std::max(0, cellWidth - kept);
}

std::wstring FitCellText(std::wstring_view shown, bool isNumber, int textWidth, int room, int markWidth)
{
    if (!isNumber || textWidth <= room) return std::wstring(shown);
    return std::wstring(static_cast<size_t>(std::max(1, room / std::max(1, markWidth))), L'#');
}

CellBox DropDownPlace(CellBox anchor, int width, int height, CellBox workArea)
{
    CellBox place{anchor.right - width, anchor.bottom, anchor.right, anchor.bottom + height};
    const int below = workArea.bottom - anchor.bottom, above = anchor.top - workArea.top;
    if (height > below && above > below) {
        place.top = anchor.top - height;
        place.bottom = anchor.top;
    }
    // Into the work area sideways; a list wider than it keeps its left edge on it.
    if (place.right > workArea.right) {
        place.left -= place.right - workArea.right;
        place.right = workArea.right;
    }
    if (place.left < workArea.left) {
        place.right += workArea.left - place.left;
        place.left = workArea.left;
    }
    return place;
}

std::wstring_view ClipCellText(std::wstring_view text)
{
    if (text.size() <= kCellTextBuffer) return text;
    size_t length = kCellTextBuffer;
    if (text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
    return text.substr(0, length);
}
