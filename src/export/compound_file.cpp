#include "export/compound_file.h"

#include <algorithm>
#include <stdexcept>

#include "export/little_endian.h"

namespace tq::xls {
namespace {

std::uint64_t divCeil(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

std::uint32_t difatSectorsFor(std::uint32_t fatSectors) {
    if (fatSectors <= kHeaderFatSlots) {
        return 0;
    }
    return static_cast<std::uint32_t>(divCeil(fatSectors - kHeaderFatSlots, kDifatSlotsPerSector));
}

void writeHeader(LittleEndianWriter& w, const CompoundLayout& layout) {
    static constexpr std::uint8_t kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    w.bytes(kSignature);
    w.zeros(16);    // CLSID
    w.u16(0x003E);  // minor version
    w.u16(0x0003);  // major version 3: 512-byte sectors
    w.u16(0xFFFE);  // byte order mark
    w.u16(9);       // sector shift: 2^9
    w.u16(6);       // mini sector shift: 2^6
    w.zeros(6);     // reserved
    w.u32(0);       // directory sectors: always 0 in version 3
    w.u32(layout.fatSectors);
    w.u32(layout.directorySector());
    w.u32(0);  // transaction signature
    w.u32(kMiniStreamCutoff);
    w.u32(kEndOfChain);  // no mini FAT
    w.u32(0);
    w.u32(layout.difatSectors == 0 ? kEndOfChain : layout.firstDifatSector());
    w.u32(layout.difatSectors);
    for (std::uint32_t i = 0; i < kHeaderFatSlots; ++i) {
        w.u32(i < layout.fatSectors ? layout.firstFatSector() + i : kFreeSect);
    }
}

void writeFat(LittleEndianWriter& w, const CompoundLayout& layout) {
    for (std::uint32_t s = 0; s + 1 < layout.streamSectors; ++s) {
        w.u32(s + 1);
    }
    w.u32(kEndOfChain);
    for (std::uint32_t i = 0; i < layout.fatSectors; ++i) {
        w.u32(kFatSect);
    }
    for (std::uint32_t i = 0; i < layout.difatSectors; ++i) {
        w.u32(kDifSect);
    }
    w.u32(kEndOfChain);  // the directory's one sector
    for (std::uint64_t i = layout.totalSectors;
         i < std::uint64_t{layout.fatSectors} * kFatEntriesPerSector; ++i) {
        w.u32(kFreeSect);
    }
}

void writeDifat(LittleEndianWriter& w, const CompoundLayout& layout) {
    std::uint32_t fat = kHeaderFatSlots;  // the header lists the first 109
    for (std::uint32_t d = 0; d < layout.difatSectors; ++d) {
        for (std::uint32_t slot = 0; slot < kDifatSlotsPerSector; ++slot, ++fat) {
            w.u32(fat < layout.fatSectors ? layout.firstFatSector() + fat : kFreeSect);
        }
        w.u32(d + 1 < layout.difatSectors ? layout.firstDifatSector() + d + 1 : kEndOfChain);
    }
}

void writeName(LittleEndianWriter& w, std::string_view name) {
    for (char c : name) {
        w.u16(static_cast<std::uint8_t>(c));
    }
    w.zeros(64 - 2 * name.size());  // the NUL and the unused rest of the 32 slots
    w.u16(name.empty() ? 0 : static_cast<std::uint16_t>(2 * (name.size() + 1)));
}

struct DirEntry {
    std::string_view name;  // empty: an unused entry
    std::uint8_t type = 0;  // 5 root storage, 2 stream
    std::uint32_t child = kNoStream;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

void writeDirEntry(LittleEndianWriter& w, const DirEntry& e) {
    writeName(w, e.name);
    w.u8(e.type);
    w.u8(e.name.empty() ? 0 : 1);  // colour: black
    w.u32(kNoStream);              // left sibling
    w.u32(kNoStream);              // right sibling
    w.u32(e.child);
    w.zeros(16 + 4 + 8 + 8);  // CLSID, state bits, creation and modification times
    w.u32(e.start);
    w.u64(e.size);
}

}  // namespace

CompoundLayout planCompoundFile(std::size_t streamBytes) {
    CompoundLayout layout;
    layout.streamSize = std::max<std::uint64_t>(streamBytes, kMiniStreamCutoff);
    // Version 3 addresses a little under 2^32 sectors, but readers keep sizes
    // in 32 bits and reject files past 2 GB.
    if (layout.streamSize > 0x7FFF0000u) {
        throw std::length_error("stream too large for a version-3 compound file");
    }
    layout.streamSectors = static_cast<std::uint32_t>(divCeil(layout.streamSize, kSectorSize));
    std::uint32_t fat = 1;
    for (;;) {
        const std::uint32_t difat = difatSectorsFor(fat);
        const std::uint64_t total = std::uint64_t{layout.streamSectors} + fat + difat + 1;
        const auto needed = static_cast<std::uint32_t>(divCeil(total, kFatEntriesPerSector));
        if (needed <= fat) {
            layout.fatSectors = fat;
            layout.difatSectors = difat;
            layout.totalSectors = static_cast<std::uint32_t>(total);
            break;
        }
        fat = needed;
    }
    layout.fileSize = (std::uint64_t{layout.totalSectors} + 1) * kSectorSize;
    return layout;
}

std::vector<std::uint8_t> buildCompoundFile(std::string_view streamName,
                                            std::span<const std::uint8_t> stream) {
    std::vector<std::uint8_t> file;
    file.reserve(planCompoundFile(stream.size()).fileSize);
    file.resize(kSectorSize);
    file.insert(file.end(), stream.begin(), stream.end());
    finishCompoundFile(file, streamName);
    return file;
}

void finishCompoundFile(std::vector<std::uint8_t>& file, std::string_view streamName) {
    if (streamName.empty() || streamName.size() > 31) {
        throw std::invalid_argument("compound file stream name must have 1 to 31 characters");
    }
    if (file.size() < kSectorSize) {
        throw std::invalid_argument("compound file buffer lacks its header sector");
    }
    const std::size_t streamBytes = file.size() - kSectorSize;
    const CompoundLayout layout = planCompoundFile(streamBytes);
    file.reserve(layout.fileSize);
    LittleEndianWriter w(file);
    w.zeros(std::uint64_t{layout.streamSectors} * kSectorSize - streamBytes);
    writeFat(w, layout);
    writeDifat(w, layout);
    writeDirEntry(w, {.name = "Root Entry", .type = 5, .child = 1, .start = kEndOfChain});
    writeDirEntry(w, {.name = streamName, .type = 2, .start = 0, .size = layout.streamSize});
    writeDirEntry(w, {});
    writeDirEntry(w, {});

    std::vector<std::uint8_t> header;
    header.reserve(kSectorSize);
    LittleEndianWriter h(header);
    writeHeader(h, layout);
    std::copy(header.begin(), header.end(), file.begin());
}

}  // namespace tq::xls
