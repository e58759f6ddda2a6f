#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tq::xls {

// Appends little-endian integers to a byte buffer. Both file formats of the
// workbook (the compound file and the BIFF8 records inside it) are
// little-endian whatever the host is, so the bytes are composed by shifts.
class LittleEndianWriter {
  public:
    explicit LittleEndianWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void u8(std::uint8_t v) { out_.push_back(v); }
    void u16(std::uint16_t v) {
        out_.push_back(static_cast<std::uint8_t>(v));
        out_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
    void u64(std::uint64_t v) {
        u32(static_cast<std::uint32_t>(v));
        u32(static_cast<std::uint32_t>(v >> 32));
    }
    // IEEE 754 binary64, bit for bit (sign of zero, subnormals and all).
    void f64(double v) { u64(std::bit_cast<std::uint64_t>(v)); }
    void bytes(std::span<const std::uint8_t> b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void latin1(std::string_view s) { out_.insert(out_.end(), s.begin(), s.end()); }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }

    std::size_t size() const { return out_.size(); }
    // Overwrites a u16 already written (a record's length once its body is known).
    void patchU16(std::size_t at, std::uint16_t v) {
        out_[at] = static_cast<std::uint8_t>(v);
        out_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void patchU32(std::size_t at, std::uint32_t v) {
        patchU16(at, static_cast<std::uint16_t>(v));
        patchU16(at + 2, static_cast<std::uint16_t>(v >> 16));
    }

  private:
    std::vector<std::uint8_t>& out_;
};

}  // namespace tq::xls
