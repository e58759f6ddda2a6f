#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A minimal, strict reader of what the workbook writer produces, written
// apart from it so a fuzzer can check the writer's output: the compound
// file's FAT chains and directory, then the BIFF8 records of one worksheet
// (SST with CONTINUE, LABELSST, NUMBER, BLANK). Anything outside the rules
// Excel holds a file to throws ReadError.
namespace tq::fuzz::xls {

struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The named stream's bytes, as long as its directory entry says.
std::vector<std::uint8_t> compoundStream(std::span<const std::uint8_t> file,
                                         std::u16string_view name);

struct Cell {
    enum class Kind { Text, Number, Blank };
    Kind kind = Kind::Blank;
    std::uint32_t string = 0;  // Text: index into Workbook::strings, checked
    std::uint64_t bits = 0;    // Number: the IEEE double as stored
};

struct Workbook {
    std::uint32_t stringUses = 0;  // SST's count of LABELSST cells
    std::vector<std::u16string> strings;
    std::uint32_t dimensionRows = 0;     // last row + 1
    std::uint16_t dimensionColumns = 0;  // last column + 1
    // (row, column) and the cell, in row-major order.
    std::vector<std::pair<std::pair<std::uint32_t, std::uint32_t>, Cell>> cells;
};

Workbook readWorkbook(std::span<const std::uint8_t> stream);

}  // namespace tq::fuzz::xls
