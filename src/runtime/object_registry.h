#pragma once
// The object registry: the table of one kind of numbered object (windows,
// gadgets, menus, files). Static numbers chosen by the application (0 and
// up) index a slot table that grows on demand; AnyNumber asks for a dynamic
// object, kept on a list and named by a dynamic identifier. Dynamic
// identifiers count down from -2, so no static number can ever name one.
//
// Object storage is zero-filled; its first 32-bit field is the live marker,
// non-zero exactly while the object exists. Static storage, once made, stays
// in its slot for the life of the process and is reused for the number.
//
// Beside the registry stands the LibraryState, the one state block of a
// library. Registries, slot tables, storage and state blocks all come from
// the ToolkitHeap.

#include <cstddef>
#include <cstdint>

namespace rook {

inline constexpr std::int32_t AnyNumber = -1;

// Releases the object of a number or dynamic identifier; does nothing for a
// number that names no live object.
using FreeOperation = void (*)(std::int32_t number);

// The header of an element of a process-wide list; the element's storage
// follows it.
struct ListNode {
    ListNode* Older;
    ListNode* Newer;
    std::int32_t Identifier; // the dynamic identifier, for registry nodes
};

struct ObjectRegistry {
    std::uint32_t ObjectSize;
    std::int32_t GrowthStep;
    std::int32_t Capacity;
    void** Slots;          // storage by static number; null = never used
    ListNode* DynamicList; // newest first
    FreeOperation FreeCallback;
    std::int32_t IterIndex;
    ListNode* IterCursor;
};

// An object's storage with its number or dynamic identifier. Storage is
// null when there is no object (failure, or the end of an iteration).
struct RegistryObject {
    void* Storage;
    std::int32_t Number;
};

// A new registry, or null when memory runs out.
ObjectRegistry* RegistryCreate(std::uint32_t objectSize, std::int32_t growthStep,
                               FreeOperation freeCallback);

// Storage for a static number (closing a live object of that number first)
// or, for AnyNumber, a new dynamic object. Storage is null for numbers
// below -1, for static numbers the table cannot grow to, and when memory
// runs out.
RegistryObject RegistryGetOrCreate(ObjectRegistry* registry, std::int32_t number);

// The live object of a number or dynamic identifier, or null.
void* RegistryLookup(ObjectRegistry* registry, std::int32_t number);

// Releases a number: static storage is cleared and kept, a dynamic node is
// unlinked and freed.
void RegistryFree(ObjectRegistry* registry, std::int32_t number);

// Iteration: live static numbers ascending, then dynamic objects oldest
// first. The caller may free the object it was just given.
void RegistryFirst(ObjectRegistry* registry);
RegistryObject RegistryNext(ObjectRegistry* registry);

// Calls the free callback for every object of an iteration.
void RegistryFreeAll(ObjectRegistry* registry);

// A new zero-filled element linked at the head of the list; null when
// memory runs out.
void* NewListNode(ListNode** head, std::size_t elementSize);

// Unlinks an element's node, wherever it lies in the list, and frees it.
void FreeListNode(ListNode** head, void* element);

// The node of an element made by NewListNode, and the element of a node.
ListNode* ListNodeOf(void* element);
void* ListNodeElement(ListNode* node);

using LibraryState = void*;

// A zero-filled state block on which the initialiser (if any) has run.
LibraryState CreateLibraryState(std::size_t size, void (*initialiser)(void* block));

template <typename State>
State* GetLibraryState(LibraryState state) {
    return static_cast<State*>(state);
}

} // namespace rook
