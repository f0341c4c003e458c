#pragma once
// The formats a drop target accepts: a doubly linked list of entries on the
// ToolkitHeap, newest first (the first acceptable entry wins a drag). A
// target keeps one list of standard formats and one of private types.
// Portable.

#include <cstdint>

namespace rook {

// One accepted format (or private type) and its actions.
struct DropFormatEntry {
    DropFormatEntry* Next;
    DropFormatEntry* Previous;
    std::uint32_t Format;
    std::uint32_t Actions;
};

// The entry of the format, or null.
DropFormatEntry* FindDropFormat(DropFormatEntry* list, std::uint32_t format);

// Accepts the format with the actions: an entry of the format takes the new
// actions, else a new one goes to the front; actions 0 remove the entry.
// False only when memory for a new entry runs out.
bool SetDropFormat(DropFormatEntry*& list, std::uint32_t format, std::uint32_t actions);

// Frees every entry; the list is empty afterwards.
void FreeDropFormats(DropFormatEntry*& list);

} // namespace rook
