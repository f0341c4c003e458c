// The ways snapshots keep a page: the Z80 format's run coding, by its
// rules (runs of 5 or more, runs of 0xED from 2, nothing after a single
// 0xED starts a run), decoding that stops at the page's end whatever the
// bytes say; and zlib streams inflated to exactly the page.

#include "screen/page_coding.h"

#include "snapshot_fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace inkswap;
using Bytes = std::vector<std::uint8_t>;

Bytes Repeated(std::size_t count, std::uint8_t byte) {
    return Bytes(count, byte);
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

TEST(Z80RunCoding, CodesRunsByTheFormatsRules) {
    struct Case {
        std::string What;
        Bytes Page;
        Bytes Coded;
    };
    const std::vector<Case> cases = {
        {"four equal bytes stay as they are", Repeated(4, 7), Repeated(4, 7)},
        {"five become a run", Repeated(5, 7), {0xED, 0xED, 5, 7}},
        {"a run is 255 at most", Repeated(300, 0), {0xED, 0xED, 255, 0, 0xED, 0xED, 45, 0}},
        {"two 0xEDs are a run", Repeated(2, 0xED), {0xED, 0xED, 2, 0xED}},
        {"a single 0xED is itself", {1, 0xED, 2}, {1, 0xED, 2}},
        {"the byte after a single 0xED starts no run",
         Joined({{0xED}, Repeated(6, 0)}),
         {0xED, 0, 0xED, 0xED, 5, 0}},
        {"a single 0xED at the end", {3, 0xED}, {3, 0xED}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        EXPECT_EQ(EncodeZ80Runs(test.Page), test.Coded);
        Bytes page(test.Page.size());
        EXPECT_TRUE(DecodeZ80Runs(test.Coded, page));
        EXPECT_EQ(page, test.Page);
    }
}

TEST(Z80RunCoding, RefusesCodingThatDoesNotFillThePageExactly) {
    struct Case {
        std::string What;
        Bytes Coded;
    };
    const std::vector<Case> cases = {
        {"ends before the page is full", {1, 2, 3}},
        {"a run past the page", {1, 0xED, 0xED, 8, 9}},
        {"bytes after the page", {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"a run cut short at the end", {1, 2, 3, 4, 0xED, 0xED, 4}},
        {"nothing at all", {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        Bytes page(8); // a run past it would be an overrun the sanitizer reports
        EXPECT_FALSE(DecodeZ80Runs(test.Coded, page));
    }
}

TEST(Z80RunCoding, EveryPageCodesAndDecodesToItself) {
    Bytes page(16384);
    std::uint32_t state = 12345;
    for (std::size_t at = 0; at < page.size();) {
        state = state * 1103515245 + 12345;
        const std::size_t run = (state >> 16) % 9 + 1;
        const auto byte = static_cast<std::uint8_t>((state >> 8) % 3 == 0 ? 0xED : state >> 24);
        for (std::size_t i = 0; i < run && at < page.size(); ++i) {
            page[at++] = byte;
        }
    }
    Bytes back(page.size());
    ASSERT_TRUE(DecodeZ80Runs(EncodeZ80Runs(page), back));
    EXPECT_EQ(back, page);
}

Bytes Deflated(const Bytes& data) {
    return fixtures::Zlib(data.data(), data.size());
}

TEST(ZlibPages, InflateExactlyThePage) {
    Bytes page(16384);
    for (std::size_t i = 0; i < page.size(); ++i) {
        page[i] = static_cast<std::uint8_t>(i * 7 / 3);
    }
    Bytes inflated(page.size());
    ASSERT_TRUE(InflatePage(DeflatePage(page), inflated));
    EXPECT_EQ(inflated, page);

    Bytes broken = Deflated(page);
    broken[broken.size() / 2] ^= 0x55;
    const Bytes longer = Deflated(Joined({page, Repeated(1, 9)}));
    const Bytes shorter = Deflated(Bytes(page.begin(), page.end() - 1));
    Bytes cut = Deflated(page);
    cut.resize(cut.size() - 6);
    for (const Bytes& coded : {broken, longer, shorter, cut, Bytes{}}) {
        Bytes out(page.size());
        EXPECT_FALSE(InflatePage(coded, out));
    }
}

} // namespace
