// The Enable rewrite of plug-in INF files, on code units rather than characters.
#include "pebuilder/InfEnable.h"

#include <cstdint>
#include <vector>

namespace {

using Units = std::u16string;  // one code unit per element: a byte or a UTF-16 unit
using UnitView = std::u16string_view;

enum class Layout { Bytes, Utf16Le, Utf16Be };

struct Decoded {
    Layout layout = Layout::Bytes;
    size_t bomSize = 0;
    Units units;
    std::string_view stray;  // a last odd byte of a UTF-16 file, kept at the end
};

Decoded Decode(std::string_view inf)
{
    Decoded d;
    auto startsWith = [&](std::string_view bom) { return inf.substr(0, bom.size()) == bom; };
    if (startsWith("\xFF\xFE")) {
        d.layout = Layout::Utf16Le;
        d.bomSize = 2;
    } else if (startsWith("\xFE\xFF")) {
        d.layout = Layout::Utf16Be;
        d.bomSize = 2;
    } else if (startsWith("\xEF\xBB\xBF")) {
        d.bomSize = 3;
    }
    std::string_view body = inf.substr(d.bomSize);
    if (d.layout == Layout::Bytes) {
        d.units.reserve(body.size());
        for (char c : body) d.units += static_cast<char16_t>(static_cast<uint8_t>(c));
        return d;
    }
    d.units.reserve(body.size() / 2);
    for (size_t i = 0; i + 1 < body.size(); i += 2) {
        auto lo = static_cast<uint8_t>(body[i + (d.layout == Layout::Utf16Le ? 0 : 1)]);
        auto hi = static_cast<uint8_t>(body[i + (d.layout == Layout::Utf16Le ? 1 : 0)]);
        d.units += static_cast<char16_t>(lo | hi << 8);
    }
    if (body.size() % 2) d.stray = body.substr(body.size() - 1);
    return d;
}

std::string Encode(const Decoded& d, std::string_view bom, const Units& units)
{
    std::string out(bom);
    out.reserve(bom.size() + units.size() * (d.layout == Layout::Bytes ? 1 : 2) + d.stray.size());
    for (char16_t u : units) {
        auto lo = static_cast<char>(u & 0xFF);
        auto hi = static_cast<char>(u >> 8);
        switch (d.layout) {
        case Layout::Bytes: out += lo; break;
        case Layout::Utf16Le: out += {lo, hi}; break;
        case Layout::Utf16Be: out += {hi, lo}; break;
        }
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

// Only ASCII letters are folded: the names compared here are ASCII, and a lead byte
// (0x81 and above) can never equal one of their letters.
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

std::vector<UnitView> SplitUnitLines(UnitView text)
{
    std::vector<UnitView> lines;
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

InfRewrite RewriteEnableLine(std::string_view inf, bool enabled)
{
    const Decoded d = Decode(inf);
    std::vector<UnitView> lines = SplitUnitLines(d.units);
    const Units enableLine = enabled ? u"Enable=1" : u"Enable=0";

    bool inSection = false;
    for (UnitView& line : lines) {
        UnitView trimmed = TrimUnits(line);
        if (SameAscii(trimmed, u"[PEBUILDER]")) {
            inSection = true;
            continue;
        }
        if (!inSection) continue;
        if (!trimmed.empty() && trimmed.front() == u'[') break;
        size_t equals = line.find(u'=');
        UnitView name = equals == UnitView::npos ? UnitView() : line.substr(0, equals);
        if (SameAscii(name, u"ENABLE")) {
            line = enableLine;
            break;
        }
    }

    Units units;
    units.reserve(d.units.size() + 2 * lines.size() + 2);
    for (UnitView line : lines) {
        units += line;
        units += u"\r\n";
    }
    std::string bytes = Encode(d, inf.substr(0, d.bomSize), units);
    bool changed = bytes != inf;
    return {std::move(bytes), changed};
}
