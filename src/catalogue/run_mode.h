#pragma once

namespace tq {

// A scan-card run scans the card's channels; a main-unit run reads CH1
// through the meter's own input. The range lists, the command lines and
// the plot all follow it.
enum class RunMode { ScanCard, MainUnit };

}  // namespace tq
