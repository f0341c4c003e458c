#include "window/sizing_geometry.h"

namespace rook::sizing {

namespace {

// The window edge lies 2 pixels beyond the pointer on the right and bottom.
constexpr std::int32_t EdgeOffset = 2;
constexpr std::int32_t KeyStep = 10;

bool MovesLeft(std::int32_t edge) {
    return edge == Left || edge == TopLeft || edge == BottomLeft;
}
bool MovesRight(std::int32_t edge) {
    return edge == Right || edge == TopRight || edge == BottomRight;
}
bool MovesTop(std::int32_t edge) {
    return edge == Top || edge == TopLeft || edge == TopRight;
}
bool MovesBottom(std::int32_t edge) {
    return edge == Bottom || edge == BottomLeft || edge == BottomRight;
}

std::int32_t Clamped(std::int32_t size, std::int32_t minimum, std::int32_t maximum) {
    if (size < minimum) {
        return minimum;
    }
    return size > maximum ? maximum : size;
}

struct Choice {
    ArrowKey Key;
    std::int32_t Before;
    std::int32_t After;
    CursorShape Shape;
};

constexpr Choice Choices[] = {
    {ArrowKey::Left, None, Left, CursorShape::Horizontal},
    {ArrowKey::Left, Top, TopLeft, CursorShape::DiagonalDown},
    {ArrowKey::Left, Bottom, BottomLeft, CursorShape::DiagonalUp},
    {ArrowKey::Right, None, Right, CursorShape::Horizontal},
    {ArrowKey::Right, Top, TopRight, CursorShape::DiagonalUp},
    {ArrowKey::Right, Bottom, BottomRight, CursorShape::DiagonalDown},
    {ArrowKey::Up, None, Top, CursorShape::Vertical},
    {ArrowKey::Up, Left, TopLeft, CursorShape::DiagonalDown},
    {ArrowKey::Up, Right, TopRight, CursorShape::DiagonalUp},
    {ArrowKey::Down, None, Bottom, CursorShape::Vertical},
    {ArrowKey::Down, Left, BottomLeft, CursorShape::DiagonalUp},
    {ArrowKey::Down, Right, BottomRight, CursorShape::DiagonalDown},
};

Point CursorOnEdge(std::int32_t edge, const Rect& area, Point pointer) {
    switch (edge) {
    case Left:
        return {area.Left, pointer.Y};
    case Right:
        return {area.Right - EdgeOffset, pointer.Y};
    case Top:
        return {pointer.X, area.Top};
    case Bottom:
        return {pointer.X, area.Bottom - EdgeOffset};
    case TopLeft:
        return {area.Left + EdgeOffset, area.Top + EdgeOffset};
    case TopRight:
        return {area.Right - EdgeOffset, area.Top};
    case BottomLeft:
        return {area.Left, area.Bottom - EdgeOffset};
    default:
        return {area.Right - EdgeOffset, area.Bottom - EdgeOffset};
    }
}

} // namespace

Rect RectangleFor(const Rect& current, std::int32_t edge, Point pointer, const Limits& limits) {
    Rect area = current;
    const std::int32_t topLeftOffset = edge == TopLeft ? EdgeOffset : 0;
    const Point& minimum = limits.MinimumTrack;
    const Point& maximum = limits.MaximumTrack;
    if (MovesLeft(edge)) {
        area.Left = pointer.X - topLeftOffset;
        area.Left = area.Right - Clamped(area.Right - area.Left, minimum.X, maximum.X);
    }
    if (MovesRight(edge)) {
        area.Right = pointer.X + EdgeOffset;
        area.Right = area.Left + Clamped(area.Right - area.Left, minimum.X, maximum.X);
    }
    if (MovesTop(edge)) {
        area.Top = pointer.Y - topLeftOffset;
        area.Top = area.Bottom - Clamped(area.Bottom - area.Top, minimum.Y, maximum.Y);
    }
    if (MovesBottom(edge)) {
        area.Bottom = pointer.Y + EdgeOffset;
        area.Bottom = area.Top + Clamped(area.Bottom - area.Top, minimum.Y, maximum.Y);
    }
    return area;
}

std::optional<EdgeChoice> ChooseEdge(ArrowKey key, std::int32_t edge, const Rect& area,
                                     Point pointer) {
    for (const Choice& choice : Choices) {
        if (choice.Key == key && choice.Before == edge) {
            return EdgeChoice{choice.After, CursorOnEdge(choice.After, area, pointer),
                              choice.Shape};
        }
    }
    return std::nullopt;
}

Point Stepped(ArrowKey key, Point pointer) {
    switch (key) {
    case ArrowKey::Left:
        return {pointer.X - KeyStep, pointer.Y};
    case ArrowKey::Right:
        return {pointer.X + KeyStep, pointer.Y};
    case ArrowKey::Up:
        return {pointer.X, pointer.Y - KeyStep};
    default:
        return {pointer.X, pointer.Y + KeyStep};
    }
}

} // namespace rook::sizing
