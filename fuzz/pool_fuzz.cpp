// Random sequences of element pool operations (allocate, allocate many,
// free, clear) against a model of the pool's blocks: which block serves,
// which slot it hands out (freed slots last-freed-first, then untouched
// ones), when a block is made and how big, when it moves between the full
// and partial lists and when it is released. Every element is filled with
// its own byte while handed out, so that overlapping elements show.

#include "fuzz_check.h"
#include "runtime/element_pool.h"
#include "runtime/toolkit_heap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <list>
#include <vector>

namespace {

using Word = void*;

struct ModelBlock {
    rook::PoolBlock* Real;   // the block the pool made, from the first slot's word
    std::uint8_t* FirstSlot; // the element of slot 0
    std::int32_t Capacity;
    std::int32_t Used;
    std::vector<std::int32_t> FreeSlots; // the free list, head last
};

struct Element {
    std::uint8_t* Address;
    ModelBlock* Block;
    std::int32_t Slot;
    std::uint8_t Fill;
};

class PoolModel {
public:
    explicit PoolModel(FuzzedDataProvider& input) : input_(input) {
        elementSize_ = input_.ConsumeIntegralInRange<std::int32_t>(-4, 200);
        minimum_ = input_.ConsumeIntegralInRange<std::int32_t>(-2, 40);
        maximum_ = input_.ConsumeIntegralInRange<std::int32_t>(-2, 600);
        pool_ = rook::PoolCreate(elementSize_, minimum_, maximum_,
                                 input_.ConsumeIntegral<std::uint32_t>());
        minimum_ = std::max(minimum_, 1);
        maximum_ = std::max(maximum_, minimum_);
        slotSize_ = static_cast<std::int32_t>(
            (static_cast<std::size_t>(std::max(elementSize_, 0)) + 2 * sizeof(Word) - 1) /
            sizeof(Word) * sizeof(Word));
    }

    ~PoolModel() { rook::PoolDestroy(pool_); }
    PoolModel(const PoolModel&) = delete;
    PoolModel& operator=(const PoolModel&) = delete;

    void Run() {
        FUZZ_CHECK((pool_ != nullptr) == (elementSize_ >= 0));
        if (pool_ == nullptr) {
            return;
        }
        FUZZ_CHECK(pool_->SlotSize == slotSize_);
        for (int step = 0; step < 64 && input_.remaining_bytes() > 0; ++step) {
            Step();
            CheckLists();
        }
        for (const Element& element : elements_) {
            CheckIntact(element);
        }
    }

private:
    void Step() {
        switch (input_.ConsumeIntegralInRange(0, 7)) {
        case 0:
        case 1:
        case 2:
            Allocate();
            break;
        case 3: {
            const int count = input_.ConsumeIntegralInRange(1, 40);
            for (int i = 0; i < count; ++i) {
                Allocate();
            }
            break;
        }
        case 4:
        case 5:
        case 6:
            Free();
            break;
        default:
            rook::PoolClear(pool_);
            blocks_.clear();
            partial_.clear();
            full_.clear();
            elements_.clear();
            total_ = 0;
            break;
        }
    }

    std::uint8_t* AddressOf(const ModelBlock& block, std::int32_t slot) const {
        return block.FirstSlot + static_cast<std::ptrdiff_t>(slot) * slotSize_;
    }

    static Word WordOf(const std::uint8_t* element) {
        Word word;
        std::memcpy(&word, element - sizeof(Word), sizeof word);
        return word;
    }

    void Allocate() {
        auto* element = static_cast<std::uint8_t*>(rook::PoolAlloc(pool_));
        FUZZ_CHECK(element != nullptr);
        ModelBlock* block;
        std::int32_t slot;
        if (!partial_.empty()) {
            block = partial_.front();
            if (!block->FreeSlots.empty()) {
                slot = block->FreeSlots.back(); // the last one freed
                block->FreeSlots.pop_back();
            } else {
                slot = block->Used++;
            }
            FUZZ_CHECK(element == AddressOf(*block, slot));
            if (block->FreeSlots.empty() && block->Used >= block->Capacity) {
                partial_.erase(partial_.begin());
                full_.insert(full_.begin(), block);
            }
        } else {
            // A sixteenth of the total in steps of 16, within the limits.
            std::int32_t capacity = (total_ >> 4) & ~15;
            capacity = std::clamp(capacity, minimum_, maximum_);
            blocks_.push_back(
                {static_cast<rook::PoolBlock*>(WordOf(element)), element, capacity, 1, {}});
            block = &blocks_.back();
            slot = 0;
            total_ += capacity;
            auto& list = capacity > 1 ? partial_ : full_;
            list.insert(list.begin(), block);
        }
        FUZZ_CHECK(WordOf(element) == block->Real);
        const auto fill = static_cast<std::uint8_t>(++fills_);
        std::memset(element, fill, static_cast<std::size_t>(elementSize_));
        elements_.push_back({element, block, slot, fill});
    }

    void CheckIntact(const Element& element) const {
        FUZZ_CHECK(WordOf(element.Address) == element.Block->Real);
        const std::uint8_t fill = element.Fill;
        FUZZ_CHECK(std::all_of(element.Address, element.Address + elementSize_,
                               [fill](std::uint8_t byte) { return byte == fill; }));
    }

    void Free() {
        if (elements_.empty()) {
            return;
        }
        const auto index = input_.ConsumeIntegralInRange<std::size_t>(0, elements_.size() - 1);
        const Element element = elements_[index];
        elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(index));
        CheckIntact(element);
        rook::PoolFree(pool_, element.Address);

        ModelBlock* block = element.Block;
        block->FreeSlots.push_back(element.Slot);
        const auto freeCount = static_cast<std::int32_t>(block->FreeSlots.size());
        if (freeCount == block->Used) {
            // Every element the block handed out is back: it goes.
            Remove(partial_, block);
            Remove(full_, block);
            total_ -= block->Capacity;
            blocks_.remove_if([block](const ModelBlock& b) { return &b == block; });
        } else if (freeCount == 1 && block->Used >= block->Capacity) {
            Remove(full_, block);
            partial_.insert(partial_.begin(), block);
        }
    }

    static void Remove(std::vector<ModelBlock*>& list, ModelBlock* block) {
        list.erase(std::remove(list.begin(), list.end(), block), list.end());
    }

    // The pool's lists hold the model's blocks in the model's order, with
    // the model's counts.
    void CheckList(const rook::PoolBlock* real, const std::vector<ModelBlock*>& model) const {
        const rook::PoolBlock* previous = nullptr;
        for (const ModelBlock* block : model) {
            FUZZ_CHECK(real == block->Real);
            FUZZ_CHECK(real->Previous == previous);
            FUZZ_CHECK(real->Capacity == block->Capacity);
            FUZZ_CHECK(real->Used == block->Used);
            FUZZ_CHECK(real->FreeCount == static_cast<std::int32_t>(block->FreeSlots.size()));
            previous = real;
            real = real->Next;
        }
        FUZZ_CHECK(real == nullptr);
    }

    void CheckLists() const {
        FUZZ_CHECK(pool_->Total == total_);
        CheckList(pool_->PartialBlocks, partial_);
        CheckList(pool_->FullBlocks, full_);
    }

    FuzzedDataProvider& input_;
    std::int32_t elementSize_;
    std::int32_t minimum_;
    std::int32_t maximum_;
    std::int32_t slotSize_;
    rook::ElementPool* pool_;
    std::list<ModelBlock> blocks_;     // stable addresses for the lists below
    std::vector<ModelBlock*> partial_; // head first
    std::vector<ModelBlock*> full_;    // head first
    std::vector<Element> elements_;
    std::int32_t total_ = 0;
    std::uint32_t fills_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FUZZ_CHECK(rook::CreateToolkitHeap());
    {
        FuzzedDataProvider input(data, size);
        PoolModel(input).Run();
    }
    rook::DestroyToolkitHeap();
    return 0;
}
