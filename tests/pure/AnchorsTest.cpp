// Anchored edges and aligned panels under a resize.
#include <gtest/gtest.h>

#include "ui/Anchors.h"

namespace {

const Extent kDesign{200, 100};
const Extent kBigger{260, 140};  // 60 wider, 40 taller
const Box kBox{10, 20, 30, 40};

}  // namespace

TEST(Anchors, EachCombinationOfEdges)
{
    struct Case {
        unsigned anchors;
        Box expected;
    };
    const Case cases[] = {
        {akLeft | akTop, {10, 20, 30, 40}},
        {akRight | akTop, {70, 20, 30, 40}},
        {akLeft | akRight | akTop, {10, 20, 90, 40}},
        {akLeft | akBottom, {10, 60, 30, 40}},
        {akLeft | akTop | akBottom, {10, 20, 30, 80}},
        {akAll, {10, 20, 90, 80}},
        {akRight | akBottom, {70, 60, 30, 40}},
        // Neither side: the centre (25 of 200, 40 of 100) keeps its proportion, rounded
        // half up: 25 * 260 / 200 = 32.5 gives 33, 40 * 140 / 100 gives 56.
        {akTop, {18, 20, 30, 40}},
        {akLeft, {10, 36, 30, 40}},
        {0, {18, 36, 30, 40}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Anchored(kBox, c.anchors, kDesign, kBigger), c.expected) << "anchors " << c.anchors;
}

TEST(Anchors, TheDesignSizeGivesTheDesignBoxAndShrinkingStopsAtZero)
{
    for (unsigned anchors = 0; anchors < 16; ++anchors)
        EXPECT_EQ(Anchored(kBox, anchors, kDesign, kDesign), kBox) << "anchors " << anchors;
    Box squeezed = Anchored(kBox, akAll, kDesign, Extent{20, 10});
    EXPECT_EQ(squeezed.cx, 0);
    EXPECT_EQ(squeezed.cy, 0);
    // A parent of no size at design time does not divide by zero.
    EXPECT_EQ(Anchored(kBox, 0, Extent{0, 0}, kBigger).cx, 30);
}

TEST(Anchors, PanelsTakeStripsInOrderAndTheClientPanelTheRest)
{
    // A client panel listed first still waits for the strips; two bottom strips stack.
    std::vector<LayoutItem> items = {
        {-1, {}, akTopLeft, Align::alClient},             // 0
        {-1, {0, 0, 0, 30}, akTopLeft, Align::alBottom},  // 1
        {-1, {0, 0, 0, 10}, akTopLeft, Align::alBottom},  // 2
        {-1, {0, 0, 50, 0}, akTopLeft, Align::alRight},   // 3
        {-1, {0, 0, 0, 5}, akTopLeft, Align::alTop},      // 4
    };
    std::vector<Box> boxes = ArrangeLayout(items, kDesign, kBigger);
    EXPECT_EQ(boxes[1], (Box{0, 110, 260, 30}));
    EXPECT_EQ(boxes[2], (Box{0, 100, 260, 10}));
    EXPECT_EQ(boxes[3], (Box{210, 0, 50, 100}));
    EXPECT_EQ(boxes[4], (Box{0, 0, 210, 5}));
    EXPECT_EQ(boxes[0], (Box{0, 5, 210, 95}));

    // Too small a parent: the first strip takes what there is, the next ones nothing.
    boxes = ArrangeLayout(items, kDesign, Extent{40, 20});
    EXPECT_EQ(boxes[1], (Box{0, 0, 40, 20}));
    EXPECT_EQ(boxes[2], (Box{0, 0, 40, 0}));
    for (const Box& b : boxes) EXPECT_TRUE(b.cx >= 0 && b.cy >= 0);
}

TEST(Anchors, ChildrenOfPanelsFollowTheirPanel)
{
    // The main window's shape: a group box anchored on all sides above a bottom panel,
    // which holds a right panel and a client panel, each with a button.
    std::vector<LayoutItem> items = {
        {-1, {}, akTopLeft, Align::alClient},            // 0 Panel1
        {0, {4, 4, 553, 346}, akAll},                    // 1 GB01
        {1, {8, 313, 69, 25}, akLeft | akBottom},        // 2 Add_Btn
        {0, {0, 0, 0, 36}, akTopLeft, Align::alBottom},  // 3 Panel2
        {3, {0, 0, 83, 0}, akTopLeft, Align::alRight},   // 4 Panel3
        {4, {0, 6, 77, 25}},                             // 5 Button2
        {3, {}, akTopLeft, Align::alClient},             // 6 Pnl_Default
        {6, {4, 6, 110, 25}},                            // 7 Button1
    };
    const Extent design{562, 387}, now{700, 500};
    std::vector<Box> atDesign = ArrangeLayout(items, design, design);
    EXPECT_EQ(atDesign[3], (Box{0, 351, 562, 36}));
    EXPECT_EQ(atDesign[4], (Box{479, 0, 83, 36}));
    EXPECT_EQ(atDesign[6], (Box{0, 0, 479, 36}));

    std::vector<Box> boxes = ArrangeLayout(items, design, now);
    EXPECT_EQ(boxes[0], (Box{0, 0, 700, 500}));
    EXPECT_EQ(boxes[1], (Box{4, 4, 553 + 138, 346 + 113}));
    EXPECT_EQ(boxes[2], (Box{8, 313 + 113, 69, 25}));  // relative to GB01
    EXPECT_EQ(boxes[3], (Box{0, 464, 700, 36}));
    EXPECT_EQ(boxes[4], (Box{617, 0, 83, 36}));
    EXPECT_EQ(boxes[5], (Box{0, 6, 77, 25}));
    EXPECT_EQ(boxes[6], (Box{0, 0, 617, 36}));
    EXPECT_EQ(boxes[7], (Box{4, 6, 110, 25}));
}

TEST(Anchors, AnItemBeforeItsParentIsRefused)
{
    std::vector<LayoutItem> items = {{1, {}}, {-1, {}}};
    EXPECT_THROW(ArrangeLayout(items, kDesign, kDesign), std::invalid_argument);
}
