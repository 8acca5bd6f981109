// Where a form's controls go when it is resized: edges anchored to the parent's sides,
// and panels aligned to the bottom, the right (or top, left) or the rest of the parent.
// Pure arithmetic, so that it is tested without a window.
#pragma once

#include <vector>

enum Anchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
inline constexpr unsigned akTopLeft = akLeft | akTop;
inline constexpr unsigned akAll = akLeft | akTop | akRight | akBottom;

// Aligned items are laid out in creation order, each taking its strip from the room
// its earlier siblings left; alClient items fill what the others leave, whatever their
// place in the order.
enum class Align { alNone, alTop, alBottom, alLeft, alRight, alClient };

struct Box {
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const Box&) const = default;
};

struct Extent {
    int cx = 0, cy = 0;
    bool operator==(const Extent&) const = default;
};

// A box laid out at designParent, moved into a parent of the size parent. An anchored
// edge keeps its distance to that side; with both sides of an axis anchored the box
// stretches; with neither it keeps its centre at the same proportion of the parent.
// A box never gets a negative size.
Box Anchored(Box design, unsigned anchors, Extent designParent, Extent parent);

// One control or panel of a form. parent is the index of an earlier item, or -1 for
// the form's client area; boxes are in the parent's client coordinates. An aligned
// item's design box gives only its thickness (cy for top and bottom, cx for left and
// right); its place comes from the alignment.
struct LayoutItem {
    int parent = -1;
    Box design;
    unsigned anchors = akTopLeft;
    Align align = Align::alNone;
};

// Every item's box for a client area of the size client, the form having been
// designed at designClient. Items must come after their parents.
std::vector<Box> ArrangeLayout(const std::vector<LayoutItem>& items, Extent designClient, Extent client);
