#pragma once
// A drawing output over plain memory, for drawing tests: a bottom-up pixel
// buffer of 3 or 4 bytes per pixel with guard bytes on both sides, wrapped
// in a drawing context the way an output constructor wraps its buffer.

#include "drawing/drawing_context.h"

#include <cstdint>
#include <vector>

namespace testsupport {

class MemoryOutput {
public:
    static constexpr std::uint8_t Background = 0x5A;
    static constexpr std::uint8_t Guard = 0xA5;
    static constexpr std::size_t GuardSize = 64;

    MemoryOutput(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel = 24);

    // Makes a context over the buffer; it is current from now on.
    rook::DrawingContext* Open();

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int32_t Pitch() const { return pitch_; }
    std::uint8_t* Pixels() { return bytes_.data() + GuardSize; }
    const std::uint8_t* Pixels() const { return bytes_.data() + GuardSize; }
    std::size_t PixelBytes() const { return static_cast<std::size_t>(pitch_) * height_; }

    // The colour value held by pixel (x, y).
    rook::Colour PixelAt(std::int32_t x, std::int32_t y) const;
    // Whether pixel (x, y) still holds the background bytes.
    bool Untouched(std::int32_t x, std::int32_t y) const;
    bool GuardsIntact() const;

private:
    const std::uint8_t* Address(std::int32_t x, std::int32_t y) const;

    std::int32_t width_;
    std::int32_t height_;
    std::int32_t bitsPerPixel_;
    std::int32_t pitch_;
    std::vector<std::uint8_t> bytes_;
};

// StartDrawing on an output's new context, StopDrawing at the end of the scope.
class ScopedDrawing {
public:
    explicit ScopedDrawing(MemoryOutput& output);
    ~ScopedDrawing();
    ScopedDrawing(const ScopedDrawing&) = delete;
    ScopedDrawing& operator=(const ScopedDrawing&) = delete;

    rook::DrawingContext* Context() const { return context_; }

private:
    rook::DrawingContext* context_;
};

} // namespace testsupport
