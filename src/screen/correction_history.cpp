#include "screen/correction_history.h"

#include "screen/screen_image.h"

namespace inkswap {

namespace {

constexpr std::uint16_t StepEnd = 0x8000;
constexpr std::uint16_t CellBits = 0x3FF;

std::uint16_t& At(CorrectionHistory& history, std::uint64_t entry) {
    return history.Cells[entry % HistoryCapacity];
}

bool EndsStep(CorrectionHistory& history, std::uint64_t entry) {
    return (At(history, entry) & StepEnd) != 0;
}

// Forgets the oldest step.
void DropOldestStep(CorrectionHistory& history) {
    while (history.Oldest < history.Done) {
        if (EndsStep(history, history.Oldest++)) {
            return;
        }
    }
}

// Corrects the cells of entries [first, end) again.
void CorrectEntries(CorrectionHistory& history, std::uint64_t first, std::uint64_t end,
                    void* screen) {
    for (std::uint64_t entry = first; entry < end; ++entry) {
        const std::int32_t cell = At(history, entry) & CellBits;
        CorrectCell(screen, cell % ScreenColumns, cell / ScreenColumns);
    }
}

} // namespace

void ClearHistory(CorrectionHistory& history) {
    history.Oldest = 0;
    history.Done = 0;
    history.End = 0;
}

void RecordStep(CorrectionHistory& history, const std::uint16_t* cells, std::int32_t count) {
    if (count < 1 || count > CellCount) {
        return;
    }
    history.End = history.Done;
    while (history.End + static_cast<std::uint64_t>(count) - history.Oldest > HistoryCapacity) {
        DropOldestStep(history);
    }
    for (std::int32_t i = 0; i < count; ++i) {
        At(history, history.End++) = cells[i] & CellBits;
    }
    At(history, history.End - 1) |= StepEnd;
    history.Done = history.End;
}

bool CanUndo(const CorrectionHistory& history) {
    return history.Done > history.Oldest;
}

bool CanRedo(const CorrectionHistory& history) {
    return history.End > history.Done;
}

bool UndoStep(CorrectionHistory& history, void* screen) {
    if (!CanUndo(history)) {
        return false;
    }
    std::uint64_t first = history.Done - 1;
    while (first > history.Oldest && !EndsStep(history, first - 1)) {
        --first;
    }
    CorrectEntries(history, first, history.Done, screen);
    history.Done = first;
    return true;
}

bool RedoStep(CorrectionHistory& history, void* screen) {
    if (!CanRedo(history)) {
        return false;
    }
    std::uint64_t end = history.Done;
    while (!EndsStep(history, end)) {
        ++end;
    }
    ++end;
    CorrectEntries(history, history.Done, end, screen);
    history.Done = end;
    return true;
}

} // namespace inkswap
