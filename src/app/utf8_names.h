#pragma once
// File names between the platform's wide (UTF-16) calls and the program's
// 8-bit ones, whose code page is UTF-8. A name that does not fit whole is
// not converted at all: half a name would open another file.

#include "platform/win32/win32.h"

#include <array>
#include <cstddef>

namespace inkswap {

// Room for a full path of 259 characters of up to four bytes each.
inline constexpr std::size_t Utf8NameCapacity = 1040;
using Utf8Name = std::array<char, Utf8NameCapacity>;

// The wide name in UTF-8; false (name empty) when it does not fit or is
// not valid UTF-16.
bool ToUtf8(const wchar_t* wide, Utf8Name& name);

// The UTF-8 text as a wide one of at most capacity wide characters, the
// terminator included; false (wide empty) when it does not fit or is not
// valid UTF-8.
bool ToWide(const char* text, wchar_t* wide, int capacity);

// The last folder separator ('\\' or '/') of a wide path, or null.
wchar_t* LastSeparator(wchar_t* path);

} // namespace inkswap
