// The preset file reader on any bytes: it never fails other than by its answer, a
// file it reads can always be written again, and what is written reads back the same.
#include <cstdint>

#include "core/Error.h"
#include "pebuilder/PresetFile.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ParsedPresetFile parsed = ParsePresetFile(bytes);
    Require((parsed.problem == PresetFileProblem::Damaged) == (parsed.line != 0), "a damaged file names its line");
    if (parsed.problem != PresetFileProblem::None) {
        Require(parsed.preset == PortablePreset{}, "a refused file gives no preset");
        return 0;
    }
    std::string written;
    try {
        written = WritePresetFile(parsed.preset);
    } catch (const AppError&) {
        Require(false, "a preset that was read can be written");
    }
    const ParsedPresetFile again = ParsePresetFile(written);
    Require(again.problem == PresetFileProblem::None && again.preset == parsed.preset, "it reads back the same");
    Require(WritePresetFile(again.preset) == written, "writing is stable");
    return 0;
}
