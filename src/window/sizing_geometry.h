#pragma once
// The geometry of interactive sizing, apart from any window system: which
// sides of the window follow the pointer for each sizing edge, the tracking
// limits, and what the arrow keys do during a resize begun from the
// keyboard.

#include <cstdint>
#include <optional>

namespace rook::sizing {

struct Point {
    std::int32_t X;
    std::int32_t Y;
    bool operator==(const Point&) const = default;
};

struct Rect {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Right;
    std::int32_t Bottom;
    bool operator==(const Rect&) const = default;
};

// The sizing edges, numbered as the platform numbers them; None while a
// resize begun from the keyboard has not chosen one.
enum Edge : std::int32_t {
    None = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    TopLeft = 4,
    TopRight = 5,
    Bottom = 6,
    BottomLeft = 7,
    BottomRight = 8,
};

enum class ArrowKey { Left, Right, Up, Down };

enum class CursorShape { Horizontal, Vertical, DiagonalDown, DiagonalUp };

struct Limits {
    Point MinimumTrack;
    Point MaximumTrack;
};

// The window rectangle with the dragged sides at the pointer: the right and
// bottom sides 2 pixels beyond it, the top-left corner 2 pixels before it,
// each side held within the tracking limits.
Rect RectangleFor(const Rect& current, std::int32_t edge, Point pointer, const Limits& limits);

// An arrow key that chooses an edge rather than resizing.
struct EdgeChoice {
    std::int32_t Edge;
    Point Cursor; // where the cursor is put
    CursorShape Shape;
};

// What the key does from the current edge, if it only chooses a new one.
std::optional<EdgeChoice> ChooseEdge(ArrowKey key, std::int32_t edge, const Rect& area,
                                     Point pointer);

// The pointer moved 10 pixels in the key's direction.
Point Stepped(ArrowKey key, Point pointer);

} // namespace rook::sizing
