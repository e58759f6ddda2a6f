#include "xls_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace tq::fuzz::xls {
namespace {

constexpr std::size_t kSector = 512;
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::size_t kMaxRecordBody = 8224;

void require(bool holds, const char* what) {
    if (!holds) {
        throw ReadError(what);
    }
}

std::uint16_t u16At(std::span<const std::uint8_t> b, std::size_t at) {
    require(at + 2 <= b.size(), "read past the end");
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t u32At(std::span<const std::uint8_t> b, std::size_t at) {
    return u16At(b, at) | (std::uint32_t{u16At(b, at + 2)} << 16);
}

std::uint64_t u64At(std::span<const std::uint8_t> b, std::size_t at) {
    return u32At(b, at) | (std::uint64_t{u32At(b, at + 4)} << 32);
}

// The compound file's sectors, numbered from 0 after the header.
class Sectors {
  public:
    explicit Sectors(std::span<const std::uint8_t> file) : file_(file) {
        require(file.size() >= kSector && file.size() % kSector == 0, "file not whole sectors");
        count_ = file.size() / kSector - 1;
    }
    std::span<const std::uint8_t> sector(std::uint32_t s) const {
        require(s < count_, "sector number past the file");
        return file_.subspan((std::size_t{s} + 1) * kSector, kSector);
    }
    std::size_t count() const { return count_; }

  private:
    std::span<const std::uint8_t> file_;
    std::size_t count_ = 0;
};

std::vector<std::uint32_t> fatSectorNumbers(std::span<const std::uint8_t> file,
                                            const Sectors& sectors,
                                            std::vector<std::uint32_t>& difat) {
    const std::uint32_t fatCount = u32At(file, 0x2C);
    std::vector<std::uint32_t> fat;
    for (std::size_t i = 0; i < 109 && fat.size() < fatCount; ++i) {
        fat.push_back(u32At(file, 0x4C + 4 * i));
    }
    std::uint32_t next = u32At(file, 0x44);
    const std::uint32_t difatCount = u32At(file, 0x48);
    while (fat.size() < fatCount) {
        require(difat.size() < difatCount && difat.size() <= sectors.count(), "DIFAT chain short");
        difat.push_back(next);
        const auto d = sectors.sector(next);
        for (std::size_t i = 0; i < 127 && fat.size() < fatCount; ++i) {
            fat.push_back(u32At(d, 4 * i));
        }
        next = u32At(d, 4 * 127);
    }
    require(difat.size() == difatCount, "DIFAT count");
    return fat;
}

std::vector<std::uint32_t> chain(const std::vector<std::uint32_t>& fat, std::uint32_t start) {
    std::vector<std::uint32_t> sectors;
    for (std::uint32_t s = start; s != kEndOfChain; s = fat[s]) {
        require(s < fat.size(), "chain leaves the FAT");
        require(sectors.size() < fat.size(), "chain loops");
        sectors.push_back(s);
    }
    return sectors;
}

// Record bodies of the workbook stream in order, with their stream offsets.
struct Record {
    std::uint16_t id;
    std::size_t offset;  // of the record header in the stream
    std::span<const std::uint8_t> body;
};

class Records {
  public:
    Records(std::span<const std::uint8_t> stream, std::size_t at) : stream_(stream), at_(at) {}
    Record next() {
        const std::uint16_t id = u16At(stream_, at_);
        const std::uint16_t length = u16At(stream_, at_ + 2);
        require(length <= kMaxRecordBody, "record body over 8224 bytes");
        require(at_ + 4 + length <= stream_.size(), "record past the stream");
        const Record r{.id = id, .offset = at_, .body = stream_.subspan(at_ + 4, length)};
        at_ += 4 + length;
        return r;
    }
    Record peek() const { return Records(*this).next(); }

  private:
    std::span<const std::uint8_t> stream_;
    std::size_t at_;
};

// SST strings across the SST record and its CONTINUE records. A string's
// header never straddles records; a continued string restates its flags.
class SstCursor {
  public:
    explicit SstCursor(std::vector<Record> parts) : parts_(std::move(parts)) {}

    std::size_t left() const { return parts_[part_].body.size() - at_; }
    void nextPart() {
        require(part_ + 1 < parts_.size(), "SST ends inside a string");
        ++part_;
        at_ = 0;
    }
    std::uint8_t u8() {
        require(left() >= 1, "SST field split");
        return parts_[part_].body[at_++];
    }
    std::uint16_t u16() {
        require(left() >= 2, "SST field split");
        const auto v = u16At(parts_[part_].body, at_);
        at_ += 2;
        return v;
    }
    std::uint32_t u32() { return u16() | (std::uint32_t{u16()} << 16); }
    // Where the next string starts: its stream offset and the offset within
    // its record counted from the record header.
    std::pair<std::uint32_t, std::uint16_t> position() const {
        const Record& r = parts_[part_];
        return {static_cast<std::uint32_t>(r.offset + 4 + at_),
                static_cast<std::uint16_t>(4 + at_)};
    }
    bool atEnd() const { return part_ + 1 == parts_.size() && left() == 0; }

  private:
    std::vector<Record> parts_;
    std::size_t part_ = 0;
    std::size_t at_ = 0;
};

std::u16string readString(SstCursor& c) {
    require(c.left() >= 3, "SST string header split");
    const std::uint16_t length = c.u16();
    std::uint8_t flags = c.u8();
    require((flags & ~1u) == 0, "SST string with rich text or extensions");
    std::u16string text;
    while (text.size() < length) {
        if (c.left() == 0) {
            c.nextPart();
            flags = c.u8();
            require((flags & ~1u) == 0, "bad CONTINUE flags");
        }
        text.push_back((flags & 1) != 0 ? static_cast<char16_t>(c.u16())
                                        : static_cast<char16_t>(c.u8()));
    }
    return text;
}

void readSst(Records& records, Workbook& book) {
    std::vector<Record> parts{records.next()};
    while (records.peek().id == 0x003C) {
        parts.push_back(records.next());
    }
    SstCursor cursor(parts);
    book.stringUses = cursor.u32();
    const std::uint32_t unique = cursor.u32();
    std::vector<std::pair<std::uint32_t, std::uint16_t>> starts;
    for (std::uint32_t i = 0; i < unique; ++i) {
        if (cursor.left() == 0) {
            cursor.nextPart();
        }
        starts.push_back(cursor.position());
        book.strings.push_back(readString(cursor));
    }
    require(cursor.atEnd(), "bytes after the last SST string");

    const Record ext = records.next();
    require(ext.id == 0x00FF, "EXTSST after SST");
    const std::uint16_t bucket = u16At(ext.body, 0);
    require(bucket >= 8, "EXTSST bucket size");
    const std::size_t buckets = (unique + bucket - 1) / bucket;
    require(ext.body.size() == 2 + 8 * buckets, "EXTSST length");
    for (std::size_t b = 0; b < buckets; ++b) {
        const auto [streamOffset, recordOffset] = starts[b * bucket];
        require(u32At(ext.body, 2 + 8 * b) == streamOffset, "EXTSST stream offset");
        require(u16At(ext.body, 6 + 8 * b) == recordOffset, "EXTSST record offset");
    }
}

void readCell(const Record& r, Workbook& book,
              std::optional<std::pair<std::uint32_t, std::uint32_t>>& last) {
    const std::pair<std::uint32_t, std::uint32_t> at{u16At(r.body, 0), u16At(r.body, 2)};
    require(!last || *last < at, "cells not in row-major order");
    last = at;
    require(at.first < book.dimensionRows && at.second < book.dimensionColumns,
            "cell outside DIMENSIONS");
    require(u16At(r.body, 4) == 15, "cell format not the default cell XF");
    Cell cell;
    if (r.id == 0x00FD) {
        require(r.body.size() == 10, "LABELSST length");
        const std::uint32_t index = u32At(r.body, 6);
        require(index < book.strings.size(), "LABELSST index past the SST");
        cell = {.kind = Cell::Kind::Text, .string = index};
    } else if (r.id == 0x0203) {
        require(r.body.size() == 14, "NUMBER length");
        cell = {.kind = Cell::Kind::Number, .bits = u64At(r.body, 6)};
    } else {
        require(r.body.size() == 6, "BLANK length");
    }
    book.cells.emplace_back(at, cell);
}

void readSheet(Records records, Workbook& book) {
    const Record bof = records.next();
    require(bof.id == 0x0809 && u16At(bof.body, 0) == 0x0600 && u16At(bof.body, 2) == 0x0010,
            "sheet BOF");
    const Record dim = records.next();
    require(dim.id == 0x0200 && dim.body.size() == 14, "DIMENSIONS");
    require(u32At(dim.body, 0) == 0 && u16At(dim.body, 8) == 0, "DIMENSIONS first row/column");
    book.dimensionRows = u32At(dim.body, 4);
    book.dimensionColumns = u16At(dim.body, 10);
    // A full sheet's worth at most: more would be a lie of DIMENSIONS.
    book.cells.reserve(std::min<std::size_t>(
        std::size_t{book.dimensionRows} * book.dimensionColumns, std::size_t{65536} * 16));
    std::optional<std::pair<std::uint32_t, std::uint32_t>> last;
    for (Record r = records.next(); r.id != 0x000A; r = records.next()) {
        if (r.id == 0x00FD || r.id == 0x0203 || r.id == 0x0201) {
            readCell(r, book, last);
        } else {
            require(r.id == 0x023E, "unexpected record in the sheet");
        }
    }
}

// The FAT, with its own sectors, the DIFAT's and those past the file marked
// as the format requires.
std::vector<std::uint32_t> checkedFat(std::span<const std::uint8_t> file, const Sectors& sectors) {
    std::vector<std::uint32_t> difatSectors;
    const auto fatSectors = fatSectorNumbers(file, sectors, difatSectors);
    std::vector<std::uint32_t> fat;
    for (const std::uint32_t s : fatSectors) {
        const auto bytes = sectors.sector(s);
        for (std::size_t i = 0; i < kSector; i += 4) {
            fat.push_back(u32At(bytes, i));
        }
    }
    require(fat.size() >= sectors.count(), "FAT does not cover the file");
    for (const std::uint32_t s : fatSectors) {
        require(fat[s] == kFatSect, "FAT sector not marked FATSECT");
    }
    for (const std::uint32_t s : difatSectors) {
        require(fat[s] == kDifSect, "DIFAT sector not marked DIFSECT");
    }
    for (std::size_t s = sectors.count(); s < fat.size(); ++s) {
        require(fat[s] == kFree, "FAT entry past the file in use");
    }
    return fat;
}

// The bytes of a chain's sectors, in its order.
std::vector<std::uint8_t> joined(const Sectors& sectors, const std::vector<std::uint32_t>& chain) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(chain.size() * kSector);
    for (const std::uint32_t s : chain) {
        const auto sector = sectors.sector(s);
        bytes.insert(bytes.end(), sector.begin(), sector.end());
    }
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> compoundStream(std::span<const std::uint8_t> file,
                                         std::u16string_view name) {
    static constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    const Sectors sectors(file);
    require(std::memcmp(file.data(), kSignature, sizeof kSignature) == 0, "signature");
    require(u16At(file, 0x1A) == 3 && u16At(file, 0x1C) == 0xFFFE && u16At(file, 0x1E) == 9,
            "version 3, little-endian, 512-byte sectors");
    require(u32At(file, 0x38) == 0x1000, "mini-stream cutoff");

    const std::vector<std::uint32_t> fat = checkedFat(file, sectors);
    const std::vector<std::uint8_t> directory = joined(sectors, chain(fat, u32At(file, 0x30)));
    const std::span<const std::uint8_t> dir(directory);
    require(dir.size() >= 128 && dir[0x42] == 5, "root entry first");
    for (std::size_t e = 0; e + 128 <= dir.size(); e += 128) {
        const std::uint16_t nameBytes = u16At(dir, e + 0x40);
        if (dir[e + 0x42] != 2 || nameBytes != 2 * (name.size() + 1)) {
            continue;
        }
        std::u16string entryName;
        for (std::size_t i = 0; i < name.size(); ++i) {
            entryName.push_back(static_cast<char16_t>(u16At(dir, e + 2 * i)));
        }
        if (entryName != name) {
            continue;
        }
        const std::uint64_t size = u64At(dir, e + 0x78);
        require(size >= 0x1000, "stream below the cutoff but not in the mini stream");
        const auto streamSectors = chain(fat, u32At(dir, e + 0x74));
        require(streamSectors.size() == (size + kSector - 1) / kSector, "chain length vs size");
        std::vector<std::uint8_t> stream = joined(sectors, streamSectors);
        stream.resize(size);
        return stream;
    }
    throw ReadError("no such stream");
}

Workbook readWorkbook(std::span<const std::uint8_t> stream) {
    Workbook book;
    Records records(stream, 0);
    const Record bof = records.next();
    require(bof.id == 0x0809 && u16At(bof.body, 0) == 0x0600 && u16At(bof.body, 2) == 0x0005,
            "globals BOF");
    std::optional<std::uint32_t> sheetAt;
    int xfs = 0;
    bool window1 = false;
    bool style = false;
    bool sst = false;
    for (Record r = records.peek(); r.id != 0x000A; r = records.peek()) {
        if (r.id == 0x00FC) {
            readSst(records, book);
            sst = true;
            continue;
        }
        records.next();
        xfs += r.id == 0x00E0 ? 1 : 0;
        window1 = window1 || r.id == 0x003D;
        style = style || r.id == 0x0293;
        if (r.id == 0x0085) {
            require(!sheetAt, "one sheet only");
            sheetAt = u32At(r.body, 0);
        }
    }
    require(xfs >= 16 && window1 && style && sst && sheetAt, "globals incomplete");
    readSheet(Records(stream, *sheetAt), book);
    return book;
}

}  // namespace tq::fuzz::xls
