// The custom-build toggles of the main window: which cells a version class shows, the
// value each starts from, and the arithmetic of flipping, range selection and layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The four numbers a settings source holds for the toggles (default 0 each).
struct ToggleSource {
    int32_t skipregistry = 0, skipfiles = 0, buildiso = 0, burncd = 0;
};

// Captions of the five possible cells, in this order: build, registry, files, ISO, CD.
struct ToggleCaptions {
    std::wstring build, registry, files, iso, cd;
};
// The built-in captions, used when there is no language file.
ToggleCaptions BuiltInToggleCaptions();

struct ToggleCell {
    std::wstring caption;
    int value = 0;  // 0 to 255; only 1 counts as on
};

// The cells for a version class: 0 gives build and ISO; 1 registry, files and ISO;
// 2 and above add CD. The registry and files cells are on when their skip value is 0.
std::vector<ToggleCell> LayoutToggles(uint8_t pebVer, const ToggleSource& source, const ToggleCaptions& captions);

// 0 becomes 1, 1 becomes 0, and any other value v becomes |v - 1| in 8 bits.
int FlipToggle(int value);

// The values after a range selection from column left to right (inclusive) over count
// cells: on inside the range, off outside.
std::vector<int> TogglesForRange(int count, int left, int right);

// The grid's width for count cells, and the left edge of the button that follows it.
int ToggleGridWidth(int count);
int ButtonAfterGrid(int gridLeft, int gridWidth);
