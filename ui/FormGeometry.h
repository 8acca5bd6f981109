// The place a window remembers between runs: client size, outer position and state,
// as the registry holds them. The rules, without the registry or a window.
#pragma once

#include <string>
#include <utility>
#include <vector>

enum class FormState { Normal = 0, Maximised = 1, Minimised = 2 };

// A stored FormState: 1 maximised, 2 minimised, any other value normal.
FormState FormStateFromStored(int stored);

// The default Top or Left: (screen - window) / 2, rounded toward zero.
int CentredOffset(int screen, int window);

// The normal-state geometry: outer position, client size.
struct NormalGeometry {
    int top = 0, left = 0, height = 0, width = 0;
};

// The order in which a window writes its values (each window has its own).
enum class GeometryOrder {
    PositionFirst,  // FormState, Top, Left, Height, Width
    SizeFirst,      // FormState, Height, Width, Top, Left
};

// The values a window writes when destroyed: FormState always, the other four only in
// the normal state, so that a maximised or minimised window keeps the last normal place.
std::vector<std::pair<std::wstring, int>> GeometryWrites(FormState state, const NormalGeometry& normal,
                                                         GeometryOrder order);
