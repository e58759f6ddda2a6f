#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tq::xls {

// Row 1 of the exported sheet: "Time(Sec)"; for channel j = 1..10 a blank,
// j and the channel's function text (" 1DCV", " 10Frequency"); "Math".
std::vector<std::string> workbookHeader(const std::array<std::string, 10>& functionTexts);

// Store row of the first exported point. The screen keeps slot k in row
// 10000 + k and shifts older points down once it is full, so with N points
// per screen and point P at the right edge the run starts at row 10001, or
// 10002 + N - P when P > N + 1. Wide arithmetic: N and P may be typed by hand,
// and the caller checks every resulting row against the store's bounds.
std::int64_t firstExportStoreRow(std::int64_t pointsPerScreen, std::int64_t shownPoint);

}  // namespace tq::xls
