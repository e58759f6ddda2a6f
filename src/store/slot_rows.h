#pragma once

#include <cstdint>
#include <optional>

#include "store/record_store.h"

// The screen's slots in the record: slot s (1-based) lives in row
// 10000 + s, and the points of a run fill them from slot 1.
namespace tq {

// Slots the store's screen rows hold (the last row stays outside).
inline constexpr std::int32_t kScreenSlots = RecordStore::kLastRow - RecordStore::kSlotRowBase - 1;

constexpr int slotRow(int slot) {
    return RecordStore::kSlotRowBase + slot;
}

// Store row of a slot that can be any number (a slot typed by hand): the
// nearest row, halves to even; none outside the store.
std::optional<std::int32_t> slotRowInStore(double slot);

// Store row of the current point: the point's own slot until the screen is
// full, then the last slot (N + 1) on the right edge.
std::int32_t CurrentRow(std::int32_t PointIndex, double N);

}  // namespace tq
