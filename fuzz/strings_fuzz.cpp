// Random sequences of string operations on the temporary string stack,
// checked against a model that keeps the stack's used part as a
// std::string. Arguments come inside and outside their ranges, texts from
// literals, string variables and the stack itself; after every operation
// the whole stack must equal the model, so that growth that lost or moved
// earlier results shows at once.

#include "fuzz_check.h"
#include "runtime/string_operations.h"
#include "runtime/toolkit_heap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <bitset>
#include <climits>
#include <cstring>
#include <string>

namespace {

using rook::StringVariable;

// The text a C string at `from` holds: everything up to its first 0 byte.
// Copies only the text, not the rest of a large stack.
std::string TextOf(const std::string& bytes, std::size_t from = 0) {
    return bytes.substr(from, bytes.find('\0', from) - from);
}

struct Argument {
    const char* Pointer;
    std::string Value; // what the operation must read
};

class StringSession {
public:
    explicit StringSession(FuzzedDataProvider& input) : input_(input) { rook::TempSetTop(0); }

    ~StringSession() {
        for (StringVariable& variable : variables_) {
            rook::FreeString(variable);
        }
    }

    StringSession(const StringSession&) = delete;
    StringSession& operator=(const StringSession&) = delete;

    void Run() {
        for (int step = 0; step < 64 && input_.remaining_bytes() > 0; ++step) {
            StartAgainIfLarge();
            Step();
            CheckStack();
        }
    }

private:
    // Appending the stack to itself doubles it, so 64 steps could take it to
    // the 32-bit limit: seconds of copying per input and gigabytes of model.
    // Past 64 KiB (beyond the 40,000-byte long results, so the stack still
    // grows under earlier ones) the session starts the stack again from empty.
    void StartAgainIfLarge() {
        if (Top() <= (1 << 16)) {
            return;
        }
        rook::TempSetTop(0);
        stack_.clear();
    }

    std::int32_t Top() const { return static_cast<std::int32_t>(stack_.size()); }

    // A build position: mostly the top, as expressions use it, else anywhere
    // below it (a result built over earlier ones).
    std::int32_t Position() {
        return input_.ConsumeBool() ? Top() : input_.ConsumeIntegralInRange<std::int32_t>(0, Top());
    }

    // A count for indexes, starts and lengths: small ones near the edges of
    // the texts, or the extremes of the 32-bit range.
    std::int32_t Count() {
        static constexpr std::int32_t extremes[] = {INT_MIN, INT_MIN + 1, -1,     0,
                                                    1,       INT_MAX - 1, INT_MAX};
        if (input_.ConsumeIntegralInRange(0, 7) == 0) {
            return input_.PickValueInArray(extremes);
        }
        return input_.ConsumeIntegralInRange<std::int32_t>(-3, 60);
    }

    // A text argument that lies at or above p, as the arguments of results
    // built at p do: a literal, a variable, the stack from some position, or
    // null.
    Argument Text(std::int32_t p) {
        switch (input_.ConsumeIntegralInRange(0, 4)) {
        case 0:
            return {nullptr, ""};
        case 1: {
            const std::int32_t q = input_.ConsumeIntegralInRange<std::int32_t>(p, Top());
            return {rook::TempAt(q), TextOf(stack_, static_cast<std::size_t>(q))};
        }
        case 2: {
            const std::size_t index = input_.ConsumeIntegralInRange<std::size_t>(0, 2);
            return {variables_[index], values_[index]};
        }
        default:
            literals_[literalIndex_ % literals_.size()] =
                TextOf(input_.ConsumeRandomLengthString(48));
            const std::string& literal = literals_[literalIndex_++ % literals_.size()];
            return {literal.c_str(), literal};
        }
    }

    // The result now built at p, in the model.
    void Built(std::int32_t p, const std::string& result) {
        stack_.resize(static_cast<std::size_t>(p));
        stack_ += result;
    }

    void Step() {
        switch (input_.ConsumeIntegralInRange(0, 10)) {
        case 0: {
            const Argument text = Text(Top());
            rook::AppendString(text.Pointer);
            stack_ += text.Value;
            break;
        }
        case 1: {
            const std::int32_t p = Position();
            const std::int64_t value = input_.ConsumeIntegral<std::int64_t>();
            rook::Str(value, p);
            Built(p, std::to_string(value));
            break;
        }
        case 2: {
            const std::int32_t p = Position();
            const std::int64_t value = input_.ConsumeIntegral<std::int64_t>();
            const std::uint32_t type = input_.ConsumeBool()
                                           ? input_.ConsumeIntegralInRange<std::uint32_t>(0, 10)
                                           : input_.ConsumeIntegral<std::uint32_t>();
            rook::Bin(value, type, p);
            Built(p, BinModel(value, type));
            break;
        }
        case 3: {
            const std::int32_t p = Position();
            const Argument text = Text(p);
            const std::int32_t index = Count();
            const Argument separator = Text(p);
            rook::StringField(text.Pointer, index, separator.Pointer, p);
            const char delimiter = separator.Value.empty() ? '\0' : separator.Value[0];
            Built(p, FieldModel(text.Value, index, delimiter));
            break;
        }
        case 4: {
            const std::int32_t p = Position();
            const Argument text = Text(p);
            const std::int32_t length = Count();
            const Argument pad = Text(p);
            const char padding =
                pad.Pointer == nullptr ? ' ' : (pad.Value.empty() ? '\0' : pad.Value[0]);
            rook::RSet(text.Pointer, length, pad.Pointer, p);
            Built(p, RSetModel(text.Value, length, padding, p));
            break;
        }
        case 5: {
            const std::int32_t p = Position();
            const Argument text = Text(p);
            const std::int32_t start = Count();
            const std::int32_t length = Count();
            rook::Mid(text.Pointer, start, length, p);
            Built(p, MidModel(text.Value, start, length));
            break;
        }
        case 6: {
            const std::int32_t p = Position();
            const std::size_t index = input_.ConsumeIntegralInRange<std::size_t>(0, 2);
            rook::AssignString(variables_[index], p);
            values_[index] = TextOf(stack_, static_cast<std::size_t>(p));
            stack_.resize(static_cast<std::size_t>(p));
            break;
        }
        case 7: {
            const std::size_t index = input_.ConsumeIntegralInRange<std::size_t>(0, 2);
            rook::FreeString(variables_[index]);
            variables_[index] = nullptr;
            values_[index].clear();
            break;
        }
        case 8: {
            const std::int32_t p = Position();
            rook::TempSetTop(p);
            stack_.resize(static_cast<std::size_t>(p));
            break;
        }
        case 9: {
            const Argument a = Text(0);
            const Argument b = Text(0);
            FUZZ_CHECK(rook::StringEquals(a.Pointer, b.Pointer) == (a.Value == b.Value ? 1 : 0));
            break;
        }
        default: {
            // A long result, so that the stack grows under what is built.
            const std::int32_t p = Position();
            const std::int32_t length = input_.ConsumeIntegralInRange<std::int32_t>(0, 40000);
            rook::RSet("x", length, "-", p);
            Built(p, RSetModel("x", length, '-', p));
            break;
        }
        }
    }

    void CheckStack() const {
        FUZZ_CHECK(rook::TempTop() == Top());
        FUZZ_CHECK(std::memcmp(rook::TempAt(0), stack_.data(), stack_.size()) == 0);
        FUZZ_CHECK(rook::TempAt(0)[stack_.size()] == '\0');
        for (std::size_t index = 0; index < variables_.size(); ++index) {
            const char* text = variables_[index] != nullptr ? variables_[index] : "";
            FUZZ_CHECK(values_[index] == text);
        }
    }

    static std::string BinModel(std::int64_t value, std::uint32_t type) {
        int width = 64;
        if (type == 0 || type == 7 || type == 8) {
            width = 8;
        } else if (type == 1 || type == 9) {
            width = 16;
        } else if (type == 2) {
            width = 32;
        }
        if (type == 7) {
            value &= 0xFF;
        }
        const std::string bits = std::bitset<64>(static_cast<std::uint64_t>(value)).to_string();
        const bool fits = value >= 0 && (width == 64 || value < (std::int64_t{1} << width));
        if (!fits) {
            return bits.substr(static_cast<std::size_t>(64 - width)); // the low width bits
        }
        const std::size_t first = bits.find('1');
        return first == std::string::npos ? "0" : bits.substr(first);
    }

    static std::string FieldModel(const std::string& text, std::int32_t index, char delimiter) {
        if (index < 1) {
            return "";
        }
        std::string field;
        std::int32_t number = 1;
        for (char c : text) {
            if (c != delimiter) {
                field += c;
                continue;
            }
            if (number == index) {
                return field;
            }
            ++number;
            field.clear();
        }
        return number == index ? field : "";
    }

    static std::string RSetModel(const std::string& text, std::int32_t length, char padding,
                                 std::int32_t p) {
        if (length <= 0) {
            return "";
        }
        // A field the stack cannot hold gives the empty text.
        if (std::int64_t{p} + length + 16384 + 5 > INT_MAX) {
            return "";
        }
        const std::size_t field = static_cast<std::size_t>(length);
        const std::string kept = text.substr(0, field);
        return std::string(field - kept.size(), padding) + kept;
    }

    static std::string MidModel(const std::string& text, std::int32_t start, std::int32_t length) {
        const std::int64_t skipped = start > 1 ? std::int64_t{start} - 1 : 0;
        if (length <= 0 || skipped >= static_cast<std::int64_t>(text.size())) {
            return "";
        }
        return text.substr(static_cast<std::size_t>(skipped), static_cast<std::size_t>(length));
    }

    FuzzedDataProvider& input_;
    std::string stack_;
    std::array<StringVariable, 3> variables_{};
    std::array<std::string, 3> values_{};
    std::array<std::string, 8> literals_{};
    std::size_t literalIndex_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    rook::CreateToolkitHeap();
    rook::StringLibraryInit();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    StringSession(input).Run();
    return 0;
}
