// Random sequences of registry operations (create with static numbers and
// AnyNumber, lookup, free, iterate with and without freeing on the way,
// free-all) against a model of live numbers in a std::map and dynamic
// objects in creation order. Every object carries a tag in its storage, so
// that a lookup returning the wrong object, or storage not zero-filled when
// new, shows.

#include "fuzz_check.h"
#include "runtime/object_registry.h"
#include "runtime/toolkit_heap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <vector>

namespace {

// An object as the model knows it.
struct Known {
    std::uint32_t Tag; // 0 while the object is allocated but dead
    void* Storage;
};

class RegistryModel;
RegistryModel* current = nullptr;

// Dynamic identifiers come from one count for the whole process, so the
// model follows it across inputs.
std::int64_t lastIdentifier = 0; // 0: none handed out yet

std::uint32_t TagOf(const void* storage) {
    std::uint32_t tag;
    std::memcpy(&tag, storage, sizeof tag);
    return tag;
}

void SetTag(void* storage, std::uint32_t tag) {
    std::memcpy(storage, &tag, sizeof tag);
}

class RegistryModel {
public:
    explicit RegistryModel(FuzzedDataProvider& input) : input_(input) {
        objectSize_ = input_.ConsumeIntegralInRange<std::uint32_t>(0, 64);
        growthStep_ = input_.ConsumeIntegralInRange<std::int32_t>(-1, 40);
        registry_ = rook::RegistryCreate(objectSize_, growthStep_, FreeCallback);
        capacity_ = growthStep_;
        current = this;
    }

    ~RegistryModel() { current = nullptr; }
    RegistryModel(const RegistryModel&) = delete;
    RegistryModel& operator=(const RegistryModel&) = delete;

    void Run() {
        const bool valid = objectSize_ >= sizeof(std::uint32_t) && growthStep_ >= 1;
        FUZZ_CHECK((registry_ != nullptr) == valid);
        if (registry_ == nullptr) {
            return;
        }
        for (int step = 0; step < 200 && input_.remaining_bytes() > 0; ++step) {
            Step();
        }
        FreeAll();
    }

    // A kind's free operation: releases a live object, does nothing for a
    // number that names none.
    static void FreeCallback(std::int32_t number) { current->Freed(number); }

private:
    void Freed(std::int32_t number) {
        callbacks_.push_back(number);
        if (rook::RegistryLookup(registry_, number) == nullptr) {
            return;
        }
        rook::RegistryFree(registry_, number);
    }

    // A static number: mostly small, sometimes below -1 or so large that
    // the slot table would leave the 32-bit range (numbers just inside it
    // would ask for gigabytes, which is not what this checks).
    std::int32_t StaticNumber() {
        if (input_.ConsumeIntegralInRange(0, 15) == 0) {
            return input_.PickValueInArray(
                {INT_MIN, -1000, -2, INT_MAX - growthStep_ + 1, INT_MAX});
        }
        return input_.ConsumeIntegralInRange<std::int32_t>(0, 150);
    }

    // A number to look up or free: a static one, a dynamic identifier of
    // this registry (live or freed), or some other negative number.
    std::int32_t AnyKnownNumber() {
        switch (input_.ConsumeIntegralInRange(0, 3)) {
        case 0:
            if (!handedOut_.empty()) {
                return handedOut_[input_.ConsumeIntegralInRange<std::size_t>(0, handedOut_.size() -
                                                                                    1)];
            }
            [[fallthrough]];
        case 1:
            return input_.ConsumeIntegralInRange<std::int32_t>(INT_MIN, -1);
        default:
            return StaticNumber();
        }
    }

    void Create() {
        const bool dynamic = input_.ConsumeBool();
        const std::int32_t number = dynamic ? rook::AnyNumber : StaticNumber();
        callbacks_.clear();
        const rook::RegistryObject object = rook::RegistryGetOrCreate(registry_, number);
        if (dynamic) {
            CreatedDynamic(object);
        } else {
            CreatedStatic(number, object);
        }
        // The creating operation makes the object live, unless its platform
        // resource failed.
        if (object.Storage != nullptr && input_.ConsumeIntegralInRange(0, 7) != 0) {
            const std::uint32_t tag = ++tags_;
            SetTag(object.Storage, tag);
            (dynamic ? dynamic_.back().Tag : static_[number].Tag) = tag;
        }
    }

    void CreatedDynamic(const rook::RegistryObject& object) {
        if (lastIdentifier == INT_MIN) {
            FUZZ_CHECK(object.Storage == nullptr); // the identifiers have run out
            return;
        }
        FUZZ_CHECK(object.Storage != nullptr);
        FUZZ_CHECK(object.Number < -1);
        FUZZ_CHECK(lastIdentifier == 0 || object.Number == lastIdentifier - 1);
        lastIdentifier = object.Number;
        ExpectZeroed(object.Storage);
        dynamic_.push_back({0, object.Storage});
        dynamicNumbers_.push_back(object.Number);
        handedOut_.push_back(object.Number);
    }

    void CreatedStatic(std::int32_t number, const rook::RegistryObject& object) {
        if (number < 0 || (number >= capacity_ && std::int64_t{number} + growthStep_ > INT_MAX)) {
            FUZZ_CHECK(object.Storage == nullptr);
            FUZZ_CHECK(callbacks_.empty());
            return;
        }
        FUZZ_CHECK(object.Storage != nullptr && object.Number == number);
        if (number >= capacity_) {
            capacity_ = number + growthStep_;
        }
        const auto known = static_.find(number);
        if (known == static_.end()) {
            FUZZ_CHECK(callbacks_.empty());
            static_[number] = {0, object.Storage};
        } else {
            // Reopening a number first closes what had it, live or not, and
            // the storage stays the same.
            FUZZ_CHECK(callbacks_ == std::vector<std::int32_t>{number});
            FUZZ_CHECK(object.Storage == known->second.Storage);
            known->second.Tag = 0;
        }
        ExpectZeroed(object.Storage);
    }

    void ExpectZeroed(const void* storage) const {
        const auto* bytes = static_cast<const std::uint8_t*>(storage);
        FUZZ_CHECK(std::all_of(bytes, bytes + objectSize_, [](std::uint8_t b) { return b == 0; }));
    }

    // The model's object of a number or identifier, or null.
    Known* Find(std::int32_t number) {
        if (number >= 0) {
            const auto known = static_.find(number);
            return known != static_.end() ? &known->second : nullptr;
        }
        const auto at = std::find(dynamicNumbers_.begin(), dynamicNumbers_.end(), number);
        return at != dynamicNumbers_.end()
                   ? &dynamic_[static_cast<std::size_t>(at - dynamicNumbers_.begin())]
                   : nullptr;
    }

    void Lookup() {
        const std::int32_t number = AnyKnownNumber();
        const Known* known = Find(number);
        void* found = rook::RegistryLookup(registry_, number);
        if (known == nullptr || known->Tag == 0) {
            FUZZ_CHECK(found == nullptr);
            return;
        }
        FUZZ_CHECK(found == known->Storage);
        FUZZ_CHECK(TagOf(found) == known->Tag);
    }

    void Free(std::int32_t number) {
        rook::RegistryFree(registry_, number);
        if (number >= 0) {
            if (Known* known = Find(number); known != nullptr) {
                known->Tag = 0;
                ExpectZeroed(known->Storage);
            }
            return;
        }
        const auto at = std::find(dynamicNumbers_.begin(), dynamicNumbers_.end(), number);
        if (at != dynamicNumbers_.end()) {
            dynamic_.erase(dynamic_.begin() + (at - dynamicNumbers_.begin()));
            dynamicNumbers_.erase(at);
        }
    }

    // What an iteration must yield: live static numbers ascending, then
    // every dynamic object, live or not, oldest first.
    std::vector<std::int32_t> IterationOrder() const {
        std::vector<std::int32_t> order;
        for (const auto& [number, known] : static_) {
            if (known.Tag != 0) {
                order.push_back(number);
            }
        }
        order.insert(order.end(), dynamicNumbers_.begin(), dynamicNumbers_.end());
        return order;
    }

    // Iterates, checking each object, and frees some of them on the way.
    void Iterate() {
        const std::vector<std::int32_t> expected = IterationOrder();
        std::vector<std::int32_t> seen;
        rook::RegistryFirst(registry_);
        for (rook::RegistryObject object = rook::RegistryNext(registry_); object.Storage != nullptr;
             object = rook::RegistryNext(registry_)) {
            FUZZ_CHECK(seen.size() < expected.size());
            seen.push_back(object.Number);
            const Known* known = Find(object.Number);
            FUZZ_CHECK(known != nullptr && known->Storage == object.Storage);
            if (input_.ConsumeIntegralInRange(0, 3) == 0) {
                Free(object.Number);
            }
        }
        FUZZ_CHECK(seen == expected);
    }

    void FreeAll() {
        const std::vector<std::int32_t> expected = IterationOrder();
        callbacks_.clear();
        rook::RegistryFreeAll(registry_);
        FUZZ_CHECK(callbacks_ == expected);
        for (auto& [number, known] : static_) {
            known.Tag = 0;
        }
        // The callback frees only live dynamic objects; dead ones stay.
        for (std::size_t index = dynamic_.size(); index-- > 0;) {
            if (dynamic_[index].Tag != 0) {
                dynamic_.erase(dynamic_.begin() + static_cast<std::ptrdiff_t>(index));
                dynamicNumbers_.erase(dynamicNumbers_.begin() + static_cast<std::ptrdiff_t>(index));
            }
        }
        FUZZ_CHECK(IterationOrder() == dynamicNumbers_);
    }

    void Step() {
        switch (input_.ConsumeIntegralInRange(0, 5)) {
        case 0:
        case 1:
            Create();
            break;
        case 2:
            Lookup();
            break;
        case 3:
            Free(AnyKnownNumber());
            break;
        case 4:
            Iterate();
            break;
        default:
            FreeAll();
            break;
        }
    }

    FuzzedDataProvider& input_;
    std::uint32_t objectSize_;
    std::int32_t growthStep_;
    std::int32_t capacity_;
    rook::ObjectRegistry* registry_;
    std::map<std::int32_t, Known> static_;
    std::vector<Known> dynamic_;               // oldest first
    std::vector<std::int32_t> dynamicNumbers_; // their identifiers
    std::vector<std::int32_t> handedOut_;      // every identifier ever given
    std::vector<std::int32_t> callbacks_;
    std::uint32_t tags_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A heap of its own for every input: registries live until their heap
    // goes, and this releases them with all they hold.
    FUZZ_CHECK(rook::CreateToolkitHeap());
    {
        FuzzedDataProvider input(data, size);
        RegistryModel(input).Run();
    }
    rook::DestroyToolkitHeap();
    return 0;
}
