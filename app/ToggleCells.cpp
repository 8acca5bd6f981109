// The custom-build toggles: cells by version class and the toggle arithmetic.
#include "app/ToggleCells.h"

namespace {

// |v - 1| kept in one byte; computed wide so that no stored number can overflow it.
int Inverted(int32_t value)
{
    int64_t v = static_cast<int64_t>(value) - 1;
    return static_cast<int>((v < 0 ? -v : v) & 0xFF);
}

int Byte(int32_t value) { return static_cast<int>(static_cast<uint32_t>(value) & 0xFF); }

}  // namespace

ToggleCaptions BuiltInToggleCaptions() { return {L"ビルド", L"レジストリ", L"ファイル", L"ISO作成", L"CD作成"}; }

std::vector<ToggleCell> LayoutToggles(uint8_t pebVer, const ToggleSource& source, const ToggleCaptions& captions)
{
    if (pebVer == 0) return {{captions.build, 1}, {captions.iso, Byte(source.buildiso)}};
    std::vector<ToggleCell> cells{{captions.registry, Inverted(source.skipregistry)},
                                  {captions.files, Inverted(source.skipfiles)},
                                  {captions.iso, Byte(source.buildiso)}};
    if (pebVer >= 2) cells.push_back({captions.cd, Byte(source.burncd)});
    return cells;
}

int FlipToggle(int value) { return Inverted(value); }

std::vector<int> TogglesForRange(int count, int left, int right)
{
    std::vector<int> values;
    for (int col = 0; col < count; ++col) values.push_back(col >= left && col <= right ? 1 : 0);
    return values;
}

int ToggleGridWidth(int count) { return 61 * count + 3; }

int ButtonAfterGrid(int gridLeft, int gridWidth) { return gridLeft + gridWidth + 4; }
