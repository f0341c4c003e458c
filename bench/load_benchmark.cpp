// Loading a screen from each kind of file that holds one, against loading
// a raw screen file: the file read whole, its screens found, the first one
// taken, and both views rendered, as a drop or Open.. does it. The files
// are those people have: a game's tape with its loader, its loading screen
// and 40 KB of code (TAP, and TZX with the screen in a turbo block and an
// attached copy), a +3DOS file, and emulator snapshots of 48K and 128K
// machines, their pages stored (SNA) or compressed (Z80, SZX). Prints each
// kind's time / the raw screen's.

#include "benchmark_support.h"
#include "runtime/toolkit_heap.h"
#include "screen/screen_file.h"
#include "snapshot_fixtures.h"
#include "tape_fixtures.h"
#include "toolkit/startup.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace fixtures;

const Screen picture = Scene();

// A game's code after its header: most of a tape's bytes.
std::vector<Bytes> GameCode() {
    return {HeaderBlock(3, "game", 40000, 24000), DataBlock(0xFF, NoiseBytes(40000, 3))};
}

struct Kind {
    const char* Name; // the benchmark's
    const char* File;
    Bytes Content;
};

const Kind Kinds[] = {
    {"LoadRaw", "title.scr", BytesOf(picture)},
    {"LoadPlus3Dos", "TITLE", Plus3DosFile(picture)},
    {"LoadTap", "game.tap", TapFile(Blocks({GameTapeBlocks(picture, "loading"), GameCode()}))},
    {"LoadTzx", "game.tzx",
     TzxFile(Blocks(
         {{TzxStandard(GameTapeBlocks(picture, "loading")[0]),
           TzxStandard(GameTapeBlocks(picture, "loading")[1]), TzxStandard(ScreenHeader("loading")),
           TzxTurbo(ScreenBlock(picture)), TzxTurbo(GameCode()[0]), TzxTurbo(GameCode()[1])},
          TzxOtherBlocks(),
          {TzxAttachedScreen(picture, "loading", 0)}}))},
    {"LoadSna48", "game48.sna", Sna48(Memory48(1, picture))},
    {"LoadSna128", "game128.sna", Sna128(Memory128(2, picture, AttributeSweep(), 0x18))},
    {"LoadZ80Version1", "game48.z80", Z80Version1(Memory48(4, picture), true)},
    {"LoadZ80Version3", "game128.z80",
     Z80Paged(3, Memory128(5, picture, AttributeSweep(), 0x18), true)},
    {"LoadSzx", "game128.szx", Szx(Memory128(7, picture, AttributeSweep(), 0x18), true)},
};

std::filesystem::path folder;

void Load(benchmark::State& state, const Kind& kind) {
    const std::string name = (folder / kind.File).string();
    benchsupport::BothViews views;
    std::array<std::uint8_t, 6912> screen{};
    for (auto _ : state) {
        inkswap::ScreenFile file{};
        if (inkswap::LoadScreenFile(name.c_str(), file) != inkswap::ScreenLoad::Loaded) {
            state.SkipWithError("the file does not load");
            break;
        }
        inkswap::CopyScreen(file, 0, screen.data());
        views.Redraw(screen.data());
    }
}

} // namespace

int main(int argc, char** argv) {
    folder =
        std::filesystem::temp_directory_path() / ("inkswap-load-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    for (const Kind& kind : Kinds) {
        WriteBytes((folder / kind.File).string(), kind.Content.data(), kind.Content.size());
        benchmark::RegisterBenchmark(kind.Name, Load, kind)
            ->Repetitions(benchsupport::Repetitions)
            ->MinTime(benchsupport::MinimumSeconds);
    }
    rook::ToolkitStart();
    benchsupport::RecordingReporter reporter;
    benchsupport::RunInterleaved(argc, argv, reporter);
    for (const Kind& kind : Kinds) {
        if (kind.Name != std::string("LoadRaw")) {
            benchsupport::PrintRatio(reporter, kind.Name, "LoadRaw");
        }
    }
    benchmark::Shutdown();
    rook::ToolkitEnd();
    rook::DestroyToolkitHeap();
    std::filesystem::remove_all(folder);
    return 0;
}
