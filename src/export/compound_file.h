#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// A Compound File Binary (version 3, 512-byte sectors) holding one stream in
// the root storage: the container of a BIFF8 workbook.
namespace tq::xls {

inline constexpr std::uint32_t kSectorSize = 512;
inline constexpr std::uint32_t kFatEntriesPerSector = kSectorSize / 4;
inline constexpr std::uint32_t kHeaderFatSlots = 109;
// A DIFAT sector lists 127 FAT sectors; its last slot links to the next one.
inline constexpr std::uint32_t kDifatSlotsPerSector = kFatEntriesPerSector - 1;
// Streams below this size belong to the mini stream; we pad them up to it
// instead, which every reader accepts.
inline constexpr std::uint32_t kMiniStreamCutoff = 4096;

inline constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

// Sector numbers in file order: the stream from sector 0, then the FAT, then
// the DIFAT (only past 109 FAT sectors), then one directory sector.
struct CompoundLayout {
    std::uint64_t streamSize = 0;  // as declared: at least kMiniStreamCutoff
    std::uint32_t streamSectors = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t difatSectors = 0;
    std::uint32_t totalSectors = 0;
    std::uint64_t fileSize = 0;  // header sector included

    std::uint32_t firstFatSector() const { return streamSectors; }
    std::uint32_t firstDifatSector() const { return streamSectors + fatSectors; }
    std::uint32_t directorySector() const { return streamSectors + fatSectors + difatSectors; }
};

// The FAT must describe its own sectors (and the DIFAT's), so its size is the
// smallest fixed point of sectors(total) >= total. Throws std::length_error
// beyond what a version-3 file can address.
CompoundLayout planCompoundFile(std::size_t streamBytes);

// The whole file: header, the stream (zero-padded), FAT, DIFAT, directory.
// streamName is ASCII, at most 31 characters ("Workbook").
std::vector<std::uint8_t> buildCompoundFile(std::string_view streamName,
                                            std::span<const std::uint8_t> stream);

// The same in place, for a stream composed straight into the file buffer:
// file holds kSectorSize bytes reserved for the header, then the stream.
void finishCompoundFile(std::vector<std::uint8_t>& file, std::string_view streamName);

}  // namespace tq::xls
