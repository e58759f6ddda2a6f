#include "export/compound_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// The compound file's tables as written; read back through xlrd's own reader
// in xlrd_readback_test.
namespace tq::xls {
namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | std::uint32_t{b.at(at + 3)} << 24;
}
// FAT entry of sector s, the FAT's sectors found through the header and DIFAT.
std::uint32_t fatEntry(const std::vector<std::uint8_t>& file, const std::vector<std::uint32_t>& fat,
                       std::uint32_t s) {
    return le32(file, (fat.at(s / 128) + 1) * 512 + 4 * (s % 128));
}
std::vector<std::uint32_t> fatSectors(const std::vector<std::uint8_t>& file) {
    std::vector<std::uint32_t> fat;
    for (std::uint32_t i = 0; i < std::min(le32(file, 0x2C), 109u); ++i) {
        fat.push_back(le32(file, 0x4C + 4 * i));
    }
    for (std::uint32_t d = le32(file, 0x44); d != kEndOfChain;
         d = le32(file, (d + 1) * 512 + 508)) {
        for (std::uint32_t i = 0; i < 127 && fat.size() < le32(file, 0x2C); ++i) {
            fat.push_back(le32(file, (d + 1) * 512 + 4 * i));
        }
    }
    return fat;
}

TEST(CompoundLayout, TenThousandRowWorkbookFigures) {
    const CompoundLayout l = planCompoundFile(966 + 216 * 10000);
    EXPECT_EQ(l.streamSectors, 4221u);
    EXPECT_EQ(l.fatSectors, 34u);
    EXPECT_EQ(l.difatSectors, 0u);
    EXPECT_EQ(l.totalSectors, 4256u);
    EXPECT_EQ(l.fileSize, 2'179'584u);

    const auto file = buildCompoundFile("Workbook", std::vector<std::uint8_t>(966 + 216 * 10000));
    ASSERT_EQ(file.size(), 2'179'584u);
    EXPECT_EQ(le32(file, 0x2C), 34u);
    EXPECT_EQ(le32(file, 0x30), 4255u);  // directory after the FAT
    EXPECT_EQ(le32(file, 0x44), kEndOfChain);
    const auto fat = fatSectors(file);
    for (std::uint32_t i = 0; i < 34; ++i) {
        EXPECT_EQ(fat[i], 4221 + i);
        EXPECT_EQ(fatEntry(file, fat, 4221 + i), kFatSect) << "the FAT covers itself";
    }
    EXPECT_EQ(fatEntry(file, fat, 4219), 4220u);
    EXPECT_EQ(fatEntry(file, fat, 4220), kEndOfChain);
    EXPECT_EQ(fatEntry(file, fat, 4255), kEndOfChain);
    EXPECT_EQ(fatEntry(file, fat, 4256), kFreeSect);
}

// The FAT must be the smallest that still covers everything, itself and the
// DIFAT included; checked across the 109-sector edge where the DIFAT starts
// and the edge where a second DIFAT sector is needed.
TEST(CompoundLayout, FatIsSmallestCoveringFixedPoint) {
    auto difatFor = [](std::uint64_t fat) { return fat > 109 ? (fat - 109 + 126) / 127 : 0; };
    for (std::size_t bytes :
         {std::size_t{0}, std::size_t{65'000}, std::size_t{7'000'000}, std::size_t{7'200'000},
          std::size_t{15'400'000}, std::size_t{15'600'000}, std::size_t{40'000'000}}) {
        for (std::size_t step = 0; step < 300'000; step += 512 * 7) {
            const CompoundLayout l = planCompoundFile(bytes + step);
            const std::uint64_t fat = l.fatSectors;
            ASSERT_EQ(l.difatSectors, difatFor(fat)) << bytes + step;
            ASSERT_EQ(l.totalSectors, l.streamSectors + fat + l.difatSectors + 1);
            ASSERT_GE(fat * 128, l.totalSectors) << bytes + step;
            // One FAT sector fewer would not cover the smaller file it implies.
            ASSERT_LT((fat - 1) * 128, l.streamSectors + (fat - 1) + difatFor(fat - 1) + 1)
                << bytes + step;
        }
    }
}

// Past 109 FAT sectors the rest are listed in chained DIFAT sectors, which
// the FAT marks as its own.
TEST(CompoundFile, DifatListsTheFatSectorsPastTheHeader) {
    const auto file = buildCompoundFile("Workbook", std::vector<std::uint8_t>(16'000'001));
    const CompoundLayout l = planCompoundFile(16'000'001);
    ASSERT_EQ(l.difatSectors, 2u);
    ASSERT_EQ(file.size(), l.fileSize);
    EXPECT_EQ(le32(file, 0x44), l.firstDifatSector());
    EXPECT_EQ(le32(file, 0x48), 2u);
    const auto fat = fatSectors(file);
    ASSERT_EQ(fat.size(), l.fatSectors);
    for (std::uint32_t i = 0; i < l.fatSectors; ++i) {
        ASSERT_EQ(fat[i], l.firstFatSector() + i);
        ASSERT_EQ(fatEntry(file, fat, fat[i]), kFatSect);
    }
    EXPECT_EQ(fatEntry(file, fat, l.firstDifatSector()), kDifSect);
    EXPECT_EQ(fatEntry(file, fat, l.firstDifatSector() + 1), kDifSect);
    const std::size_t lastDifat = (l.firstDifatSector() + 2) * 512;
    EXPECT_EQ(le32(file, lastDifat + 4 * (l.fatSectors - 109 - 127)), kFreeSect);
    EXPECT_EQ(fatEntry(file, fat, l.directorySector()), kEndOfChain);
}

}  // namespace
}  // namespace tq::xls
