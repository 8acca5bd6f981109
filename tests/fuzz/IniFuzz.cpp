// INI text of any content: a parsed file written out parses back to itself, and a
// key written with a value of any content reads back as that value, trimmed, with
// every other lookup unchanged.
#include <cstdint>

#include "core/Error.h"
#include "core/Ini.h"
#include "core/Text.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

// Names as the program passes them: trimmed, on one line, a key without "=" and not
// read as a comment or a section header.
bool IsSectionName(const std::wstring& name) { return Trim(name) == name && !HasLineEnd(name); }

bool IsKeyName(const std::wstring& name)
{
    return IsSectionName(name) && name.find(L'=') == std::wstring::npos &&
           (name.empty() || (name[0] != L';' && name[0] != L'['));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::wstring section = ConsumeText(in, 40), key = ConsumeText(in, 40), value = ConsumeText(in, 300);
    const std::wstring otherSection = ConsumeText(in, 40), otherKey = ConsumeText(in, 40);
    const std::wstring file = WideFromBytes(in.ConsumeRemainingBytesAsString());

    IniDocument doc = IniDocument::Parse(file);
    const std::wstring layout = doc.Serialize();
    Require(IniDocument::Parse(layout).Serialize() == layout, "a written file parses back to itself");

    if (!IsSectionName(section) || !IsKeyName(key)) return 0;
    const std::optional<std::wstring> otherBefore = doc.Find(otherSection, otherKey);
    if (HasLineEnd(value)) {
        // Such a value would split into lines that read as other keys; the writer is
        // right to refuse it, and nothing is claimed about it when it does not.
        try {
            doc.WriteString(section, key, value);
        } catch (const AppError&) {
        }
        return 0;
    }
    doc.WriteString(section, key, value);
    const std::wstring written = doc.Serialize();
    const IniDocument reread = IniDocument::Parse(written);
    Require(reread.Find(section, key) == Trim(value), "a written key reads back as its value, trimmed");
    if (Trim(value) == value)
        Require(reread.Serialize() == written, "a file written after a change parses back to itself");
    if (!SameText(section, otherSection) || !SameText(key, otherKey))
        Require(reread.Find(otherSection, otherKey) == otherBefore, "writing one key changes no other lookup");
    return 0;
}
