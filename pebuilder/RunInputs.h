// What the build and the ISO run take from the main window, and nothing more.
#pragma once

#include <string>
#include <vector>

struct RunInputs {
    int SelectedIndex = 0;      // of the preset list; 0 is the last-build entry
    std::wstring SelectedText;  // from index 1 on, the preset's name
    bool CustomStyle = false;   // the custom panel is shown
    std::vector<int> Toggles;   // the grid's row of 0/1 cells, columns by version class

    bool IsPreset() const { return SelectedIndex >= 1; }
};
