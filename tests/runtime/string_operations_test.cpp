#include "runtime/string_operations.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

namespace {

using namespace rook;

// Runs one operation at the current top and returns the text it built,
// giving the stack back afterwards.
template <typename Operation>
std::string Built(Operation operation) {
    const TempExpression expression;
    operation(expression.Start());
    EXPECT_EQ(TempTop(),
              expression.Start() + static_cast<std::int32_t>(std::strlen(expression.Text())))
        << "the top is left at the result's terminator";
    return expression.Text();
}

TEST(StringField, SplitsOnTheFirstSeparatorCharacter) {
    struct Case {
        const char* Text;
        std::int32_t Index;
        const char* Separator;
        const char* Expected;
    };
    const Case cases[] = {
        {"a\nb", 1, "\n", "a"},
        {"a\nb", 2, "\n", "b"},
        {"a\nb", 3, "\n", ""},
        {"a\nb", 0, "\n", ""},
        {"a\nb", -7, "\n", ""},
        {"a\n\nb", 3, "\n", "b"},
        {"a\n\nb", 2, "\n", ""},
        {"a\n", 2, "\n", ""},
        {"abc", 1, "", "abc"},
        {"abc", 2, "", ""},
        {"x,y", 2, ",;", "y"},
        {nullptr, 1, "\n", ""},
        {"", 1, "\n", ""},
        {"a\nb", INT_MAX, "\n", ""},
        {"C:\\one.scr\nC:\\two.scr", 1, "\n", "C:\\one.scr"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Built([&](std::int32_t p) { StringField(c.Text, c.Index, c.Separator, p); }),
                  c.Expected)
            << "field " << c.Index << " of '" << (c.Text ? c.Text : "(null)") << "'";
    }
}

TEST(Str, DecimalTextOfSigned64BitValues) {
    struct Case {
        std::int64_t Value;
        const char* Expected;
    };
    const Case cases[] = {
        {0, "0"},
        {5, "5"},
        {-5, "-5"},
        {INT_MAX, "2147483647"},
        {INT_MIN, "-2147483648"},
        {2147483648LL, "2147483648"},
        {-2147483649LL, "-2147483649"},
        {INT64_MAX, "9223372036854775807"},
        {INT64_MIN, "-9223372036854775808"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Built([&](std::int32_t p) { Str(c.Value, p); }), c.Expected);
    }
}

TEST(Bin, WidthAndCutFollowTheType) {
    struct Case {
        std::int64_t Value;
        std::uint32_t Type;
        std::string Expected;
    };
    const Case cases[] = {
        {0, 0, "0"},
        {1, 0, "1"},
        {5, 0, "101"},
        {-1, 0, "11111111"},
        {-128, 0, "10000000"},
        {127, 0, "1111111"},
        {256, 0, "00000000"},
        {256, 7, "0"},
        {-1, 7, "11111111"},
        {256, 8, "00000000"},
        {256, 1, "100000000"},
        {-1, 1, "1111111111111111"},
        {-1, 9, "1111111111111111"},
        {-1, 2, "11111111111111111111111111111111"},
        {1LL << 40, 2, "00000000000000000000000000000000"},
        {-1, 3, std::string(64, '1')},
        {INT64_MIN, 6, "1" + std::string(63, '0')},
        {-2, 0xFFFFFFFFu, std::string(63, '1') + "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Built([&](std::int32_t p) { Bin(c.Value, c.Type, p); }), c.Expected)
            << "Bin(" << c.Value << ", " << c.Type << ")";
    }
}

TEST(RSet, RightAlignsCutsAndPads) {
    struct Case {
        const char* Text;
        std::int32_t Length;
        const char* Pad;
        const char* Expected;
    };
    const Case cases[] = {
        {"101", 8, "0", "00000101"}, {"abcdef", 3, "0", "abc"}, {"", 3, "0", "000"},
        {nullptr, 2, "0", "00"},     {"ab", -1, "0", ""},       {"ab", 0, "0", ""},
        {"ab", 4, nullptr, "  ab"},  {"ab", 4, "xyz", "xxab"},  {"abc", 3, "0", "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Built([&](std::int32_t p) { RSet(c.Text, c.Length, c.Pad, p); }), c.Expected);
    }
}

TEST(Mid, StartsFromOneAndStopsAtTheEnd) {
    struct Case {
        const char* Text;
        std::int32_t Start;
        std::int32_t Length;
        const char* Expected;
    };
    const Case cases[] = {
        {"01101", 2, 1, "1"},      {"abc", 0, 2, "ab"},     {"abc", -9, 2, "ab"},
        {"abc", 5, 1, ""},         {"abc", 4, 1, ""},       {"abc", 2, 10, "bc"},
        {"abc", 1, -1, ""},        {"abc", 3, 1, "c"},      {nullptr, 1, 3, ""},
        {"abc", 2, INT_MAX, "bc"}, {"abc", INT_MAX, 1, ""}, {"abc", INT_MIN, INT_MAX, "abc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Built([&](std::int32_t p) { Mid(c.Text, c.Start, c.Length, p); }), c.Expected)
            << "Mid('" << (c.Text ? c.Text : "(null)") << "', " << c.Start << ", " << c.Length
            << ")";
    }
}

TEST(Int, TruncatesTowardZero) {
    EXPECT_EQ(Int(7.9), 7);
    EXPECT_EQ(Int(-7.9), -7);
    EXPECT_EQ(Int(0.0), 0);
    EXPECT_EQ(Int(7.97), 7);
    EXPECT_EQ(Int(2147483647.5), INT_MAX);
    EXPECT_EQ(Int(4294967296.0 + 5.0), 5) << "the low 32 bits of the 64-bit result";
    EXPECT_EQ(Int(-2147483648.9), INT_MIN);
    EXPECT_EQ(Int(1e300), 0);
    EXPECT_EQ(Int(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(StringEquals, ComparesByteForByteWithNullAsEmpty) {
    EXPECT_EQ(StringEquals(nullptr, ""), 1);
    EXPECT_EQ(StringEquals(nullptr, nullptr), 1);
    EXPECT_EQ(StringEquals("0", "00"), 0);
    EXPECT_EQ(StringEquals("0", "0"), 1);
    EXPECT_EQ(StringEquals("a", nullptr), 0);
    EXPECT_EQ(StringEquals("\xE4", "\xC4"), 0) << "no case folding";
}

TEST(TempStringStack, ExpressionOfPartsLeavesOneText) {
    const TempExpression title;
    AppendString("x:");
    Str(5, TempTop());
    AppendString(" y:");
    Str(12, TempTop());
    EXPECT_STREQ(title.Text(), "x:5 y:12");
    EXPECT_EQ(TempTop(), title.Start() + 8);
}

TEST(TempStringStack, ResultBuildsOnItsOwnArgument) {
    // RSet(Bin(byte, 0), 8, "0"): RSet reads its argument at the position it
    // writes to. The renderer's texts for every byte value.
    for (std::int32_t byte = -128; byte <= 127; ++byte) {
        const TempExpression text;
        Bin(byte, 0, text.Start());
        RSet(text.Text(), 8, "0", text.Start());
        std::string expected;
        for (int bit = 7; bit >= 0; --bit) {
            expected += ((byte >> bit) & 1) != 0 ? '1' : '0';
        }
        ASSERT_EQ(text.Text(), expected) << "byte " << byte;
    }
}

TEST(TempStringStack, ArgumentsOnTheStackSurviveItsGrowth) {
    // Build a text near the top of the stack, then a result that forces the
    // buffer to move; the argument must be read from its new place.
    const TempExpression whole;
    const std::string long_text(TempStack().Capacity + 100, 'q');
    AppendString(long_text.c_str());
    const std::int32_t argument = TempTop();
    AppendString("tail-text");
    const std::int32_t result = TempTop();
    const std::int32_t capacity = TempStack().Capacity;
    RSet(TempAt(argument), capacity + 1000, "-", result);
    ASSERT_GT(TempStack().Capacity, capacity) << "the stack grew";
    const std::string built = TempAt(result);
    EXPECT_EQ(built.size(), static_cast<std::size_t>(capacity + 1000));
    EXPECT_EQ(built.substr(built.size() - 9), "tail-text");
    EXPECT_EQ(std::string(TempAt(whole.Start()), long_text.size()), long_text)
        << "earlier results are intact";
}

TEST(TempStringStack, GrowsBeforeATwentyCharacterResultAndKeepsWhatWasBuilt) {
    const TempExpression expression;
    AppendString("abc");
    const std::int32_t before = TempStack().Capacity;
    AppendString("twenty characters!!!");
    EXPECT_GE(TempStack().Capacity, before);
    EXPECT_STREQ(expression.Text(), "abctwenty characters!!!");
}

TEST(TempStringStack, LengthsNearTwoToTheThirtyOneGiveTheEmptyText) {
    const TempExpression before;
    AppendString("kept");
    const std::int32_t p = TempTop();
    RSet("ab", INT_MAX, "0", p);
    EXPECT_STREQ(TempAt(p), "");
    EXPECT_EQ(TempTop(), p);
    RSet("ab", INT_MAX - 16000, "0", p);
    EXPECT_STREQ(TempAt(p), "");
    EXPECT_STREQ(before.Text(), "kept") << "nothing before the result was touched";
    EXPECT_EQ(TempReserve(INT_MAX, p), nullptr);
    EXPECT_EQ(TempReserve(-1, p), nullptr);
}

TEST(TempStringStack, OffsetsOfAddressesOnAndOffTheStack) {
    const TempExpression expression;
    AppendString("hello");
    EXPECT_EQ(TempOffsetOf(expression.Text()), expression.Start() + 1);
    EXPECT_EQ(TempOffsetOf(expression.Text() + 5), expression.Start() + 6) << "the terminator";
    EXPECT_EQ(TempOffsetOf("elsewhere"), 0);
    EXPECT_EQ(TempOffsetOf(nullptr), 0);
}

TEST(StringVariables, AssignTakesTheTextAndGivesTheStackBack) {
    StringVariable path = nullptr;
    const std::int32_t p = TempTop();
    AppendString("C:\\screens\\");
    AppendString("manic.scr");
    AssignString(path, p);
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, "C:\\screens\\manic.scr");
    EXPECT_EQ(TempTop(), p);

    const std::string longer(5000, 'z');
    AppendString(longer.c_str());
    AssignString(path, p);
    EXPECT_EQ(path, longer);

    TempSetTop(p);
    AssignString(path, p);
    EXPECT_STREQ(path, "") << "an empty expression assigns the empty text";
    FreeString(path);
    FreeString(nullptr);
}

} // namespace
