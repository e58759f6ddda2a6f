#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "export/little_endian.h"

namespace tq::xls {

// BIFF8 record identifiers used by the workbook.
enum class RecordId : std::uint16_t {
    Eof = 0x000A,
    Font = 0x0031,
    Continue = 0x003C,
    Window1 = 0x003D,
    Codepage = 0x0042,
    BoundSheet = 0x0085,
    Xf = 0x00E0,
    Sst = 0x00FC,
    ExtSst = 0x00FF,
    LabelSst = 0x00FD,
    Dimensions = 0x0200,
    Blank = 0x0201,
    Number = 0x0203,
    Window2 = 0x023E,
    Style = 0x0293,
    Bof = 0x0809,
};

// Excel refuses records whose body is longer; longer data goes on in
// CONTINUE records.
inline constexpr std::size_t kMaxRecordBody = 8224;

// Writes records into a workbook stream that starts at streamStart in the
// buffer (after the compound file's header when composed in place).
class RecordWriter : public LittleEndianWriter {
  public:
    explicit RecordWriter(std::vector<std::uint8_t>& out, std::size_t streamStart = 0)
        : LittleEndianWriter(out), streamStart_(streamStart) {}

    // Position in the stream, as BOUNDSHEET and EXTSST count it.
    std::size_t streamOffset() const { return size() - streamStart_; }

    // Starts a record whose length is filled in by end().
    void begin(RecordId id) {
        start_ = size();
        u16(static_cast<std::uint16_t>(id));
        u16(0);
    }
    void end() {
        const std::size_t body = size() - start_ - 4;
        if (body > kMaxRecordBody) {
            throw std::logic_error("BIFF record body over 8224 bytes");
        }
        patchU16(start_ + 2, static_cast<std::uint16_t>(body));
    }
    // Position of the open record's header and the room left in its body.
    std::size_t recordStart() const { return start_; }
    std::size_t roomLeft() const { return kMaxRecordBody - (size() - start_ - 4); }

    // A record with a fixed body, written in one go.
    void header(RecordId id, std::uint16_t bodyLength) {
        u16(static_cast<std::uint16_t>(id));
        u16(bodyLength);
    }

  private:
    std::size_t streamStart_;
    std::size_t start_ = 0;
};

}  // namespace tq::xls
