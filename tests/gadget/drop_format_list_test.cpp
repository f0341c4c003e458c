#include "gadget/drop_format_list.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using namespace rook;

// The list front to back as (format, actions), with its back links checked.
std::vector<std::pair<std::uint32_t, std::uint32_t>> Entries(const DropFormatEntry* list) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> entries;
    const DropFormatEntry* previous = nullptr;
    for (const DropFormatEntry* entry = list; entry != nullptr; entry = entry->Next) {
        EXPECT_EQ(entry->Previous, previous) << "the back link of format " << entry->Format;
        entries.emplace_back(entry->Format, entry->Actions);
        previous = entry;
    }
    return entries;
}

using List = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

TEST(DropFormatList, NewFormatsGoToTheFrontAndKnownOnesTakeNewActions) {
    DropFormatEntry* list = nullptr;
    EXPECT_TRUE(SetDropFormat(list, 15, 1));
    EXPECT_TRUE(SetDropFormat(list, 1, 2));
    EXPECT_TRUE(SetDropFormat(list, 7, 3));
    EXPECT_EQ(Entries(list), (List{{7, 3}, {1, 2}, {15, 1}}));
    EXPECT_TRUE(SetDropFormat(list, 15, 5));
    EXPECT_EQ(Entries(list), (List{{7, 3}, {1, 2}, {15, 5}})) << "it keeps its place";
    EXPECT_EQ(FindDropFormat(list, 1)->Actions, 2u);
    EXPECT_EQ(FindDropFormat(list, 9), nullptr);
    FreeDropFormats(list);
    EXPECT_EQ(list, nullptr);
}

TEST(DropFormatList, ActionsZeroRemoveFromAnyPlace) {
    struct Case {
        std::uint32_t Removed;
        List Left;
    };
    const Case cases[] = {
        {7, {{1, 2}, {15, 1}}},         // the front
        {1, {{7, 3}, {15, 1}}},         // the middle
        {15, {{7, 3}, {1, 2}}},         // the back
        {9, {{7, 3}, {1, 2}, {15, 1}}}, // not there: nothing happens
    };
    for (const Case& c : cases) {
        DropFormatEntry* list = nullptr;
        for (auto [format, actions] : List{{15, 1}, {1, 2}, {7, 3}}) {
            SetDropFormat(list, format, actions);
        }
        EXPECT_TRUE(SetDropFormat(list, c.Removed, 0));
        EXPECT_EQ(Entries(list), c.Left) << "removing " << c.Removed;
        FreeDropFormats(list);
    }
}

TEST(DropFormatList, RemovingTheLastEntryEmptiesTheList) {
    DropFormatEntry* list = nullptr;
    SetDropFormat(list, 15, 1);
    SetDropFormat(list, 15, 0);
    EXPECT_EQ(list, nullptr);
    EXPECT_TRUE(SetDropFormat(list, 15, 0)) << "removing from an empty list does nothing";
    EXPECT_EQ(list, nullptr);
}

} // namespace
