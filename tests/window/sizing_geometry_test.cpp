#include "window/sizing_geometry.h"

#include <gtest/gtest.h>

#include <ostream>

namespace rook::sizing {

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}
std::ostream& operator<<(std::ostream& out, const Point& p) {
    return out << "(" << p.X << ", " << p.Y << ")";
}

namespace {

constexpr Rect Window{100, 50, 500, 350}; // 400 x 300
constexpr Limits Wide{{112, 27}, {2000, 1500}};

TEST(SizingGeometry, DraggedSidesFollowThePointer) {
    struct Case {
        std::int32_t Edge;
        Point Pointer;
        Rect Expected;
    };
    const Case cases[] = {
        {Left, {60, 0}, {60, 50, 500, 350}},
        {Right, {560, 0}, {100, 50, 562, 350}},
        {Top, {0, 20}, {100, 20, 500, 350}},
        {Bottom, {0, 400}, {100, 50, 500, 402}},
        {TopLeft, {60, 20}, {58, 18, 500, 350}},
        {TopRight, {560, 20}, {100, 20, 562, 350}},
        {BottomLeft, {60, 400}, {60, 50, 500, 402}},
        {BottomRight, {560, 400}, {100, 50, 562, 402}},
        {None, {560, 400}, Window},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RectangleFor(Window, c.Edge, c.Pointer, Wide), c.Expected) << "edge " << c.Edge;
    }
}

TEST(SizingGeometry, TrackingLimitsHoldBySidesThatMove) {
    const Limits tight{{200, 100}, {600, 400}};
    struct Case {
        std::int32_t Edge;
        Point Pointer;
        Rect Expected;
    };
    const Case cases[] = {
        {Right, {150, 0}, {100, 50, 300, 350}},  // never narrower than 200
        {Right, {1000, 0}, {100, 50, 700, 350}}, // never wider than 600
        {Left, {450, 0}, {300, 50, 500, 350}},   // the left side stops, the right stays
        {Left, {-500, 0}, {-100, 50, 500, 350}}, {Bottom, {0, 60}, {100, 50, 500, 150}},
        {Top, {0, -400}, {100, -50, 500, 350}},  {BottomRight, {0, 0}, {100, 50, 300, 150}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RectangleFor(Window, c.Edge, c.Pointer, tight), c.Expected)
            << "edge " << c.Edge << " at " << c.Pointer;
    }
}

TEST(SizingGeometry, ArrowKeysChooseEdgesAndPlaceTheCursor) {
    const Point pointer{333, 222};
    struct Case {
        ArrowKey Key;
        std::int32_t Before;
        std::int32_t After;
        Point Cursor;
        CursorShape Shape;
    };
    const Case cases[] = {
        {ArrowKey::Left, None, Left, {100, 222}, CursorShape::Horizontal},
        {ArrowKey::Left, Top, TopLeft, {102, 52}, CursorShape::DiagonalDown},
        {ArrowKey::Left, Bottom, BottomLeft, {100, 348}, CursorShape::DiagonalUp},
        {ArrowKey::Right, None, Right, {498, 222}, CursorShape::Horizontal},
        {ArrowKey::Right, Top, TopRight, {498, 50}, CursorShape::DiagonalUp},
        {ArrowKey::Right, Bottom, BottomRight, {498, 348}, CursorShape::DiagonalDown},
        {ArrowKey::Up, None, Top, {333, 50}, CursorShape::Vertical},
        {ArrowKey::Up, Left, TopLeft, {102, 52}, CursorShape::DiagonalDown},
        {ArrowKey::Up, Right, TopRight, {498, 50}, CursorShape::DiagonalUp},
        {ArrowKey::Down, None, Bottom, {333, 348}, CursorShape::Vertical},
        {ArrowKey::Down, Left, BottomLeft, {100, 348}, CursorShape::DiagonalUp},
        {ArrowKey::Down, Right, BottomRight, {498, 348}, CursorShape::DiagonalDown},
    };
    for (const Case& c : cases) {
        const auto choice = ChooseEdge(c.Key, c.Before, Window, pointer);
        ASSERT_TRUE(choice.has_value()) << "row " << (&c - cases);
        EXPECT_EQ(choice->Edge, c.After) << "row " << (&c - cases);
        EXPECT_EQ(choice->Cursor, c.Cursor) << "row " << (&c - cases);
        EXPECT_EQ(choice->Shape, c.Shape) << "row " << (&c - cases);
    }
}

TEST(SizingGeometry, OtherKeysMoveThePointerTenPixels) {
    const Point pointer{333, 222};
    EXPECT_FALSE(ChooseEdge(ArrowKey::Left, Left, Window, pointer).has_value());
    EXPECT_FALSE(ChooseEdge(ArrowKey::Right, TopLeft, Window, pointer).has_value());
    EXPECT_FALSE(ChooseEdge(ArrowKey::Up, Top, Window, pointer).has_value());
    EXPECT_FALSE(ChooseEdge(ArrowKey::Down, BottomRight, Window, pointer).has_value());
    EXPECT_EQ(Stepped(ArrowKey::Left, pointer), (Point{323, 222}));
    EXPECT_EQ(Stepped(ArrowKey::Right, pointer), (Point{343, 222}));
    EXPECT_EQ(Stepped(ArrowKey::Up, pointer), (Point{333, 212}));
    EXPECT_EQ(Stepped(ArrowKey::Down, pointer), (Point{333, 232}));
    // Right, then Right again: the cursor 2 pixels inside the right border,
    // then the window 10 pixels wider.
    const auto first = ChooseEdge(ArrowKey::Right, None, Window, pointer);
    const Point moved = Stepped(ArrowKey::Right, first->Cursor);
    EXPECT_EQ(RectangleFor(Window, first->Edge, moved, Wide).Right, Window.Right + 10);
}

} // namespace
} // namespace rook::sizing
