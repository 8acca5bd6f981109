// Anchors and aligned panels: the arithmetic of a resize.
#include "ui/Anchors.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace {

// a * b / c rounded to the nearest integer, halves away from zero, as the system's
// MulDiv; zero when c is zero.
int MulDivRound(int a, int b, int c)
{
    if (c == 0) return 0;
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t half = (c > 0 ? c : -c) / 2;
    bool negative = (product < 0) != (c < 0);
    int64_t magnitude = ((product < 0 ? -product : product) + half) / (c > 0 ? c : -c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// One axis: position and length of a box whose start and end may be anchored.
void AnchorAxis(int& pos, int& len, bool start, bool end, int designParent, int parent)
{
    int grown = parent - designParent;
    if (start && end) {
        len += grown;
    } else if (end) {
        pos += grown;
    } else if (!start) {
        // The centre keeps its proportion of the parent.
        int centre = pos + len / 2;
        pos = MulDivRound(centre, parent, designParent) - len / 2;
    }
    len = std::max(len, 0);
}

// The items of one parent, given that parent's size now and at design time.
void ArrangeChildren(const std::vector<LayoutItem>& items, int parent, Extent size, Extent designSize,
                     const std::vector<Box>* design, std::vector<Box>& boxes)
{
    Box room{0, 0, size.cx, size.cy};
    for (size_t i = 0; i < items.size(); ++i) {
        const LayoutItem& item = items[i];
        if (item.parent != parent) continue;
        Box& box = boxes[i];
        switch (item.align) {
        case Align::alNone: box = design ? Anchored(item.design, item.anchors, designSize, size) : item.design; break;
        case Align::alClient: break;  // after the strips
        case Align::alTop:
            box = {room.x, room.y, room.cx, std::min(item.design.cy, room.cy)};
            room.y += box.cy;
            room.cy -= box.cy;
            break;
        case Align::alBottom:
            box = {room.x, 0, room.cx, std::min(item.design.cy, room.cy)};
            box.y = room.y + room.cy - box.cy;
            room.cy -= box.cy;
            break;
        case Align::alLeft:
            box = {room.x, room.y, std::min(item.design.cx, room.cx), room.cy};
            room.x += box.cx;
            room.cx -= box.cx;
            break;
        case Align::alRight:
            box = {0, room.y, std::min(item.design.cx, room.cx), room.cy};
            box.x = room.x + room.cx - box.cx;
            room.cx -= box.cx;
            break;
        }
    }
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].parent == parent && items[i].align == Align::alClient) boxes[i] = room;
}

// All boxes for a client size; with design (the boxes at the design size) unanchored
// items follow their anchors, without it they stay at their design boxes.
std::vector<Box> Arrange(const std::vector<LayoutItem>& items, Extent designClient, Extent client,
                         const std::vector<Box>* design)
{
    std::vector<Box> boxes(items.size());
    ArrangeChildren(items, -1, client, designClient, design, boxes);
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].parent >= static_cast<int>(i)) throw std::invalid_argument("a layout item before its parent");
        Extent size{boxes[i].cx, boxes[i].cy};
        Extent designSize = design ? Extent{(*design)[i].cx, (*design)[i].cy} : size;
        ArrangeChildren(items, static_cast<int>(i), size, designSize, design, boxes);
    }
    return boxes;
}

}  // namespace

Box Anchored(Box design, unsigned anchors, Extent designParent, Extent parent)
{
    AnchorAxis(design.x, design.cx, anchors & akLeft, anchors & akRight, designParent.cx, parent.cx);
    AnchorAxis(design.y, design.cy, anchors & akTop, anchors & akBottom, designParent.cy, parent.cy);
    return design;
}

std::vector<Box> ArrangeLayout(const std::vector<LayoutItem>& items, Extent designClient, Extent client)
{
    // Aligned panels have no design box of their own: their design places are where
    // the alignment put them in the design client area.
    std::vector<Box> design = Arrange(items, designClient, designClient, nullptr);
    return Arrange(items, designClient, client, &design);
}
