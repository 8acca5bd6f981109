// The Enable rewrite of plug-in INF files, on code units rather than characters:
// bytes for files in the ANSI code page or UTF-8, 16-bit units for UTF-16 files.
#include "pebuilder/InfEnable.h"

#include <cstdint>

#include "core/TextCodec.h"

namespace {

template <typename Unit>
using View = std::basic_string_view<Unit>;

inline unsigned Code(char c) { return static_cast<unsigned char>(c); }
inline unsigned Code(char16_t c) { return c; }

// Units up to U+0020 are blanks and control characters. A Shift-JIS trail byte is
// never below 0x40, so trimming bytes cuts no character in two.
template <typename Unit>
View<Unit> TrimUnits(View<Unit> line)
{
    while (!line.empty() && Code(line.front()) <= 0x20) line.remove_prefix(1);
    while (!line.empty() && Code(line.back()) <= 0x20) line.remove_suffix(1);
    return line;
}

// Only ASCII letters are folded: the names compared here are ASCII, no other letter
// folds to one of them, and a lead byte (0x81 and above) can never equal one.
template <typename Unit>
bool SameAscii(View<Unit> text, std::string_view upper)
{
    if (text.size() != upper.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = Code(text[i]);
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
        if (c != static_cast<unsigned char>(upper[i])) return false;
    }
    return true;
}

// Whether the line's last unit is a character of its own, not the trail byte of a
// double-byte character: "]" (0x5D) is a Shift-JIS trail byte too. Walked from the
// line's start, which is a character boundary since CR and LF are never trail bytes.
template <typename Unit>
bool LastUnitStandsAlone(View<Unit> line, const LeadBytes& lead)
{
    size_t i = 0;
    while (i + 1 < line.size()) i += Code(line[i]) < 0x100 && lead[Code(line[i])] ? 2 : 1;
    return i == line.size() - 1;
}

// Reads the lines as the INI reader does and tells which of them the switch rewrites.
template <typename Unit>
class EnableLines {
public:
    explicit EnableLines(const LeadBytes& lead) : lead_(lead) {}

    bool Rewrites(View<Unit> line)
    {
        View<Unit> trimmed = TrimUnits(line);
        if (trimmed.empty() || trimmed.front() == Unit(';')) return false;
        if (trimmed.size() >= 2 && trimmed.front() == Unit('[') && trimmed.back() == Unit(']') &&
            LastUnitStandsAlone(line.substr(0, trimmed.data() - line.data() + trimmed.size()), lead_)) {
            inSection_ = SameAscii(TrimUnits(trimmed.substr(1, trimmed.size() - 2)), "PEBUILDER");
            return false;
        }
        if (!inSection_) return false;
        size_t equals = trimmed.find(Unit('='));
        return equals != View<Unit>::npos && SameAscii(TrimUnits(trimmed.substr(0, equals)), "ENABLE");
    }

private:
    const LeadBytes& lead_;
    bool inSection_ = false;
};

// Splits text at CR LF, CR or LF and calls visit(line, endsWithCrLf) for each line; a
// final line end opens no further line. Stops early when visit answers false.
template <typename Unit, typename Visit>
void ForEachLine(View<Unit> text, Visit visit)
{
    const size_t size = text.size();
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && text[end] != Unit('\r') && text[end] != Unit('\n')) ++end;
        const bool crLf = end + 1 < size && text[end] == Unit('\r') && text[end + 1] == Unit('\n');
        if (!visit(text.substr(start, end - start), crLf)) return;
        start = end + (crLf ? 2 : 1);
    }
}

template <typename Unit>
bool Changes(View<Unit> text, View<Unit> enableLine, const LeadBytes& lead)
{
    EnableLines<Unit> enable(lead);
    bool changes = false;
    ForEachLine(text, [&](View<Unit> line, bool crLf) {
        changes = !crLf || (enable.Rewrites(line) && line != enableLine);
        return !changes;
    });
    return changes;
}

template <typename Unit>
void Rewrite(View<Unit> text, View<Unit> enableLine, const LeadBytes& lead, std::basic_string<Unit>& out)
{
    EnableLines<Unit> enable(lead);
    // Room for a file whose lines already end in CR LF; one that grows more grows once.
    out.reserve(out.size() + text.size() + 16);
    const Unit crLf[] = {Unit('\r'), Unit('\n')};
    ForEachLine(text, [&](View<Unit> line, bool) {
        out.append(enable.Rewrites(line) ? enableLine : line);
        out.append(crLf, 2);
        return true;
    });
}

constexpr std::string_view EnableLine(bool enabled) { return enabled ? "Enable=1" : "Enable=0"; }
constexpr std::u16string_view EnableLine16(bool enabled) { return enabled ? u"Enable=1" : u"Enable=0"; }

// The file's parts: its mark, its code units, and a last odd byte of a UTF-16 file.
struct Parts {
    TextEncoding encoding;
    std::string_view body, stray;
    const LeadBytes& lead;
};

Parts Split(std::string_view inf, const LeadBytes& leadBytes)
{
    static const LeadBytes noLeadBytes;
    const TextEncoding encoding = DetectEncoding(inf);
    std::string_view body = inf.substr(ByteOrderMark(encoding).size()), stray;
    if (IsUtf16(encoding) && body.size() % 2) {
        stray = body.substr(body.size() - 1);
        body.remove_suffix(1);
    }
    return {encoding, body, stray, encoding == TextEncoding::Ansi ? leadBytes : noLeadBytes};
}

}  // namespace

bool EnableLineChanges(std::string_view inf, bool enabled, const LeadBytes& leadBytes)
{
    const Parts p = Split(inf, leadBytes);
    if (!IsUtf16(p.encoding)) return Changes(p.body, EnableLine(enabled), p.lead);
    const std::u16string units = Utf16Units<char16_t>(p.body, p.encoding == TextEncoding::Utf16BeBom);
    return Changes(std::u16string_view(units), EnableLine16(enabled), p.lead);
}

InfRewrite RewriteEnableLine(std::string_view inf, bool enabled, const LeadBytes& leadBytes)
{
    if (!EnableLineChanges(inf, enabled, leadBytes)) return {std::string(inf), false};
    const Parts p = Split(inf, leadBytes);
    std::string bytes(ByteOrderMark(p.encoding));
    if (IsUtf16(p.encoding)) {
        const bool bigEndian = p.encoding == TextEncoding::Utf16BeBom;
        const std::u16string units = Utf16Units<char16_t>(p.body, bigEndian);
        std::u16string out;
        Rewrite(std::u16string_view(units), EnableLine16(enabled), p.lead, out);
        AppendUtf16Bytes(bytes, std::u16string_view(out), bigEndian);
    } else {
        Rewrite(p.body, EnableLine(enabled), p.lead, bytes);
    }
    bytes += p.stray;
    return {std::move(bytes), true};
}
