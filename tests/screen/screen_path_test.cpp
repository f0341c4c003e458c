// The whole path of a screen without a window: sized, loaded, corrected,
// rendered, saved, and corrected back.

#include "runtime/file.h"
#include "runtime/memory_block.h"
#include "screen/screen_image.h"
#include "screen/screen_renderer.h"
#include "screen_expectation.h"
#include "screen_fixtures.h"
#include "support/memory_output.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>

namespace {

using namespace inkswap;

// Cell correction worked out on the file's bytes, apart from the model.
fixtures::Screen Corrected(fixtures::Screen screen, const std::vector<std::pair<int, int>>& cells) {
    for (const auto& [x, y] : cells) {
        for (int line = 0; line < 8; ++line) {
            const std::size_t offset = screentest::BitmapByteOf(x, y, line);
            screen[offset] = static_cast<std::uint8_t>(~screen[offset]);
        }
        std::uint8_t& attribute = screen[6144 + static_cast<std::size_t>(y * 32 + x)];
        const int ink = attribute & 7;
        const int paper = (attribute >> 3) & 7;
        attribute = static_cast<std::uint8_t>((attribute & 0xC0) | (ink << 3) | paper);
    }
    return screen;
}

TEST(ScreenPath, LoadCorrectRenderSaveAndCorrectBack) {
    testsupport::TempDirectory directory;
    const std::string name = directory.PathOf("sweep.scr");
    const fixtures::Screen original = fixtures::AttributeSweep();
    ASSERT_TRUE(fixtures::WriteBytes(name, original.data(), original.size()));

    // Load.
    const std::int64_t size = rook::FileSize(name.c_str());
    ASSERT_TRUE(IsScreenFileSize(size)) << size;
    auto* buffer = static_cast<std::uint8_t*>(rook::AllocateMemory(ScreenFileSize));
    ASSERT_NE(buffer, nullptr);
    ASSERT_NE(rook::ReadFile(0, name.c_str()), 0);
    ASSERT_EQ(rook::ReadData(0, buffer, ScreenFileSize), ScreenFileSize);
    rook::CloseFile(0);

    // Correct: corners, a cell in each third, and one whose ink equals its paper.
    const std::vector<std::pair<int, int>> cells = {{0, 0}, {31, 23}, {5, 12}, {17, 8}, {9, 0}};
    for (const auto& [x, y] : cells) {
        CorrectCell(buffer, x, y);
    }
    const fixtures::Screen corrected = Corrected(original, cells);

    // Render both views into canvas-sized back buffers, highlighting a
    // corrected cell. The colour view looks exactly as the original did,
    // highlight included; the bitmap view shows the inverted bits.
    for (ScreenView view : {BitmapView, ColourView}) {
        testsupport::MemoryOutput output(508, 380);
        rook::StartDrawing(output.Open());
        RenderScreenView(buffer, view, 5, 12, 0);
        rook::StopDrawing();
        const fixtures::Screen& looks = view == ColourView ? original : corrected;
        EXPECT_TRUE(screentest::ShowsScreen(output, looks.data(), view, 12 * 32 + 5, false));
        EXPECT_TRUE(output.GuardsIntact());
    }

    // Save.
    const std::string saved = directory.PathOf("saved.scr");
    ASSERT_NE(rook::CreateFile(0, saved.c_str()), 0);
    EXPECT_EQ(rook::WriteData(0, buffer, ScreenFileSize), ScreenFileSize);
    rook::CloseFile(0);
    const testsupport::Bytes onDisk = directory.Read("saved.scr");
    EXPECT_EQ(onDisk, testsupport::Bytes(corrected.begin(), corrected.end()));

    // Correcting the same cells again and saving over the file gives back
    // the original byte for byte.
    for (const auto& [x, y] : cells) {
        CorrectCell(buffer, x, y);
    }
    ASSERT_NE(rook::CreateFile(0, saved.c_str()), 0);
    EXPECT_EQ(rook::WriteData(0, buffer, ScreenFileSize), ScreenFileSize);
    rook::CloseFile(0);
    EXPECT_EQ(directory.Read("saved.scr"), testsupport::Bytes(original.begin(), original.end()));

    EXPECT_NE(rook::FreeMemory(buffer), 0);
}

} // namespace
