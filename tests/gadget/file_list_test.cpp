#include "gadget/file_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using rook::IsWellFormedFileList;

// A file-list block: the header, then the names as given (terminators and
// all), 8-bit or 16-bit.
std::vector<std::uint8_t> Block(std::uint32_t namesOffset, bool wide, const std::string& names) {
    std::vector<std::uint8_t> block(rook::FileListHeaderSize, 0);
    std::memcpy(block.data(), &namesOffset, sizeof namesOffset);
    const std::uint32_t wideFlag = wide ? 1 : 0;
    std::memcpy(block.data() + 16, &wideFlag, sizeof wideFlag);
    for (char c : names) {
        block.push_back(static_cast<std::uint8_t>(c));
        if (wide) {
            block.push_back(0);
        }
    }
    return block;
}

TEST(FileList, WellFormedListsOfEitherWidth) {
    for (bool wide : {false, true}) {
        const std::string names("C:\\a.scr\0C:\\b.scr\0\0", 19);
        const auto block = Block(20, wide, names);
        EXPECT_TRUE(IsWellFormedFileList(block.data(), block.size())) << "wide " << wide;
        const auto empty = Block(20, wide, std::string("\0", 1));
        EXPECT_TRUE(IsWellFormedFileList(empty.data(), empty.size())) << "an empty list";
    }
}

TEST(FileList, MalformedBlocksAreRefused) {
    const std::string names("a\0b\0\0", 5);
    struct Case {
        const char* What;
        std::vector<std::uint8_t> Block;
    };
    std::vector<Case> cases = {
        {"shorter than the header", std::vector<std::uint8_t>(19, 0)},
        {"names inside the header", Block(8, false, names)},
        {"names beyond the block", Block(400, false, names)},
        {"names at the very end", Block(25, false, names)},
        {"no final terminator", Block(20, false, std::string("a\0b\0", 4))},
        {"no terminator at all", Block(20, false, "abc")},
        {"wide names cut in half", Block(20, true, std::string("a\0b\0", 4))},
        {"offset of all ones", Block(0xFFFFFFFFu, false, names)},
    };
    // A wide list whose double terminator is only half inside the block.
    auto half = Block(20, true, std::string("a\0", 2));
    half.push_back(0);
    cases.push_back({"half a wide terminator", half});
    for (const Case& c : cases) {
        EXPECT_FALSE(IsWellFormedFileList(c.Block.data(), c.Block.size())) << c.What;
    }
    EXPECT_FALSE(IsWellFormedFileList(nullptr, 100));
}

} // namespace
