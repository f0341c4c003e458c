#include "runtime/string_operations.h"

#include "platform/os_heap.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace rook {

namespace {

constexpr std::int32_t InitialCapacity = 16;
constexpr std::int32_t GrowthMargin = 16384;
// Bytes beyond the capacity that the buffer always has, for terminators.
constexpr std::int32_t Slack = 5;

os::PrivateHeap* stringHeap = nullptr;
TempStringStack stack = {nullptr, 0, 0};

// Where an argument text lies on the stack, as 1 + its offset, or 0 when it
// lies elsewhere. Any byte of the buffer counts, so that an argument above
// the top also survives the buffer moving.
std::int32_t StackOffset(const char* text) {
    const auto address = reinterpret_cast<std::uintptr_t>(text);
    const auto base = reinterpret_cast<std::uintptr_t>(stack.Base);
    if (text == nullptr || stack.Base == nullptr || address < base ||
        address >= base + static_cast<std::uintptr_t>(stack.Capacity + Slack)) {
        return 0;
    }
    return static_cast<std::int32_t>(address - base) + 1;
}

const char* Relocated(const char* text, std::int32_t offset) {
    return offset != 0 ? stack.Base + (offset - 1) : text;
}

// Length of a text, or -1 when it is too long to be a result.
std::int64_t TextLength(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const std::size_t length = std::strlen(text);
    return length > INT_MAX ? -1 : static_cast<std::int64_t>(length);
}

// Builds `length` bytes copied from `text` at p, or the empty text when the
// stack cannot hold them.
void BuildCopy(const char* text, std::int32_t length, std::int32_t p) {
    const std::int32_t offset = StackOffset(text);
    char* result = TempReserve(length, p);
    if (result == nullptr) {
        TempSetTop(p);
        return;
    }
    std::memmove(result, Relocated(text, offset), static_cast<std::size_t>(length));
    result[length] = '\0';
}

// Digits of a magnitude, most significant first, after an optional sign.
void BuildDecimal(bool negative, std::uint64_t magnitude, std::int32_t p) {
    char digits[24];
    char* cursor = digits + sizeof digits;
    do {
        *--cursor = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) {
        *--cursor = '-';
    }
    BuildCopy(cursor, static_cast<std::int32_t>(digits + sizeof digits - cursor), p);
}

struct BinaryFormat {
    int Width;
    bool CutToByte;
};

BinaryFormat BinaryFormatOf(std::uint32_t type) {
    switch (type) {
    case 0:
    case 8:
        return {8, false};
    case 1:
    case 9:
        return {16, false};
    case 2:
        return {32, false};
    case 7:
        return {8, true};
    default:
        return {64, false};
    }
}

} // namespace

void StringLibraryInit() {
    if (stringHeap != nullptr) {
        return;
    }
    stringHeap = os::CreatePrivateHeap();
    stack.Base =
        static_cast<char*>(os::HeapAllocate(stringHeap, InitialCapacity + Slack, os::Fill::Zero));
    stack.Top = 0;
    stack.Capacity = stack.Base != nullptr ? InitialCapacity : 0;
}

const TempStringStack& TempStack() {
    return stack;
}

std::int32_t TempTop() {
    return stack.Top;
}

const char* TempAt(std::int32_t position) {
    return stack.Base + position;
}

char* TempReserve(std::int32_t n, std::int32_t p) {
    if (n < 0 || p < 0 || stack.Base == nullptr) {
        return nullptr;
    }
    const std::int64_t end = std::int64_t{std::max(stack.Top, p)} + n;
    if (end >= std::int64_t{stack.Capacity} - 4) {
        const std::int64_t capacity = end + GrowthMargin;
        if (capacity + Slack > INT_MAX) {
            return nullptr;
        }
        auto* moved = static_cast<char*>(
            os::HeapResize(stringHeap, stack.Base, static_cast<std::size_t>(capacity + Slack)));
        if (moved == nullptr) {
            return nullptr;
        }
        stack.Base = moved;
        stack.Capacity = static_cast<std::int32_t>(capacity);
    }
    stack.Top = p + n;
    return stack.Base + p;
}

void TempGiveBack(std::int32_t count) {
    stack.Top = std::max(0, stack.Top - count);
}

void TempSetTop(std::int32_t p) {
    if (stack.Base == nullptr) {
        return;
    }
    stack.Top = std::clamp(p, 0, stack.Capacity);
    stack.Base[stack.Top] = '\0';
}

std::int32_t TempOffsetOf(const char* address) {
    const std::int32_t offset = StackOffset(address);
    return offset != 0 && offset - 1 <= stack.Top ? offset : 0;
}

void AppendString(const char* text) {
    const std::int64_t length = TextLength(text);
    if (length <= 0) {
        TempSetTop(stack.Top);
        return;
    }
    BuildCopy(text, static_cast<std::int32_t>(length), stack.Top);
}

void AssignString(StringVariable& variable, std::int32_t p) {
    p = std::clamp(p, 0, stack.Top);
    const std::int32_t length = std::max(0, stack.Top - p);
    const auto bytes = static_cast<std::size_t>(length) + Slack;
    auto* storage = static_cast<char*>(
        variable == nullptr ? os::HeapAllocate(stringHeap, bytes, os::Fill::Uninitialised)
                            : os::HeapResize(stringHeap, variable, bytes));
    if (storage != nullptr) {
        std::memcpy(storage, stack.Base + p, static_cast<std::size_t>(length));
        storage[length] = '\0';
        variable = storage;
    }
    TempSetTop(p);
}

void FreeString(StringVariable storage) {
    if (storage != nullptr) {
        os::HeapRelease(stringHeap, storage);
    }
}

void StringField(const char* text, std::int32_t index, const char* separator, std::int32_t p) {
    if (index < 1 || text == nullptr) {
        TempSetTop(p);
        return;
    }
    const char delimiter = separator != nullptr ? separator[0] : '\0';
    std::int32_t field = 0;
    const char* fieldStart = text;
    for (const char* cursor = text;; ++cursor) {
        if (*cursor != delimiter && *cursor != '\0') {
            continue;
        }
        if (++field == index) {
            BuildCopy(fieldStart, static_cast<std::int32_t>(cursor - fieldStart), p);
            return;
        }
        if (*cursor == '\0') {
            TempSetTop(p);
            return;
        }
        fieldStart = cursor + 1;
    }
}

void Str(std::int64_t value, std::int32_t p) {
    // Negation in unsigned arithmetic, so that the most negative value
    // yields its own magnitude.
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                             : static_cast<std::uint64_t>(value);
    BuildDecimal(negative, magnitude, p);
}

void Bin(std::int64_t value, std::uint32_t type, std::int32_t p) {
    const BinaryFormat format = BinaryFormatOf(type);
    if (format.CutToByte) {
        value &= 0xFF;
    }
    int first = format.Width - 1;
    while (first > 0 && (value >> first) == 0) {
        --first;
    }
    char digits[64];
    int count = 0;
    for (int bit = first; bit >= 0; --bit) {
        digits[count++] = ((static_cast<std::uint64_t>(value) >> bit) & 1) != 0 ? '1' : '0';
    }
    BuildCopy(digits, count, p);
}

void RSet(const char* text, std::int32_t length, const char* pad, std::int32_t p) {
    length = std::max(length, 0);
    const std::int64_t textLength = TextLength(text);
    const auto kept = static_cast<std::int32_t>(
        std::min<std::int64_t>(std::max<std::int64_t>(textLength, 0), length));
    const char padding = pad != nullptr ? pad[0] : ' ';
    const std::int32_t offset = StackOffset(text);
    char* result = TempReserve(length, p);
    if (result == nullptr) {
        TempSetTop(p);
        return;
    }
    const std::int32_t padded = length - kept;
    if (kept > 0) {
        std::memmove(result + padded, Relocated(text, offset), static_cast<std::size_t>(kept));
    }
    std::memset(result, padding, static_cast<std::size_t>(padded));
    result[length] = '\0';
}

void Mid(const char* text, std::int32_t start, std::int32_t length, std::int32_t p) {
    const std::int64_t textLength = TextLength(text);
    const std::int64_t skipped = start > 1 ? std::int64_t{start} - 1 : 0;
    if (length <= 0 || textLength <= skipped) {
        TempSetTop(p);
        return;
    }
    // Reserving only what the text can supply yields the same result for
    // any length, however large.
    const auto taken =
        static_cast<std::int32_t>(std::min<std::int64_t>(textLength - skipped, length));
    BuildCopy(text + skipped, taken, p);
}

std::int32_t Int(double value) {
    // Values beyond the 64-bit range (and NaN) give the processor's
    // "indefinite" integer, whose low 32 bits are 0.
    if (!(std::fabs(value) < 9223372036854775808.0)) {
        return 0;
    }
    const auto truncated = static_cast<std::int64_t>(value);
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(static_cast<std::uint64_t>(truncated)));
}

std::int32_t StringEquals(const char* a, const char* b) {
    return std::strcmp(a != nullptr ? a : "", b != nullptr ? b : "") == 0 ? 1 : 0;
}

} // namespace rook
