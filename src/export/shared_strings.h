#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "export/biff_records.h"

namespace tq::xls {

// The workbook's shared string table (SST) and its index (EXTSST). Texts come
// in as UTF-8; a text whose characters all fit Latin-1 is stored one byte per
// character, any other as UTF-16LE.
class SharedStrings {
  public:
    // Index of the text in the table; equal texts share one entry.
    std::uint32_t add(std::string_view utf8);

    // SST (with CONTINUE records as needed) and EXTSST, at the writer's end.
    void write(RecordWriter& w) const;

  private:
    struct Entry {
        std::vector<std::uint16_t> units;  // UTF-16 code units
        bool wide = false;                 // any unit above 0xFF
    };
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::uint32_t> index_;
    std::uint32_t uses_ = 0;
};

// UTF-8 to UTF-16 code units; malformed sequences become U+FFFD. Exposed for
// tests.
std::vector<std::uint16_t> utf16Units(std::string_view utf8);

}  // namespace tq::xls
