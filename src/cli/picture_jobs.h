#pragma once
// The pictures of a batch, made and encoded on every core: each depends
// on its screen alone, so worker threads take a group of them while the
// main thread writes the outputs of the group before and reads the files
// of the next.

#include "cli/arguments.h"
#include "screen/screen_image.h"

#include <array>
#include <cstdint>
#include <thread>
#include <vector>

namespace inkswap::cli {

struct PictureJob {
    std::array<std::uint8_t, ScreenFileSize> Screen;
    std::vector<std::uint8_t> Encoded; // the image file's bytes
    bool Done = false;                 // false: the encoder failed
};

// Encodes one group of jobs at a time in the background.
class PictureEncoder {
public:
    PictureEncoder(const PictureLook& look, ImageFormat format) : look_(look), format_(format) {}
    ~PictureEncoder() { Wait(); }
    PictureEncoder(const PictureEncoder&) = delete;
    PictureEncoder& operator=(const PictureEncoder&) = delete;

    // Starts making and encoding the jobs' pictures; the jobs must stay
    // where they are, untouched, until Wait returns.
    void Start(std::vector<PictureJob>& jobs);
    // Waits until every job started is done.
    void Wait();

private:
    PictureLook look_;
    ImageFormat format_;
    std::vector<std::thread> workers_;
};

} // namespace inkswap::cli
