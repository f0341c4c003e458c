#include "screen/page_coding.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace inkswap {

namespace {

constexpr std::uint8_t RunMark = 0xED;
constexpr std::size_t LongestRun = 255;
constexpr std::size_t ShortestRun = 5; // of a byte other than 0xED

// How many bytes from `at` equal the one there, LongestRun at the most.
std::size_t RunLength(std::span<const std::uint8_t> page, std::size_t at) {
    std::size_t length = 1;
    while (at + length < page.size() && length < LongestRun && page[at + length] == page[at]) {
        ++length;
    }
    return length;
}

} // namespace

bool DecodeZ80Runs(std::span<const std::uint8_t> coded, std::span<std::uint8_t> page) {
    std::size_t in = 0;
    std::size_t out = 0;
    while (out < page.size()) {
        if (in >= coded.size()) {
            return false; // the page is not full yet
        }
        // The bytes up to the next 0xED are themselves: copied at once.
        const std::size_t room = std::min(coded.size() - in, page.size() - out);
        const void* mark = std::memchr(coded.data() + in, RunMark, room);
        const std::size_t plain =
            mark == nullptr ? room : static_cast<const std::uint8_t*>(mark) - (coded.data() + in);
        std::memcpy(page.data() + out, coded.data() + in, plain);
        in += plain;
        out += plain;
        if (mark == nullptr || out == page.size()) {
            continue;
        }
        if (in + 1 >= coded.size() || coded[in + 1] != RunMark) {
            page[out++] = coded[in++]; // a single 0xED
            continue;
        }
        if (coded.size() - in < 4) {
            return false; // a run cut short
        }
        const std::size_t count = coded[in + 2];
        if (count > page.size() - out) {
            return false; // the run would write past the page
        }
        std::memset(page.data() + out, coded[in + 3], count);
        out += count;
        in += 4;
    }
    return in == coded.size();
}

std::vector<std::uint8_t> EncodeZ80Runs(std::span<const std::uint8_t> page) {
    std::vector<std::uint8_t> coded;
    coded.reserve(page.size());
    std::size_t at = 0;
    while (at < page.size()) {
        const std::uint8_t byte = page[at];
        const std::size_t length = RunLength(page, at);
        if (length >= ShortestRun || (byte == RunMark && length >= 2)) {
            coded.insert(coded.end(), {RunMark, RunMark, static_cast<std::uint8_t>(length), byte});
            at += length;
            continue;
        }
        coded.push_back(byte);
        ++at;
        if (byte == RunMark && at < page.size()) {
            coded.push_back(page[at++]); // never the start of a run
        }
    }
    return coded;
}

bool InflatePage(std::span<const std::uint8_t> coded, std::span<std::uint8_t> page) {
    if (coded.size() > UINT_MAX || page.size() > UINT_MAX) {
        return false;
    }
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return false;
    }
    // zlib reads through a pointer to non-const; it never writes there.
    stream.next_in = const_cast<Bytef*>(coded.data());
    stream.avail_in = static_cast<uInt>(coded.size());
    stream.next_out = page.data();
    stream.avail_out = static_cast<uInt>(page.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.avail_out == 0;
    inflateEnd(&stream);
    return whole;
}

std::vector<std::uint8_t> DeflatePage(std::span<const std::uint8_t> page) {
    uLongf length = compressBound(static_cast<uLong>(page.size()));
    std::vector<std::uint8_t> coded(length);
    if (compress2(coded.data(), &length, page.data(), static_cast<uLong>(page.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        return {};
    }
    coded.resize(length);
    return coded;
}

} // namespace inkswap
