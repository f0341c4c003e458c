// The renderer against the memory floor. RenderScreenView runs on every
// change of the bytes, so it must cost little against putting the pictures
// on screen. In the same run this measures, at every zoom, a full render
// into a back buffer of the picture's size (a new drawing context each
// time, as the shell makes one) and a memset of that same buffer, and
// prints the ratio RenderScreenView / memset.
// The Operations menu's corrections are measured against a redraw of both
// views (what every change of the bytes ends in): Correct All Cells on the
// noise picture with its redraw, and an undo or redo of one cell with its
// redraw against a click's correction with its redraw.

#include "benchmark_support.h"
#include "drawing/drawing_context.h"
#include "runtime/toolkit_heap.h"
#include "screen/correction_history.h"
#include "screen/screen_image.h"
#include "screen/screen_renderer.h"
#include "screen_fixtures.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using benchsupport::BackBuffer;
using benchsupport::BothViews;
using benchsupport::MinimumSeconds;
using benchsupport::Repetitions;

// Every attribute, with a bitmap of solid, empty, single-pixel and
// irregular bytes: colour changes between neighbouring pixels are frequent,
// as in a busy picture. Pseudo-random noise, the worst case (a colour change
// at every other pixel), is measured beside it.
const fixtures::Screen sweep = fixtures::AttributeSweep();
const fixtures::Screen noise = fixtures::Noise(2024);
// A blank screen never changes colour: the cost of the box path alone.
const fixtures::Screen blank{};

// A whole render at the benchmark's zoom (its argument) into a buffer of
// the picture's size.
void Render(benchmark::State& state, const fixtures::Screen& screen, inkswap::ScreenView view,
            bool grid) {
    const auto zoom = static_cast<std::int32_t>(state.range(0));
    BackBuffer buffer(zoom);
    for (auto _ : state) {
        rook::StartDrawing(buffer.Open());
        inkswap::RenderScreenView(screen.data(), view, 5, 12, inkswap::ViewLook{zoom, grid});
        rook::StopDrawing();
        benchmark::DoNotOptimize(buffer.Bytes.data());
        benchmark::ClobberMemory();
    }
}

void RenderColourView(benchmark::State& state) {
    Render(state, sweep, inkswap::ColourView, false);
}
void RenderBitmapViewWithGrid(benchmark::State& state) {
    Render(state, sweep, inkswap::BitmapView, true);
}
void RenderNoiseColourView(benchmark::State& state) {
    Render(state, noise, inkswap::ColourView, false);
}
void RenderBlankColourView(benchmark::State& state) {
    Render(state, blank, inkswap::ColourView, false);
}

// The same buffer filled with memset: the floor of any render into it.
void Memset(benchmark::State& state) {
    BackBuffer buffer(static_cast<std::int32_t>(state.range(0)));
    int value = 0;
    for (auto _ : state) {
        std::memset(buffer.Bytes.data(), ++value & 0xFF, buffer.Bytes.size());
        benchmark::DoNotOptimize(buffer.Bytes.data());
        benchmark::ClobberMemory();
    }
}

void Redraw(benchmark::State& state) {
    BothViews views;
    for (auto _ : state) {
        views.Redraw(noise.data());
    }
}

// Correct All Cells on the noise picture, from the same bytes every time:
// the pass over the cells, the step recorded, the redraw.
void CorrectAllAndRedraw(benchmark::State& state) {
    BothViews views;
    const auto history = std::make_unique<inkswap::CorrectionHistory>();
    fixtures::Screen screen{};
    std::uint16_t cells[inkswap::CellCount];
    for (auto _ : state) {
        screen = noise;
        const std::int32_t count = inkswap::CorrectAllCells(screen.data(), cells);
        inkswap::RecordStep(*history, cells, count);
        views.Redraw(screen.data());
    }
}

// The noise picture with its redraw and a history, for one-cell steps.
struct OneCellSteps {
    static constexpr std::uint16_t Cell = 12 * 32 + 5;
    BothViews Views;
    std::unique_ptr<inkswap::CorrectionHistory> History =
        std::make_unique<inkswap::CorrectionHistory>();
    fixtures::Screen Screen = noise;

    // A click's correction: the cell corrected and recorded.
    void Click() {
        inkswap::CorrectCell(Screen.data(), Cell % 32, Cell / 32);
        inkswap::RecordStep(*History, &Cell, 1);
    }
};

// A click's correction of one cell with the redraw.
void ClickAndRedraw(benchmark::State& state) {
    OneCellSteps steps;
    for (auto _ : state) {
        steps.Click();
        steps.Views.Redraw(steps.Screen.data());
    }
}

// Undo and redo of a one-cell step in turn, each with the redraw.
void UndoOrRedoAndRedraw(benchmark::State& state) {
    OneCellSteps steps;
    steps.Click();
    for (auto _ : state) {
        if (!inkswap::UndoStep(*steps.History, steps.Screen.data())) {
            inkswap::RedoStep(*steps.History, steps.Screen.data());
        }
        steps.Views.Redraw(steps.Screen.data());
    }
}

// Repeated, and the ratios taken between the fastest repetitions and
// between the median ones.
constexpr std::int32_t Zooms[] = {1, 2, 3, 4};
BENCHMARK(RenderColourView)->DenseRange(1, 4)->Repetitions(Repetitions)->MinTime(MinimumSeconds);
BENCHMARK(RenderBitmapViewWithGrid)
    ->DenseRange(1, 4)
    ->Repetitions(Repetitions)
    ->MinTime(MinimumSeconds);
BENCHMARK(RenderNoiseColourView)
    ->DenseRange(1, 4)
    ->Repetitions(Repetitions)
    ->MinTime(MinimumSeconds);
BENCHMARK(RenderBlankColourView)
    ->DenseRange(1, 4)
    ->Repetitions(Repetitions)
    ->MinTime(MinimumSeconds);
BENCHMARK(Memset)->DenseRange(1, 4)->Repetitions(Repetitions)->MinTime(MinimumSeconds);
BENCHMARK(Redraw)->Repetitions(Repetitions)->MinTime(MinimumSeconds);
BENCHMARK(CorrectAllAndRedraw)->Repetitions(Repetitions)->MinTime(MinimumSeconds);
BENCHMARK(ClickAndRedraw)->Repetitions(Repetitions)->MinTime(MinimumSeconds);
BENCHMARK(UndoOrRedoAndRedraw)->Repetitions(Repetitions)->MinTime(MinimumSeconds);

} // namespace

int main(int argc, char** argv) {
    rook::CreateToolkitHeap();
    benchsupport::RecordingReporter reporter;
    benchsupport::RunInterleaved(argc, argv, reporter);
    for (const std::int32_t zoom : Zooms) {
        const std::string memset = "Memset/" + std::to_string(zoom);
        if (!reporter.Has(memset)) {
            continue;
        }
        std::printf("zoom %d: memset of the %d x %d buffer: %.2f us fastest, %.2f us median\n",
                    zoom, 256 * zoom, 192 * zoom, reporter.Fastest(memset) / 1000,
                    reporter.Median(memset) / 1000);
        for (const char* name : {"RenderColourView", "RenderBitmapViewWithGrid",
                                 "RenderNoiseColourView", "RenderBlankColourView"}) {
            const std::string render = std::string(name) + "/" + std::to_string(zoom);
            if (reporter.Has(render)) {
                std::printf("  %s / memset = %.1f fastest, %.1f median\n", render.c_str(),
                            reporter.Fastest(render) / reporter.Fastest(memset),
                            reporter.Median(render) / reporter.Median(memset));
            }
        }
    }
    benchsupport::PrintRatio(reporter, "CorrectAllAndRedraw", "Redraw");
    benchsupport::PrintRatio(reporter, "UndoOrRedoAndRedraw", "ClickAndRedraw");
    benchmark::Shutdown();
    rook::DestroyToolkitHeap();
    return 0;
}
