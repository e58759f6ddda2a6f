#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The exported workbook: one worksheet, a row of header texts, then rows of
// numbers, as BIFF8 records in a compound file (an Excel 97-2003 .xls).
namespace tq::xls {

// Time, ten channels and the math value.
inline constexpr std::size_t kDataColumns = 12;
// An empty cell stands for a value the record store does not have; NaN and
// infinities, which a worksheet cannot hold, are written as empty cells too.
using WorkbookRow = std::array<std::optional<double>, kDataColumns>;
// Supplies data row r (0-based, below the header) while the sheet is written,
// so the caller can read its store without copying it first.
using RowSource = std::function<WorkbookRow(std::size_t r)>;

// A worksheet holds 65536 rows (the header is one) and 256 columns.
inline constexpr std::size_t kMaxDataRows = 65535;
inline constexpr std::size_t kMaxColumns = 256;

// The BIFF8 "Workbook" stream. header: UTF-8 texts for row 1. Throws
// std::length_error past the sheet limits.
std::vector<std::uint8_t> buildWorkbookStream(const std::vector<std::string>& header,
                                              std::size_t rowCount, const RowSource& rowAt);

// The complete .xls file: the stream inside a compound file.
std::vector<std::uint8_t> buildWorkbook(const std::vector<std::string>& header,
                                        std::size_t rowCount, const RowSource& rowAt);
std::vector<std::uint8_t> buildWorkbook(const std::vector<std::string>& header,
                                        const std::vector<WorkbookRow>& rows);

}  // namespace tq::xls
