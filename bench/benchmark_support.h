#pragma once
// What the native benchmarks share: canvas-sized back buffers and both
// views rendered into them as RedrawScreen does, and the run itself:
// repetitions interleaved across benchmarks, every repetition's time kept,
// and ratios printed between the fastest repetitions (other load on the
// machine only ever adds time) and between the median ones.

#include "drawing/drawing_context.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace benchsupport {

inline constexpr int Repetitions = 15;
inline constexpr double MinimumSeconds = 0.2;

// A canvas's 24-bit back buffer, as large as the picture at the zoom.
struct BackBuffer {
    explicit BackBuffer(std::int32_t zoom = 2);

    std::int32_t Width;
    std::int32_t Height;
    std::int32_t Pitch;
    std::vector<std::uint8_t> Bytes;

    // A new drawing context on the buffer, as a canvas makes one.
    rook::DrawingContext* Open();
};

// Both views into their back buffers, as RedrawScreen renders them.
struct BothViews {
    BackBuffer Bitmap;
    BackBuffer Colour;

    void Redraw(const std::uint8_t* screen);
};

// Keeps the time per iteration of every repetition of every benchmark, by
// its name and its arguments ("RenderColourView/2").
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    double Fastest(const std::string& name) const;
    double Median(const std::string& name) const;
    bool Has(const std::string& name) const { return seconds_.count(name) != 0; }

private:
    std::vector<double> Sorted(const std::string& name) const;

    std::map<std::string, std::vector<double>> seconds_;
};

// Runs the registered benchmarks with their repetitions interleaved, so
// that each is sampled across the same stretch of time on a machine whose
// speed wanders.
void RunInterleaved(int argc, char** argv, RecordingReporter& reporter);

// Prints "name / reference = <fastest> fastest, <median> median".
void PrintRatio(const RecordingReporter& reporter, const char* name, const char* reference);

} // namespace benchsupport
