#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tq::xls {

// Row 1 of the exported sheet: "Time(Sec)"; for channel j = 1..10 a blank,
// j and the channel's function text (" 1DCV", " 10Frequency"); "Math".
std::vector<std::string> workbookHeader(const std::array<std::string, 10>& functionTexts);

}  // namespace tq::xls
