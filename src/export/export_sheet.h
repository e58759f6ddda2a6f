#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "export/biff_workbook.h"

namespace tq::xls {

// Row 1 of the exported sheet: "Time(Sec)"; for channel j = 1..10 a blank,
// j and the channel's function text (" 1DCV", " 10Frequency"); "Math".
std::vector<std::string> workbookHeader(const std::array<std::string, 10>& functionTexts);

// The workbook of a run, whoever holds it (the record store, a journal):
// the header from the ten channel rows' function texts, then data row r
// (point r + 1: its time, CH1..CH10, math) from rowAt, for at most
// kMaxDataRows rows.
std::vector<std::uint8_t> runWorkbook(const std::array<std::string, 10>& functionTexts,
                                      std::size_t rowCount, const RowSource& rowAt);

}  // namespace tq::xls
