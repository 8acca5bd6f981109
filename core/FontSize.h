// The interface font sizes a language file may ask for, in points.
#pragma once

// From the smallest size that still reads on a screen to a size beyond any sensible
// interface; a list row is as high as its font, so 1 point would make it a line.
inline constexpr int kMinFontSize = 6;
inline constexpr int kMaxFontSize = 72;

// size held within [kMinFontSize, kMaxFontSize]; 0 and below are no size at all and
// give def.
constexpr int BoundedFontSize(int size, int def)
{
    if (size <= 0) return def;
    return size < kMinFontSize ? kMinFontSize : size > kMaxFontSize ? kMaxFontSize : size;
}
