// The Enable rewrite against the catalogue's reading of the same file: after a switch,
// the INI reader sees the state asked for whenever it saw an Enable value before, and
// every other value it reads is unchanged.
#include <cstdint>

#include "pebuilder/InfEnable.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/InfText.h"

namespace {

// The values the catalogue takes from a plug-in, besides Enable.
const std::pair<const wchar_t*, const wchar_t*> kOtherValues[] = {
    {L"Version", L"Signature"}, {L"PEBuilder", L"Name"},  {L"PEBuilder", L"Help"},
    {L"PEBuilder", L"Config"},  {L"PEBuilder", L"Title"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const bool enabled = data[0] & 1;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const IniDocument before = ReadInf(SplitInf(bytes));
    const IniDocument after = ReadInf(SplitInf(RewriteEnableLine(bytes, enabled).bytes));

    const std::optional<std::wstring> was = before.Find(L"PEBuilder", L"Enable");
    const std::optional<std::wstring> now = after.Find(L"PEBuilder", L"Enable");
    if (was) {
        Require(now.has_value(), "an Enable value the catalogue read is still there");
        Require((after.ReadInteger(L"PEBuilder", L"Enable", 0) == 1) == enabled,
                "the catalogue reads the state the switch wrote");
    } else {
        Require(!now || (after.ReadInteger(L"PEBuilder", L"Enable", 0) == 1) == enabled,
                "an Enable value that appears reads as the state asked for");
    }
    for (const auto& [section, key] : kOtherValues)
        Require(after.Find(section, key) == before.Find(section, key), "the switch changes no other value");
    return 0;
}
