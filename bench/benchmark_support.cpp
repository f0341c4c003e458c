#include "benchmark_support.h"

#include "screen/screen_renderer.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace benchsupport {

BackBuffer::BackBuffer(std::int32_t zoom)
    : Width(256 * zoom), Height(192 * zoom), Pitch(rook::RowPitch(Width, 24)),
      Bytes(static_cast<std::size_t>(Pitch) * static_cast<std::size_t>(Height)) {}

rook::DrawingContext* BackBuffer::Open() {
    rook::DrawingContext* context = rook::CreateDrawingContext(rook::PixelFormat24Bits);
    context->Width = Width;
    context->Height = Height;
    context->BitsPerPixel = 24;
    context->Buffer = Bytes.data();
    context->Pitch = Pitch;
    return context;
}

void BothViews::Redraw(const std::uint8_t* screen) {
    for (auto [buffer, view] :
         {std::pair{&Bitmap, inkswap::BitmapView}, std::pair{&Colour, inkswap::ColourView}}) {
        rook::StartDrawing(buffer->Open());
        inkswap::RenderScreenView(screen, view, 5, 12, false);
        rook::StopDrawing();
        benchmark::DoNotOptimize(buffer->Bytes.data());
    }
    benchmark::ClobberMemory();
}

void RecordingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.error_occurred) {
            continue;
        }
        std::string name = run.run_name.function_name;
        if (!run.run_name.args.empty()) {
            name += "/" + run.run_name.args;
        }
        seconds_[name].push_back(run.GetAdjustedRealTime());
    }
    ConsoleReporter::ReportRuns(runs);
}

double RecordingReporter::Fastest(const std::string& name) const {
    return Sorted(name).front();
}

double RecordingReporter::Median(const std::string& name) const {
    const std::vector<double> times = Sorted(name);
    return times[times.size() / 2];
}

std::vector<double> RecordingReporter::Sorted(const std::string& name) const {
    std::vector<double> times = seconds_.at(name);
    std::sort(times.begin(), times.end());
    return times;
}

void RunInterleaved(int argc, char** argv, RecordingReporter& reporter) {
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave.data());
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    benchmark::RunSpecifiedBenchmarks(&reporter);
}

void PrintRatio(const RecordingReporter& reporter, const char* name, const char* reference) {
    if (reporter.Has(name) && reporter.Has(reference)) {
        std::printf("%s / %s = %.2f fastest, %.2f median\n", name, reference,
                    reporter.Fastest(name) / reporter.Fastest(reference),
                    reporter.Median(name) / reporter.Median(reference));
    }
}

} // namespace benchsupport
