// The Enable rewrite of plug-in INF files, on code units rather than characters.
#include "pebuilder/InfEnable.h"

#include <cstdint>
#include <vector>

#include "core/TextCodec.h"

namespace {

using Units = std::u16string;  // one code unit per element: a byte or a UTF-16 unit
using UnitView = std::u16string_view;

struct Decoded {
    TextEncoding encoding = TextEncoding::Ansi;
    Units units;
    std::string_view stray;  // a last odd byte of a UTF-16 file, kept at the end
};

Decoded Decode(std::string_view inf)
{
    Decoded d;
    d.encoding = DetectEncoding(inf);
    std::string_view body = inf.substr(ByteOrderMark(d.encoding).size());
    if (!IsUtf16(d.encoding)) {
        d.units.reserve(body.size());
        for (char c : body) d.units += static_cast<char16_t>(static_cast<uint8_t>(c));
        return d;
    }
    d.units = Utf16Units<char16_t>(body, d.encoding == TextEncoding::Utf16BeBom);
    if (body.size() % 2) d.stray = body.substr(body.size() - 1);
    return d;
}

std::string Encode(const Decoded& d, const Units& units)
{
    std::string out(ByteOrderMark(d.encoding));
    if (IsUtf16(d.encoding)) {
        AppendUtf16Bytes(out, UnitView(units), d.encoding == TextEncoding::Utf16BeBom);
    } else {
        out.reserve(out.size() + units.size());
        for (char16_t u : units) out += static_cast<char>(u & 0xFF);
    }
    out += d.stray;
    return out;
}

// Units up to U+0020 are blanks and control characters. A Shift-JIS trail byte is
// never below 0x40, so trimming bytes cuts no character in two.
UnitView TrimUnits(UnitView line)
{
    while (!line.empty() && line.front() <= u' ') line.remove_prefix(1);
    while (!line.empty() && line.back() <= u' ') line.remove_suffix(1);
    return line;
}

// Only ASCII letters are folded: the names compared here are ASCII, no other letter
// folds to one of them, and a lead byte (0x81 and above) can never equal one.
bool SameAscii(UnitView text, std::u16string_view upper)
{
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
        if (c != upper[i]) return false;
    }
    return true;
}

// Whether the line's last unit is a character of its own, not the trail byte of a
// double-byte character: "]" (0x5D) is a Shift-JIS trail byte too. Walked from the
// line's start, which is a character boundary since CR and LF are never trail bytes.
bool LastUnitStandsAlone(UnitView line, const LeadBytes& lead)
{
    size_t i = 0;
    while (i + 1 < line.size()) i += line[i] < 0x100 && lead[line[i]] ? 2 : 1;
    return i == line.size() - 1;
}

std::vector<UnitView> SplitUnitLines(UnitView text)
{
    std::vector<UnitView> lines;
    lines.reserve(LineCountBound(text));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == UnitView::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == u'\r' && start < text.size() && text[start] == u'\n') ++start;
    }
    return lines;
}

}  // namespace

InfRewrite RewriteEnableLine(std::string_view inf, bool enabled, const LeadBytes& leadBytes)
{
    const Decoded d = Decode(inf);
    const LeadBytes noLeadBytes;
    const LeadBytes& lead = d.encoding == TextEncoding::Ansi ? leadBytes : noLeadBytes;
    std::vector<UnitView> lines = SplitUnitLines(d.units);
    const Units enableLine = enabled ? u"Enable=1" : u"Enable=0";

    bool inSection = false;
    for (UnitView& line : lines) {
        UnitView trimmed = TrimUnits(line);
        if (trimmed.empty() || trimmed.front() == u';') continue;
        if (trimmed.size() >= 2 && trimmed.front() == u'[' && trimmed.back() == u']' &&
            LastUnitStandsAlone(line.substr(0, trimmed.data() - line.data() + trimmed.size()), lead)) {
            inSection = SameAscii(TrimUnits(trimmed.substr(1, trimmed.size() - 2)), u"PEBUILDER");
            continue;
        }
        if (!inSection) continue;
        size_t equals = trimmed.find(u'=');
        if (equals != UnitView::npos && SameAscii(TrimUnits(trimmed.substr(0, equals)), u"ENABLE")) line = enableLine;
    }

    Units units;
    units.reserve(d.units.size() + 2 * lines.size() + 2);
    for (UnitView line : lines) {
        units += line;
        units += u"\r\n";
    }
    std::string bytes = Encode(d, units);
    bool changed = bytes != inf;
    return {std::move(bytes), changed};
}
