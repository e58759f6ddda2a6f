#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tq::sim::scpi {

// Whether typed header nodes name a command written in the SCPI manual
// notation: "[SENSe:]VOLTage[:DC]:RANGe" (bracketed nodes may be left out,
// each node in its short or long form) or a common header "*IDN".
bool headerMatches(std::string_view pattern, const std::vector<std::string>& nodes);

}  // namespace tq::sim::scpi
