#include "runtime/object_registry.h"

#include "runtime/toolkit_heap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

using rook::AnyNumber;
using rook::ObjectRegistry;
using rook::RegistryObject;

struct Thing {
    std::uint32_t Live;
    std::int32_t Value;
};

// The registry under test and what its free callback was called with. The
// callback releases the object the way a kind's free operation does.
ObjectRegistry* registry = nullptr;
std::vector<std::int32_t> freed;

void FreeThing(std::int32_t number) {
    if (rook::RegistryLookup(registry, number) == nullptr) {
        return;
    }
    freed.push_back(number);
    rook::RegistryFree(registry, number);
}

// Registries live as long as the process; a test gives everything of its
// own back to the ToolkitHeap, so that the leak check at its end sees
// anything the registry itself lost.
void ReleaseRegistry(ObjectRegistry* released) {
    while (released->DynamicList != nullptr) {
        rook::FreeListNode(&released->DynamicList, rook::ListNodeElement(released->DynamicList));
    }
    for (std::int32_t number = 0; number < released->Capacity; ++number) {
        rook::ToolkitRelease(released->Slots[number]);
    }
    rook::ToolkitRelease(released->Slots);
    rook::ToolkitRelease(released);
}

Thing* MakeLive(std::int32_t number, std::int32_t value = 0) {
    const RegistryObject object = rook::RegistryGetOrCreate(registry, number);
    auto* thing = static_cast<Thing*>(object.Storage);
    if (thing != nullptr) {
        thing->Live = 1;
        thing->Value = value;
    }
    return thing;
}

std::vector<std::int32_t> IterationOrder() {
    std::vector<std::int32_t> numbers;
    rook::RegistryFirst(registry);
    for (RegistryObject object = rook::RegistryNext(registry); object.Storage != nullptr;
         object = rook::RegistryNext(registry)) {
        numbers.push_back(object.Number);
    }
    return numbers;
}

class ObjectRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        registry = rook::RegistryCreate(sizeof(Thing), 16, FreeThing);
        ASSERT_NE(registry, nullptr);
        freed.clear();
    }

    void TearDown() override {
        ReleaseRegistry(registry);
        registry = nullptr;
    }
};

TEST_F(ObjectRegistryTest, NewRegistryHasOneGrowthStepOfEmptySlots) {
    EXPECT_EQ(registry->ObjectSize, sizeof(Thing));
    EXPECT_EQ(registry->GrowthStep, 16);
    EXPECT_EQ(registry->Capacity, 16);
    EXPECT_EQ(registry->DynamicList, nullptr);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(registry->Slots[i], nullptr);
    }
}

TEST_F(ObjectRegistryTest, TableGrowsToTheNumberPlusAGrowthStepKeepingOldStorage) {
    Thing* five = MakeLive(5, 55);
    EXPECT_EQ(registry->Capacity, 16);
    Thing* twenty = MakeLive(20, 20);
    ASSERT_NE(twenty, nullptr);
    EXPECT_EQ(registry->Capacity, 36);
    EXPECT_EQ(rook::RegistryLookup(registry, 5), five);
    EXPECT_EQ(five->Value, 55);
    for (int i = 0; i < 36; ++i) {
        if (i != 5 && i != 20) {
            EXPECT_EQ(registry->Slots[i], nullptr) << i;
        }
    }
}

TEST_F(ObjectRegistryTest, NewStorageIsZeroAndOnlyLiveObjectsAreFound) {
    const RegistryObject object = rook::RegistryGetOrCreate(registry, 3);
    ASSERT_NE(object.Storage, nullptr);
    EXPECT_EQ(object.Number, 3);
    const auto* thing = static_cast<Thing*>(object.Storage);
    EXPECT_EQ(thing->Live, 0u);
    EXPECT_EQ(thing->Value, 0);
    EXPECT_EQ(rook::RegistryLookup(registry, 3), nullptr) << "allocated but not yet live";
    MakeLive(3);
    EXPECT_EQ(rook::RegistryLookup(registry, 3), object.Storage);
}

TEST_F(ObjectRegistryTest, FreedNumberIsDeadAndGetsTheSameStorageBackZeroed) {
    Thing* thing = MakeLive(7, 77);
    rook::RegistryFree(registry, 7);
    EXPECT_EQ(rook::RegistryLookup(registry, 7), nullptr);
    const RegistryObject again = rook::RegistryGetOrCreate(registry, 7);
    EXPECT_EQ(again.Storage, thing);
    EXPECT_EQ(thing->Live, 0u);
    EXPECT_EQ(thing->Value, 0);
}

TEST_F(ObjectRegistryTest, ReopeningALiveNumberFreesItFirst) {
    rook::RegistryGetOrCreate(registry, 2);
    EXPECT_TRUE(freed.empty()) << "never-used number: no callback";
    MakeLive(2, 22);
    Thing* again = static_cast<Thing*>(rook::RegistryGetOrCreate(registry, 2).Storage);
    EXPECT_EQ(freed, std::vector<std::int32_t>{2});
    EXPECT_EQ(again->Live, 0u) << "the old object was released and cleared";
}

TEST_F(ObjectRegistryTest, DynamicObjectsHaveIdentifiersNoStaticNumberReaches) {
    const RegistryObject a = rook::RegistryGetOrCreate(registry, AnyNumber);
    const RegistryObject b = rook::RegistryGetOrCreate(registry, AnyNumber);
    ASSERT_NE(a.Storage, nullptr);
    ASSERT_NE(b.Storage, nullptr);
    EXPECT_LT(a.Number, AnyNumber);
    EXPECT_LT(b.Number, AnyNumber);
    EXPECT_NE(a.Number, b.Number);
    EXPECT_EQ(registry->Capacity, 16) << "dynamic objects take no slots";

    EXPECT_EQ(rook::RegistryLookup(registry, a.Number), nullptr) << "not live yet";
    static_cast<Thing*>(a.Storage)->Live = 1;
    EXPECT_EQ(rook::RegistryLookup(registry, a.Number), a.Storage);

    rook::RegistryFree(registry, a.Number);
    EXPECT_EQ(rook::RegistryLookup(registry, a.Number), nullptr);
    EXPECT_EQ(registry->DynamicList, rook::ListNodeOf(b.Storage));
    rook::RegistryFree(registry, b.Number);
    EXPECT_EQ(registry->DynamicList, nullptr);
}

TEST_F(ObjectRegistryTest, NumbersThatNameNothingAreFoundNowhere) {
    MakeLive(0);
    const std::int32_t numbers[] = {-1, -5, 16, 1000, INT_MAX, INT_MIN};
    for (std::int32_t number : numbers) {
        EXPECT_EQ(rook::RegistryLookup(registry, number), nullptr) << number;
        rook::RegistryFree(registry, number); // does nothing
    }
    EXPECT_NE(rook::RegistryLookup(registry, 0), nullptr);
    EXPECT_EQ(rook::RegistryGetOrCreate(registry, -2).Storage, nullptr);
    EXPECT_EQ(rook::RegistryGetOrCreate(registry, INT_MIN).Storage, nullptr);
}

TEST_F(ObjectRegistryTest, NumbersNearTheTopOfTheRangeFailInsteadOfOverflowing) {
    for (std::int32_t number : {INT_MAX, INT_MAX - 15}) {
        EXPECT_EQ(rook::RegistryGetOrCreate(registry, number).Storage, nullptr) << number;
    }
    EXPECT_EQ(registry->Capacity, 16);
    ASSERT_NE(MakeLive(4), nullptr) << "the registry still works";
}

TEST_F(ObjectRegistryTest, IterationGivesLiveStaticNumbersAscendingThenDynamicOldestFirst) {
    const std::int32_t a = rook::RegistryGetOrCreate(registry, AnyNumber).Number;
    MakeLive(3);
    const std::int32_t b = rook::RegistryGetOrCreate(registry, AnyNumber).Number;
    MakeLive(1);
    rook::RegistryGetOrCreate(registry, 2); // storage, never made live: skipped
    EXPECT_EQ(IterationOrder(), (std::vector<std::int32_t>{1, 3, a, b}));
}

TEST_F(ObjectRegistryTest, FreeAllReleasesEveryObjectInIterationOrder) {
    Thing* a = static_cast<Thing*>(rook::RegistryGetOrCreate(registry, AnyNumber).Storage);
    a->Live = 1;
    MakeLive(9);
    MakeLive(0);
    rook::RegistryFreeAll(registry);
    ASSERT_EQ(freed.size(), 3u);
    EXPECT_EQ(freed[0], 0);
    EXPECT_EQ(freed[1], 9);
    EXPECT_LT(freed[2], AnyNumber);
    EXPECT_EQ(registry->DynamicList, nullptr);
    EXPECT_EQ(rook::RegistryLookup(registry, 0), nullptr);
    EXPECT_EQ(rook::RegistryLookup(registry, 9), nullptr);
    EXPECT_TRUE(IterationOrder().empty());
}

TEST(ObjectRegistryWithoutCallback, FreeAllDoesNothing) {
    ObjectRegistry* plain = rook::RegistryCreate(sizeof(Thing), 4, nullptr);
    auto* thing = static_cast<Thing*>(rook::RegistryGetOrCreate(plain, 1).Storage);
    thing->Live = 1;
    rook::RegistryFreeAll(plain);
    EXPECT_EQ(rook::RegistryLookup(plain, 1), thing);
    ReleaseRegistry(plain);
}

TEST(ObjectRegistryCreation, RefusesSizesThatCannotHoldTheLiveMarker) {
    EXPECT_EQ(rook::RegistryCreate(2, 16, nullptr), nullptr);
    EXPECT_EQ(rook::RegistryCreate(sizeof(Thing), 0, nullptr), nullptr);
}

TEST(ListNodes, UnlinkFromHeadMiddleAndTail) {
    rook::ListNode* head = nullptr;
    auto* oldest = static_cast<int*>(rook::NewListNode(&head, sizeof(int)));
    auto* middle = static_cast<int*>(rook::NewListNode(&head, sizeof(int)));
    auto* newest = static_cast<int*>(rook::NewListNode(&head, sizeof(int)));
    ASSERT_NE(oldest, nullptr);
    EXPECT_EQ(*oldest, 0);
    EXPECT_EQ(head, rook::ListNodeOf(newest));
    EXPECT_EQ(head->Older, rook::ListNodeOf(middle));
    EXPECT_EQ(head->Older->Older, rook::ListNodeOf(oldest));

    rook::FreeListNode(&head, middle);
    EXPECT_EQ(head->Older, rook::ListNodeOf(oldest));
    EXPECT_EQ(rook::ListNodeOf(oldest)->Newer, head);
    rook::FreeListNode(&head, newest);
    EXPECT_EQ(head, rook::ListNodeOf(oldest));
    EXPECT_EQ(head->Newer, nullptr);
    rook::FreeListNode(&head, oldest);
    EXPECT_EQ(head, nullptr);
}

TEST(LibraryStates, BlockIsZeroFilledAndInitialised) {
    struct State {
        std::int32_t Counter;
        std::int32_t Other;
    };
    const rook::LibraryState state = rook::CreateLibraryState(
        sizeof(State), [](void* block) { static_cast<State*>(block)->Counter = 42; });
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(rook::GetLibraryState<State>(state)->Counter, 42);
    EXPECT_EQ(rook::GetLibraryState<State>(state)->Other, 0);
    const rook::LibraryState plain = rook::CreateLibraryState(8, nullptr);
    EXPECT_NE(plain, nullptr);
    rook::ToolkitRelease(plain);
    rook::ToolkitRelease(state);
}

} // namespace
