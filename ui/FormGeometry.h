// The place a window remembers between runs: client size, outer position and state,
// as the registry holds them, and how a stored place is made usable on the screen of
// this run. The rules, without the registry or a window.
//
// Units: Top and Left are screen pixels (the window's outer top-left corner); Width and
// Height are the client size in design pixels, 96 to the inch, like the windows' design
// geometry. A window that was sized at one display scale so opens with the same room
// for its contents at another.
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

// Design pixels (96 to the inch) at dpi, rounded to the nearest pixel; computed wide,
// so that no stored number overflows.
long long DesignToPixels(long long design, int dpi);
// The design length of pixels at dpi: the one that scales back to exactly pixels when
// there is one, so that a size written and read again at one DPI does not drift.
int PixelsToDesign(int pixels, int dpi);

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct ClientSize {
    int width = 0, height = 0;
    bool operator==(const ClientSize&) const = default;
};

// The smallest stored client sides (design pixels) a window is restored with; below
// them a side counts as damaged and takes its default.
inline constexpr int kMinClientWidth = 64, kMinClientHeight = 32;

// The client size in pixels for a stored Width and Height (design pixels): a side
// below its minimum takes its default, and the window never grows beyond room, the
// largest client (pixels) that fits on the work area.
ClientSize UsableClientSize(int storedWidth, int storedHeight, int defaultWidth, int defaultHeight, int dpi,
                            ClientSize room);

// Where a window of outer size width x height goes when asked for left, top: moved
// the least that keeps it whole on the work area; one larger than the area keeps to
// its top-left corner, so that the caption stays in reach.
struct ScreenPoint {
    int left = 0, top = 0;
    bool operator==(const ScreenPoint&) const = default;
};
ScreenPoint OnWorkArea(int left, int top, int width, int height, const ScreenRect& work);
