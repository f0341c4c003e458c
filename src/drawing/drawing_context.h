#pragma once
// Drawing contexts: immediate, synchronous drawing into a pixel buffer.
// An output constructor wraps its buffer in a DrawingContext, which becomes
// the one current context of the process; StartDrawing starts it, the
// primitives (Box, LineXY) write pixel bytes straight into the buffer, and
// StopDrawing ends the context, frees it and lets the output show the
// result.
//
// Pixel buffers are stored bottom-up: the row of y = 0 is the last row in
// memory. With 3 bytes per pixel the bytes are blue, green, red in address
// order; with 4 an alpha byte follows, which drawing leaves alone. Rows are
// padded to whole 32-bit words (RowPitch).
//
// Contract with an output constructor: make every check that can fail
// first and return null without a context when one fails; call
// CreateDrawingContext with the buffer's pixel format code (undoing what was
// made when it yields null); set the size, bits per pixel, buffer, pitch,
// output device context, output-specific fields and ReleaseOutput; return
// the context.

#include <cstdint>

namespace rook {

// Colour value: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31.
using Colour = std::uint32_t;

// red + green * 256 + blue * 65536, the arguments neither masked nor
// clamped: a component above 255 carries into the next byte.
constexpr Colour RGB(std::int32_t red, std::int32_t green, std::int32_t blue) {
    return static_cast<Colour>(red) + static_cast<Colour>(green) * 256u +
           static_cast<Colour>(blue) * 65536u;
}

// The components of a colour value.
constexpr std::uint8_t RedOf(Colour colour) {
    return static_cast<std::uint8_t>(colour);
}
constexpr std::uint8_t GreenOf(Colour colour) {
    return static_cast<std::uint8_t>(colour >> 8);
}
constexpr std::uint8_t BlueOf(Colour colour) {
    return static_cast<std::uint8_t>(colour >> 16);
}

struct DrawingContext;

// A rectangle of the buffer, in pixels from the top-left corner.
struct DrawnArea {
    std::int32_t X;
    std::int32_t Y;
    std::int32_t Width;
    std::int32_t Height;
};

// How many areas a context notes before it counts as drawn all over: a
// cell's run in each of the picture's rows and a few more.
inline constexpr std::int32_t MaxDrawnAreas = 32;
inline constexpr std::int32_t DrawnAllOver = -1;

// One entry per context operation, each called with the context first.
struct DrawingOperations {
    void (*DrawBox)(DrawingContext* context, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height);
    void (*SetDrawingMode)(DrawingContext* context, std::uint32_t mode);
    void (*SetFrontColor)(DrawingContext* context, Colour colour);
    void (*DrawLine)(DrawingContext* context, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                     std::int32_t y2);
    // Non-zero when drawing may begin.
    std::intptr_t (*StartOutput)(DrawingContext* context);
    void (*StopOutput)(DrawingContext* context);
    // Releases the output's own resources; finished is 1 from StopDrawing
    // (show the result) and 0 from a failing StartDrawing. May be empty.
    void (*ReleaseOutput)(DrawingContext* context, std::int32_t finished);
};

struct DrawingContext {
    DrawingOperations Operations;
    std::int32_t Width;
    std::int32_t Height;
    std::int32_t BitsPerPixel;
    Colour FrontColor;    // the colour Box or LineXY installed last
    std::uint8_t* Buffer; // first stored byte: the bottom row
    std::int32_t Pitch;   // bytes per stored row
    std::uint32_t PixelFormat;
    std::int32_t BytesPerPixel; // 3 or 4
    std::uint32_t DrawingMode;  // 0: plain replacement, the only mode built
    std::int32_t FrontRed;
    std::int32_t FrontGreen;
    std::int32_t FrontBlue;
    std::int32_t FrontAlpha;
    std::int32_t FrontAlphaComplement;
    std::intptr_t OutputDeviceContext;
    // Output-specific fields, set and used by the output constructor and
    // its ReleaseOutput.
    std::uint32_t SavedBatchLimit;
    void* OutputImage;
    std::int32_t OutputGadget;
    void* OutputPreviousImage; // what OutputImage displaced, given back on release
    // The areas that the drawing says it kept to (MarkDrawnArea): none
    // noted, or DrawnAllOver, means the whole buffer may have changed.
    std::int32_t DrawnAreaCount;
    DrawnArea DrawnAreas[MaxDrawnAreas];
};

// Pixel format codes: 24 bits (blue, green, red), the canvas back buffer's;
// and the bits that select 4 bytes per pixel.
inline constexpr std::uint32_t PixelFormat24Bits = 16;
inline constexpr std::uint32_t PixelFormat32Bits = 32;
inline constexpr std::uint32_t PixelFormat32BitsReversed = 64;

namespace detail {
extern DrawingContext* currentDrawingContext;
}

// The one current context of the process, or null.
inline DrawingContext* CurrentDrawingContext() {
    return detail::currentDrawingContext;
}

// A zero-filled context with the pixel-buffer operations and black
// installed, made current at once (replacing any earlier reference without
// ending that context). Null, with nothing made current, when memory runs
// out.
DrawingContext* CreateDrawingContext(std::uint32_t formatCode);

// Starts an output's context: the handle that its StartOutput returned, or
// 0, in which case the output is released unfinished, the context freed and
// nothing left current.
std::intptr_t StartDrawing(DrawingContext* output);

// Ends the current context: stops and releases its output, frees it, and
// leaves nothing current. Does nothing when no context is current.
void StopDrawing();

// Notes, on the current context, that drawing since the start may have
// changed the area (clipped to the buffer; an empty one is ignored), so that
// the output can show just the areas noted instead of the whole buffer. An
// area that continues the last one noted along a row, or below it with the
// same width, joins it. A drawing that notes nothing, or more than
// MaxDrawnAreas areas, is shown whole. Whoever notes areas must draw inside
// them only.
void MarkDrawnArea(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

// Bytes per stored row of a buffer of the given width and bits per pixel;
// 0 when that would leave the 32-bit range.
std::int32_t RowPitch(std::int32_t width, std::int32_t bitsPerPixel);

// The pixel-buffer versions of the context operations.
void SetDrawingMode(DrawingContext* context, std::uint32_t mode);
void SetFrontColor(DrawingContext* context, Colour colour);

// A colour's bytes in stored order (blue, green, red) for two pixels side
// by side, so that they are written in two stores. Little-endian: the
// lowest byte of a word is stored first.
struct PixelPairBytes {
    std::uint32_t Low;  // blue, green, red, blue
    std::uint16_t High; // green, red
};

constexpr PixelPairBytes PackPixelPair(Colour colour) {
    const std::uint32_t red = colour & 0xFF;
    const std::uint32_t green = colour >> 8 & 0xFF;
    const std::uint32_t blue = colour >> 16 & 0xFF;
    return {blue | green << 8 | red << 16 | blue << 24,
            static_cast<std::uint16_t>(green | red << 8)};
}

// The work of the pixel-buffer SetFrontColor: the colour's components.
inline void SplitFrontColour(DrawingContext* context, Colour colour) {
    context->FrontRed = static_cast<std::int32_t>(colour & 0xFF);
    context->FrontGreen = static_cast<std::int32_t>(colour >> 8 & 0xFF);
    context->FrontBlue = static_cast<std::int32_t>(colour >> 16 & 0xFF);
    context->FrontAlpha = static_cast<std::int32_t>(colour >> 24);
    context->FrontAlphaComplement = 255 - context->FrontAlpha;
}

} // namespace rook
