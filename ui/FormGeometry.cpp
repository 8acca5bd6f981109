// The remembered place of a window: reading defaults and what is written back.
#include "ui/FormGeometry.h"

#include <algorithm>

FormState FormStateFromStored(int stored)
{
    if (stored == 1) return FormState::Maximised;
    if (stored == 2) return FormState::Minimised;
    return FormState::Normal;
}

int CentredOffset(int screen, int window) { return (screen - window) / 2; }

std::vector<std::pair<std::wstring, int>> GeometryWrites(FormState state, const NormalGeometry& normal,
                                                         GeometryOrder order)
{
    std::vector<std::pair<std::wstring, int>> writes = {{L"FormState", static_cast<int>(state)}};
    if (state != FormState::Normal) return writes;
    std::pair<std::wstring, int> position[] = {{L"Top", normal.top}, {L"Left", normal.left}};
    std::pair<std::wstring, int> size[] = {{L"Height", normal.height}, {L"Width", normal.width}};
    bool positionFirst = order == GeometryOrder::PositionFirst;
    for (const auto& value : positionFirst ? position : size) writes.push_back(value);
    for (const auto& value : positionFirst ? size : position) writes.push_back(value);
    return writes;
}

long long DesignToPixels(long long design, int dpi)
{
    long long product = design * dpi;
    long long half = 48;
    return product >= 0 ? (product + half) / 96 : -((-product + half) / 96);
}

int PixelsToDesign(int pixels, int dpi)
{
    if (dpi <= 0) return pixels;
    long long guess = (static_cast<long long>(pixels) * 96 + dpi / 2) / dpi;
    for (long long design : {guess, guess - 1, guess + 1})
        if (DesignToPixels(design, dpi) == pixels) return static_cast<int>(design);
    return static_cast<int>(guess);
}

namespace {

int UsableSide(int stored, int minimum, int fallback, int dpi, int room)
{
    long long side = DesignToPixels(stored < minimum ? fallback : stored, dpi);
    return static_cast<int>(std::clamp<long long>(side, 1, std::max(room, 1)));
}

// The start that keeps [start, start + length) inside [low, high), or low when it
// cannot be kept inside.
int InsideSpan(int start, int length, int low, int high)
{
    long long last = static_cast<long long>(high) - length;
    if (last < low) return low;
    return static_cast<int>(std::clamp<long long>(start, low, last));
}

}  // namespace

ClientSize UsableClientSize(int storedWidth, int storedHeight, int defaultWidth, int defaultHeight, int dpi,
                            ClientSize room)
{
    return {UsableSide(storedWidth, kMinClientWidth, defaultWidth, dpi, room.width),
            UsableSide(storedHeight, kMinClientHeight, defaultHeight, dpi, room.height)};
}

ScreenPoint OnWorkArea(int left, int top, int width, int height, const ScreenRect& work)
{
    return {InsideSpan(left, width, work.left, work.right), InsideSpan(top, height, work.top, work.bottom)};
}
