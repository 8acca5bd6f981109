// The Enable rewrite on INF files of any content: only Enable lines and line ends
// change, a second switch to the same state changes nothing, and switching back and
// forth returns the same bytes.
#include <cstdint>

#include "pebuilder/InfEnable.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/InfText.h"

namespace {

std::u16string Trimmed(std::u16string_view text)
{
    while (!text.empty() && text.front() <= u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ') text.remove_suffix(1);
    return std::u16string(text);
}

bool IsEnableName(std::u16string_view line)
{
    size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) return false;
    std::u16string name = Trimmed(line.substr(0, equals));
    if (name.size() != 6) return false;
    for (size_t i = 0; i < 6; ++i) {
        char16_t c = name[i] >= u'a' && name[i] <= u'z' ? static_cast<char16_t>(name[i] - 32) : name[i];
        if (c != u"ENABLE"[i]) return false;
    }
    return true;
}

// A line the switch wrote: an Enable key whose value is the state asked for.
bool IsSwitchedLine(std::u16string_view line, bool enabled)
{
    return IsEnableName(line) && Trimmed(line.substr(line.find(u'=') + 1)) == (enabled ? u"1" : u"0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const bool enabled = data[0] & 1;
    const std::string_view before(reinterpret_cast<const char*>(data + 1), size - 1);

    const InfRewrite once = RewriteEnableLine(before, enabled);
    Require(once.changed == (once.bytes != before), "changed says whether the bytes differ");

    const InfUnits in = SplitInf(before), out = SplitInf(once.bytes);
    Require(out.mark == in.mark && out.stray == in.stray, "the byte-order mark and a stray byte are kept");
    const std::vector<std::u16string> inLines = UnitLines(in.text), outLines = UnitLines(out.text);
    Require(inLines.size() == outLines.size(), "no line is added or removed");
    std::u16string expected;
    for (size_t i = 0; i < inLines.size(); ++i) {
        Require(outLines[i] == inLines[i] || (IsEnableName(inLines[i]) && IsSwitchedLine(outLines[i], enabled)),
                "only Enable lines change, and into the state asked for");
        expected += outLines[i] + u"\r\n";
    }
    Require(out.text == expected, "every line ends with CR LF");

    const InfRewrite twice = RewriteEnableLine(once.bytes, enabled);
    Require(!twice.changed && twice.bytes == once.bytes, "switching to the state in force changes nothing");
    const InfRewrite back = RewriteEnableLine(RewriteEnableLine(once.bytes, !enabled).bytes, enabled);
    Require(back.bytes == once.bytes, "switching off and on again gives the same bytes");
    return 0;
}
