// The ISO command template with values of any content: text without placeholders
// passes unchanged, no value adds an argument, and values free of "@" can neither add a
// placeholder nor grow the line beyond one value per pair of "@" in the template (each
// character at most doubled by the quoting).
#include <algorithm>
#include <cstdint>

#include "core/CommandArgs.h"
#include "core/Error.h"
#include "core/Ini.h"
#include "pebuilder/IsoTemplate.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

const wchar_t* const kInputKeys[] = {L"isofile",   L"source", L"CustomDir", L"buildiso", L"burncd",
                                     L"blankcdrw", L"device", L"verbose",   L"Volumeid", L"ISOduplicatesonce"};

size_t CountAt(std::wstring_view text) { return std::count(text.begin(), text.end(), L'@'); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    IsoTemplateFolders folders{ConsumeText(in, 80), ConsumeText(in, 80), ConsumeText(in, 80)};
    // input.inf as PE Builder writes it; the values come back trimmed, as the reader gives them.
    std::wstring inputInf = L"[input]\r\n";
    for (const wchar_t* key : kInputKeys) inputInf += key + (L"=" + ConsumeText(in, 80)) + L"\r\n";
    const IniDocument inf = IniDocument::Parse(inputInf);
    const std::wstring templ = WideFromBytes(in.ConsumeRemainingBytesAsString());

    std::wstring line;
    try {
        line = ExpandIsoTemplate(templ, inf, folders);
    } catch (const AppError&) {
        // Refusing a template whose expansion runs away is sound; nothing more to check.
        return 0;
    }
    if (CountAt(templ) < 2) Require(line == templ, "a template without placeholders is started as written");
    Require(SplitCommandLine(line).size() <= SplitCommandLine(templ).size(), "no value adds an argument");

    size_t longest = std::max({folders.PEBuilder.size(), folders.Kitwright.size(), folders.OutDir.size()});
    bool valuesFreeOfAt = CountAt(folders.PEBuilder) + CountAt(folders.Kitwright) + CountAt(folders.OutDir) == 0;
    for (const wchar_t* key : kInputKeys) {
        std::wstring value = inf.ReadString(L"input", key, L"");
        longest = std::max(longest, value.size());
        valuesFreeOfAt = valuesFreeOfAt && CountAt(value) == 0;
    }
    if (valuesFreeOfAt) {
        // Each replacement takes two "@" away and brings none.
        Require(CountAt(line) <= CountAt(templ) && (CountAt(templ) - CountAt(line)) % 2 == 0,
                "values without @ bring no @");
        Require(line.size() <= 4 * templ.size() + CountAt(templ) * longest + 2, "values without @ expand once each");
    }
    return 0;
}
