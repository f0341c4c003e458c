#include "cli/picture_jobs.h"

#include "cli/gif_writer.h"
#include "cli/png_writer.h"
#include "screen/indexed_picture.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace inkswap::cli {

namespace {

void Encode(PictureJob& job, const PictureLook& look, ImageFormat format) {
    const bool gif = format == ImageFormat::Gif;
    const IndexedPicture picture = MakeIndexedPicture(job.Screen.data(), look, gif);
    job.Done = gif ? EncodeGif(picture, job.Encoded) : EncodePng(picture, job.Encoded);
}

} // namespace

void PictureEncoder::Start(std::vector<PictureJob>& jobs) {
    Wait();
    auto next = std::make_shared<std::atomic<std::size_t>>(0);
    const std::size_t count =
        std::min<std::size_t>(std::max(1u, std::thread::hardware_concurrency()), jobs.size());
    for (std::size_t i = 0; i < count; ++i) {
        workers_.emplace_back([&jobs, next, look = look_, format = format_] {
            for (std::size_t at = (*next)++; at < jobs.size(); at = (*next)++) {
                Encode(jobs[at], look, format);
            }
        });
    }
}

void PictureEncoder::Wait() {
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

} // namespace inkswap::cli
