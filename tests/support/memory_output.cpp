#include "support/memory_output.h"

#include <algorithm>

namespace testsupport {

MemoryOutput::MemoryOutput(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel)
    : width_(width), height_(height), bitsPerPixel_(bitsPerPixel),
      pitch_(rook::RowPitch(width, bitsPerPixel)),
      bytes_(GuardSize * 2 + static_cast<std::size_t>(pitch_) * height, Background) {
    std::fill_n(bytes_.begin(), GuardSize, Guard);
    std::fill_n(bytes_.end() - GuardSize, GuardSize, Guard);
}

rook::DrawingContext* MemoryOutput::Open() {
    const std::uint32_t format = bitsPerPixel_ == 32 ? rook::PixelFormat32Bits : 16;
    rook::DrawingContext* context = rook::CreateDrawingContext(format);
    if (context == nullptr) {
        return nullptr;
    }
    context->Width = width_;
    context->Height = height_;
    context->BitsPerPixel = bitsPerPixel_;
    context->Buffer = Pixels();
    context->Pitch = pitch_;
    return context;
}

const std::uint8_t* MemoryOutput::Address(std::int32_t x, std::int32_t y) const {
    const std::int32_t bytesPerPixel = bitsPerPixel_ / 8;
    return Pixels() + static_cast<std::size_t>(height_ - 1 - y) * pitch_ +
           static_cast<std::size_t>(x) * bytesPerPixel;
}

rook::Colour MemoryOutput::PixelAt(std::int32_t x, std::int32_t y) const {
    const std::uint8_t* pixel = Address(x, y);
    return rook::RGB(pixel[2], pixel[1], pixel[0]);
}

bool MemoryOutput::Untouched(std::int32_t x, std::int32_t y) const {
    const std::uint8_t* pixel = Address(x, y);
    return pixel[0] == Background && pixel[1] == Background && pixel[2] == Background;
}

bool MemoryOutput::GuardsIntact() const {
    const auto isGuard = [](std::uint8_t byte) { return byte == Guard; };
    return std::all_of(bytes_.begin(), bytes_.begin() + GuardSize, isGuard) &&
           std::all_of(bytes_.end() - GuardSize, bytes_.end(), isGuard);
}

ScopedDrawing::ScopedDrawing(MemoryOutput& output) : context_(output.Open()) {
    rook::StartDrawing(context_);
}

ScopedDrawing::~ScopedDrawing() {
    rook::StopDrawing();
}

} // namespace testsupport
