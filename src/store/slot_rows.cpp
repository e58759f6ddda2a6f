#include "store/slot_rows.h"

#include <algorithm>

#include "common/number_text.h"

namespace tq {

std::int32_t CurrentRow(std::int32_t PointIndex, double N) {
    const double slot = N >= PointIndex ? PointIndex : N + 1;
    // Points per screen never exceed the store's screen rows.
    return static_cast<std::int32_t>(RecordStore::kSlotRowBase +
                                     std::clamp(slot, 0.0, kScreenSlots + 1.0));
}

std::optional<std::int32_t> slotRowInStore(double slot) {
    const std::optional<std::int32_t> row = toInt32(RecordStore::kSlotRowBase + slot);
    if (!row || !RecordStore::rowInRange(*row)) {
        return std::nullopt;
    }
    return row;
}

}  // namespace tq
