#pragma once
// Texts and the string storage beneath them. A text is a run of 8-bit
// characters ended by a 0 byte; a null text reads as empty.
//
// String results are built on the temporary string stack, one growing
// buffer in the StringHeap. Every operation that yields a text takes the
// position p (an offset from the stack's base) at which to build it; it
// writes the result there, terminates it and leaves the top at the
// terminator. An expression is built at p = the current top, each part in
// turn at the new top, so that "x:" + Str(x) leaves one text at p.
// Positions are offsets, never addresses: the buffer moves when it grows.
// A text argument may itself lie on the stack, even at the very position
// the result is built at, as in RSet(Bin(byte, 0), 8, "0").
//
// When the stack cannot grow to hold a result (a length near 2^31, or the
// heap exhausted), the result is the empty text.

#include <cstdint>

namespace rook {

struct TempStringStack {
    char* Base;
    std::int32_t Top; // offset of the first free byte, normally a terminator
    std::int32_t Capacity;
};

// Start step: creates the StringHeap and a 16-byte stack.
void StringLibraryInit();

const TempStringStack& TempStack();
std::int32_t TempTop();
// The text at a position; valid until the stack next grows.
const char* TempAt(std::int32_t position);

// Reserves n bytes at p and returns their address; the top becomes p + n.
// Null, with nothing changed, when the stack cannot grow that far.
char* TempReserve(std::int32_t n, std::int32_t p);
void TempGiveBack(std::int32_t count);
// Sets the top to p and terminates there: an empty result.
void TempSetTop(std::int32_t p);
// 1 + the address's offset from the base when it lies on the used part of
// the stack, else 0.
std::int32_t TempOffsetOf(const char* address);

// Appends the text at the top.
void AppendString(const char* text);

// A string variable: storage in the StringHeap holding one text, or null
// for the empty text.
using StringVariable = char*;

// Stores the text from p to the top in the variable; the top goes back to p.
void AssignString(StringVariable& variable, std::int32_t p);
void FreeString(StringVariable storage);

// The index-th field (from 1) of the text, fields being separated by the
// first character of the separator text.
void StringField(const char* text, std::int32_t index, const char* separator, std::int32_t p);

// The decimal text of the value.
void Str(std::int64_t value, std::int32_t p);

// The binary text of the value, without leading zeros when it fits the
// width the type selects, else exactly that many low bits.
void Bin(std::int64_t value, std::uint32_t type, std::int32_t p);

// The text right-aligned in a field of the given length, padded on the
// left with the first character of the pad text (a space for a null pad),
// cut on the right when longer.
void RSet(const char* text, std::int32_t length, const char* pad, std::int32_t p);

// At most length characters of the text from start (counted from 1).
void Mid(const char* text, std::int32_t start, std::int32_t length, std::int32_t p);

// The value truncated toward zero: the low 32 bits of the 64-bit result.
std::int32_t Int(double value);

// 1 when the texts are equal byte for byte, else 0.
std::int32_t StringEquals(const char* a, const char* b);

// An expression built at the current top; the stack is given back to its
// start when the expression goes out of scope.
class TempExpression {
public:
    TempExpression() : start_(TempTop()) {}
    ~TempExpression() { TempSetTop(start_); }
    TempExpression(const TempExpression&) = delete;
    TempExpression& operator=(const TempExpression&) = delete;

    std::int32_t Start() const { return start_; }
    const char* Text() const { return TempAt(start_); }

private:
    std::int32_t start_;
};

} // namespace rook
