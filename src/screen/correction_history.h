#pragma once
// The history of corrections, so that they can be taken back and done
// again. Correcting a cell is its own inverse, so a step is kept as the
// cells it corrected, two bytes each, and taken back by correcting them
// again: a click is one cell, Correct All Cells up to all 768. The history
// lives in one fixed block of 512 KiB and holds the latest 262,144 cells;
// when it is full the oldest steps make room.

#include <cstdint>

namespace inkswap {

inline constexpr std::int32_t HistoryCapacity = 1 << 18; // cells

struct CorrectionHistory {
    // A ring of cells by entry number modulo the capacity; the last cell of
    // each step carries StepEnd.
    std::uint16_t Cells[HistoryCapacity];
    std::uint64_t Oldest; // entry numbers: the first kept,
    std::uint64_t Done;   // the end of the steps done (undo takes back before it),
    std::uint64_t End;    // the end of the steps that can be done again
};

// Forgets every step: a newly loaded picture starts a new history.
void ClearHistory(CorrectionHistory& history);

// Records a step of count cells (linear indices 0..767) corrected
// together. What could have been done again is forgotten. No cells, or
// more than 768, record nothing.
void RecordStep(CorrectionHistory& history, const std::uint16_t* cells, std::int32_t count);

bool CanUndo(const CorrectionHistory& history);
bool CanRedo(const CorrectionHistory& history);

// Takes the last step done back on the screen, every byte as before it;
// false when there is none.
bool UndoStep(CorrectionHistory& history, void* screen);

// Does the step last taken back again; false when there is none.
bool RedoStep(CorrectionHistory& history, void* screen);

} // namespace inkswap
