#include "runtime/object_registry.h"

#include "runtime/toolkit_heap.h"

#include <climits>
#include <cstring>

namespace rook {

namespace {

// Dynamic identifiers of all registries come from one count, so that no two
// live objects of the process share one.
std::int64_t nextIdentifier = -2;

constexpr std::size_t NodeHeaderSize = (sizeof(ListNode) + alignof(std::max_align_t) - 1) /
                                       alignof(std::max_align_t) * alignof(std::max_align_t);

void* StorageOf(ListNode* node) {
    return reinterpret_cast<std::byte*>(node) + NodeHeaderSize;
}

bool IsLive(const void* storage) {
    std::uint32_t marker;
    std::memcpy(&marker, storage, sizeof marker);
    return marker != 0;
}

bool IsStaticNumber(const ObjectRegistry* registry, std::int32_t number) {
    return number >= 0 && number < registry->Capacity;
}

ListNode* FindDynamicNode(const ObjectRegistry* registry, std::int32_t identifier) {
    for (ListNode* node = registry->DynamicList; node != nullptr; node = node->Older) {
        if (node->Identifier == identifier) {
            return node;
        }
    }
    return nullptr;
}

// Enlarges the slot table to hold the number plus a growth step, keeping the
// old entries. A fresh zero-filled table is taken rather than a resized one,
// so that the new entries cost no writes.
bool GrowSlots(ObjectRegistry* registry, std::int32_t number) {
    const std::int64_t capacity = std::int64_t{number} + registry->GrowthStep;
    if (capacity > INT_MAX) {
        return false;
    }
    auto** slots = static_cast<void**>(
        ToolkitAllocate(static_cast<std::size_t>(capacity) * sizeof(void*), os::Fill::Zero));
    if (slots == nullptr) {
        return false;
    }
    std::memcpy(slots, registry->Slots,
                static_cast<std::size_t>(registry->Capacity) * sizeof(void*));
    ToolkitRelease(registry->Slots);
    registry->Slots = slots;
    registry->Capacity = static_cast<std::int32_t>(capacity);
    return true;
}

RegistryObject CreateDynamic(ObjectRegistry* registry) {
    if (nextIdentifier < INT_MIN) {
        return {nullptr, 0};
    }
    void* storage = NewListNode(&registry->DynamicList, registry->ObjectSize);
    if (storage == nullptr) {
        return {nullptr, 0};
    }
    const auto identifier = static_cast<std::int32_t>(nextIdentifier--);
    ListNodeOf(storage)->Identifier = identifier;
    return {storage, identifier};
}

} // namespace

ObjectRegistry* RegistryCreate(std::uint32_t objectSize, std::int32_t growthStep,
                               FreeOperation freeCallback) {
    if (objectSize < sizeof(std::uint32_t) || growthStep < 1) {
        return nullptr;
    }
    auto* registry =
        static_cast<ObjectRegistry*>(ToolkitAllocate(sizeof(ObjectRegistry), os::Fill::Zero));
    if (registry == nullptr) {
        return nullptr;
    }
    registry->Slots = static_cast<void**>(
        ToolkitAllocate(static_cast<std::size_t>(growthStep) * sizeof(void*), os::Fill::Zero));
    if (registry->Slots == nullptr) {
        ToolkitRelease(registry);
        return nullptr;
    }
    registry->ObjectSize = objectSize;
    registry->GrowthStep = growthStep;
    registry->Capacity = growthStep;
    registry->FreeCallback = freeCallback;
    return registry;
}

RegistryObject RegistryGetOrCreate(ObjectRegistry* registry, std::int32_t number) {
    if (registry == nullptr || number < AnyNumber) {
        return {nullptr, 0};
    }
    if (number == AnyNumber) {
        return CreateDynamic(registry);
    }
    if (number >= registry->Capacity && !GrowSlots(registry, number)) {
        return {nullptr, 0};
    }
    if (void* storage = registry->Slots[number]; storage != nullptr) {
        // Reopening a number silently closes what had it before.
        if (registry->FreeCallback != nullptr) {
            registry->FreeCallback(number);
        }
        return {storage, number};
    }
    void* storage = ToolkitAllocate(registry->ObjectSize, os::Fill::Zero);
    if (storage == nullptr) {
        return {nullptr, 0};
    }
    registry->Slots[number] = storage;
    return {storage, number};
}

void* RegistryLookup(ObjectRegistry* registry, std::int32_t number) {
    if (registry == nullptr) {
        return nullptr;
    }
    if (IsStaticNumber(registry, number)) {
        void* storage = registry->Slots[number];
        return storage != nullptr && IsLive(storage) ? storage : nullptr;
    }
    if (number < AnyNumber) {
        ListNode* node = FindDynamicNode(registry, number);
        return node != nullptr && IsLive(StorageOf(node)) ? StorageOf(node) : nullptr;
    }
    return nullptr;
}

void RegistryFree(ObjectRegistry* registry, std::int32_t number) {
    if (registry == nullptr) {
        return;
    }
    if (IsStaticNumber(registry, number)) {
        if (void* storage = registry->Slots[number]; storage != nullptr) {
            std::memset(storage, 0, registry->ObjectSize);
        }
        return;
    }
    if (number < AnyNumber) {
        ListNode* node = FindDynamicNode(registry, number);
        if (node == nullptr) {
            return;
        }
        if (registry->IterCursor == node) {
            registry->IterCursor = node->Newer;
        }
        FreeListNode(&registry->DynamicList, StorageOf(node));
    }
}

void RegistryFirst(ObjectRegistry* registry) {
    if (registry == nullptr) {
        return;
    }
    registry->IterIndex = 0;
    ListNode* oldest = registry->DynamicList;
    while (oldest != nullptr && oldest->Older != nullptr) {
        oldest = oldest->Older;
    }
    registry->IterCursor = oldest;
}

RegistryObject RegistryNext(ObjectRegistry* registry) {
    if (registry == nullptr) {
        return {nullptr, 0};
    }
    while (registry->IterIndex < registry->Capacity) {
        const std::int32_t number = registry->IterIndex++;
        void* storage = registry->Slots[number];
        if (storage != nullptr && IsLive(storage)) {
            return {storage, number};
        }
    }
    if (ListNode* node = registry->IterCursor; node != nullptr) {
        registry->IterCursor = node->Newer;
        return {StorageOf(node), node->Identifier};
    }
    return {nullptr, 0};
}

void RegistryFreeAll(ObjectRegistry* registry) {
    if (registry == nullptr || registry->FreeCallback == nullptr) {
        return;
    }
    RegistryFirst(registry);
    for (RegistryObject object = RegistryNext(registry); object.Storage != nullptr;
         object = RegistryNext(registry)) {
        registry->FreeCallback(object.Number);
    }
}

void* NewListNode(ListNode** head, std::size_t elementSize) {
    if (elementSize > SIZE_MAX - NodeHeaderSize) {
        return nullptr;
    }
    auto* node =
        static_cast<ListNode*>(ToolkitAllocate(NodeHeaderSize + elementSize, os::Fill::Zero));
    if (node == nullptr) {
        return nullptr;
    }
    node->Older = *head;
    if (*head != nullptr) {
        (*head)->Newer = node;
    }
    *head = node;
    return StorageOf(node);
}

void FreeListNode(ListNode** head, void* element) {
    if (element == nullptr) {
        return;
    }
    ListNode* node = ListNodeOf(element);
    if (node->Newer != nullptr) {
        node->Newer->Older = node->Older;
    } else {
        *head = node->Older;
    }
    if (node->Older != nullptr) {
        node->Older->Newer = node->Newer;
    }
    ToolkitRelease(node);
}

void* ListNodeElement(ListNode* node) {
    return StorageOf(node);
}

ListNode* ListNodeOf(void* element) {
    return reinterpret_cast<ListNode*>(static_cast<std::byte*>(element) - NodeHeaderSize);
}

LibraryState CreateLibraryState(std::size_t size, void (*initialiser)(void* block)) {
    void* block = ToolkitAllocate(size, os::Fill::Zero);
    if (block != nullptr && initialiser != nullptr) {
        initialiser(block);
    }
    return block;
}

} // namespace rook
