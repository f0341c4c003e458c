#include "drawing/drawing_context.h"

#include "drawing/primitives.h"
#include "runtime/toolkit_heap.h"

#include <algorithm>
#include <bit>
#include <climits>

static_assert(std::endian::native == std::endian::little,
              "pixel bytes are packed into words for little-endian machines");

namespace rook {

namespace detail {
DrawingContext* currentDrawingContext = nullptr;
}

namespace {

// Nothing in Rook or Inkswap draws text, so the pixel buffer needs no text
// state: starting it only checks that there is a buffer. Where the output
// has no device context, the buffer's address serves as the non-zero handle.
std::intptr_t StartPixelBufferOutput(DrawingContext* context) {
    if (context->Buffer == nullptr) {
        return 0;
    }
    if (context->OutputDeviceContext != 0) {
        return context->OutputDeviceContext;
    }
    return reinterpret_cast<std::intptr_t>(context->Buffer);
}

void StopPixelBufferOutput(DrawingContext*) {}

void FreeContext(DrawingContext* context) {
    ToolkitRelease(context);
    if (detail::currentDrawingContext == context) {
        detail::currentDrawingContext = nullptr;
    }
}

} // namespace

DrawingContext* CreateDrawingContext(std::uint32_t formatCode) {
    auto* context =
        static_cast<DrawingContext*>(ToolkitAllocate(sizeof(DrawingContext), os::Fill::Zero));
    if (context == nullptr) {
        return nullptr;
    }
    detail::currentDrawingContext = context;
    context->PixelFormat = formatCode;
    context->BytesPerPixel =
        (formatCode & (PixelFormat32Bits | PixelFormat32BitsReversed)) != 0 ? 4 : 3;
    context->FrontColor = 0;
    context->Operations = {DrawBox,  SetDrawingMode,         SetFrontColor,
                           DrawLine, StartPixelBufferOutput, StopPixelBufferOutput,
                           nullptr};
    context->Operations.SetDrawingMode(context, 0);
    return context;
}

std::intptr_t StartDrawing(DrawingContext* output) {
    if (output == nullptr) {
        return 0;
    }
    if (const std::intptr_t handle = output->Operations.StartOutput(output); handle != 0) {
        return handle;
    }
    if (output->Operations.ReleaseOutput != nullptr) {
        output->Operations.ReleaseOutput(output, 0);
    }
    FreeContext(output);
    detail::currentDrawingContext = nullptr;
    return 0;
}

void StopDrawing() {
    DrawingContext* context = detail::currentDrawingContext;
    if (context == nullptr) {
        return;
    }
    context->Operations.StopOutput(context);
    if (context->Operations.ReleaseOutput != nullptr) {
        context->Operations.ReleaseOutput(context, 1);
    }
    FreeContext(context);
}

namespace {

// Grows the last area by the next one when together they make one
// rectangle: a run of cells along a row, or down a column of runs.
bool JoinAreas(DrawnArea& last, const DrawnArea& next) {
    if (next.Y == last.Y && next.Height == last.Height && next.X == last.X + last.Width) {
        last.Width += next.Width;
        return true;
    }
    if (next.X == last.X && next.Width == last.Width && next.Y == last.Y + last.Height) {
        last.Height += next.Height;
        return true;
    }
    return false;
}

} // namespace

void MarkDrawnArea(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    DrawingContext* context = detail::currentDrawingContext;
    if (context == nullptr || context->DrawnAreaCount == DrawnAllOver) {
        return;
    }
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + width, context->Width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + height, context->Height);
    if (left >= right || top >= bottom) {
        return;
    }
    const DrawnArea area = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                            static_cast<std::int32_t>(right - left),
                            static_cast<std::int32_t>(bottom - top)};
    if (context->DrawnAreaCount > 0 &&
        JoinAreas(context->DrawnAreas[context->DrawnAreaCount - 1], area)) {
        return;
    }
    if (context->DrawnAreaCount == MaxDrawnAreas) {
        context->DrawnAreaCount = DrawnAllOver;
        return;
    }
    context->DrawnAreas[context->DrawnAreaCount++] = area;
}

std::int32_t RowPitch(std::int32_t width, std::int32_t bitsPerPixel) {
    const std::int64_t w = width;
    std::int64_t pitch;
    switch (bitsPerPixel) {
    case 1:
        pitch = (w + 31) / 32 * 4;
        break;
    case 4:
        pitch = (w + 7) / 8 * 4;
        break;
    case 8:
        pitch = (w + 3) / 4 * 4;
        break;
    case 15:
    case 16:
        pitch = (w + 1) / 2 * 4;
        break;
    case 24:
        pitch = (w + 1) * 3 / 4 * 4;
        break;
    default:
        pitch = w * 4;
        break;
    }
    return pitch >= INT_MIN && pitch <= INT_MAX ? static_cast<std::int32_t>(pitch) : 0;
}

void SetDrawingMode(DrawingContext* context, std::uint32_t mode) {
    context->DrawingMode = mode;
    context->Operations.SetFrontColor(context, context->FrontColor);
}

void SetFrontColor(DrawingContext* context, Colour colour) {
    SplitFrontColour(context, colour);
}

} // namespace rook
