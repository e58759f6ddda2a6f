#include "export/biff_workbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/export_sheet.h"
#include "export/shared_strings.h"

namespace tq::xls {
namespace {

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}
std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return le16(b, at) | std::uint32_t{le16(b, at + 2)} << 16;
}

struct Record {
    std::uint16_t id;
    std::size_t offset;
    std::vector<std::uint8_t> body;
};

std::vector<Record> records(const std::vector<std::uint8_t>& stream) {
    std::vector<Record> out;
    std::size_t at = 0;
    while (at + 4 <= stream.size()) {
        const std::uint16_t id = le16(stream, at);
        const std::uint16_t len = le16(stream, at + 2);
        if (id == 0 && len == 0) {
            break;  // padding up to the mini-stream cutoff
        }
        const auto body = stream.begin() + static_cast<std::ptrdiff_t>(at + 4);
        if (at + 4 + len > stream.size()) {
            ADD_FAILURE() << "record at " << at << " runs past the stream";
            break;
        }
        out.push_back({id, at, {body, body + len}});
        at += 4 + len;
    }
    return out;
}

// A header of 77 characters, all six functions and "NONE" among them: the
// length for which the globals come to 734 bytes.
std::vector<std::string> mixedHeader() {
    return workbookHeader(
        {"DCV", "ACV", "Frequency", "Period", "2WR", "4WR", "Period", "ACV", "DCV", "NONE"});
}

WorkbookRow fullRow(double base) {
    WorkbookRow row;
    for (std::size_t c = 0; c < row.size(); ++c) {
        row[c] = base + static_cast<double>(c);
    }
    return row;
}

TEST(WorkbookHeader, ChannelTextsStartWithABlank) {
    const auto h = workbookHeader(
        {"DCV", "ACV", "Frequency", "Period", "2WR", "4WR", "DCV", "DCV", "NONE", "Frequency"});
    ASSERT_EQ(h.size(), 12u);
    EXPECT_EQ(h[0], "Time(Sec)");
    EXPECT_EQ(h[1], " 1DCV");
    EXPECT_EQ(h[3], " 3Frequency");
    EXPECT_EQ(h[9], " 9NONE");
    EXPECT_EQ(h[10], " 10Frequency");
    EXPECT_EQ(h[11], "Math");
}

TEST(WorkbookStream, RecordsAppearInTheOrderExcelRequires) {
    const auto stream = buildWorkbookStream(
        mixedHeader(), 3, [](std::size_t r) { return fullRow(static_cast<double>(r)); });
    const auto recs = records(stream);
    std::vector<std::uint16_t> ids;
    for (const Record& r : recs) {
        EXPECT_LE(r.body.size(), 8224u);
        ids.push_back(r.id);
    }
    std::vector<std::uint16_t> expected = {0x0809, 0x0042, 0x003D};
    expected.insert(expected.end(), 5, 0x0031);
    expected.insert(expected.end(), 16, 0x00E0);
    expected.insert(expected.end(), {0x0293, 0x0085, 0x00FC, 0x00FF, 0x000A, 0x0809, 0x0200});
    expected.insert(expected.end(), 12, 0x00FD);
    expected.insert(expected.end(), 36, 0x0203);
    expected.insert(expected.end(), {0x023E, 0x000A});
    EXPECT_EQ(ids, expected);

    ASSERT_EQ(recs.size(), expected.size());
    EXPECT_EQ(le16(recs[0].body, 2), 0x0005);
    const std::size_t sheetBof = le32(recs[25].body, 0);
    EXPECT_EQ(recs[29].offset, sheetBof);
    EXPECT_EQ(le16(recs[29].body, 2), 0x0010);
    const auto& dim = recs[30].body;
    ASSERT_EQ(dim.size(), 14u);
    EXPECT_EQ(le32(dim, 0), 0u);
    EXPECT_EQ(le32(dim, 4), 4u);  // header and 3 rows
    EXPECT_EQ(le16(dim, 8), 0u);
    EXPECT_EQ(le16(dim, 10), 12u);
    for (std::size_t i = 31; i < 31 + 12 + 36; ++i) {
        EXPECT_EQ(le16(recs[i].body, 4), 15u) << "cells use the default cell format";
    }
}

TEST(WorkbookStream, SizeMatchesTheRecordArithmetic) {
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{10000}}) {
        const auto stream =
            buildWorkbookStream(mixedHeader(), n, [](std::size_t r) { return fullRow(r * 0.5); });
        EXPECT_EQ(stream.size(), 966 + 216 * n) << n;
        EXPECT_EQ(le32(records(stream)[25].body, 0), 734u);
    }
}

TEST(WorkbookStream, RefusesMoreRowsOrColumnsThanASheetHolds) {
    const RowSource zeros = [](std::size_t) { return WorkbookRow{}; };
    EXPECT_NO_THROW(buildWorkbookStream(mixedHeader(), 65535, zeros));
    EXPECT_THROW(buildWorkbookStream(mixedHeader(), 65536, zeros), std::length_error);
    EXPECT_THROW(buildWorkbookStream(std::vector<std::string>(257, "x"), 0, zeros),
                 std::length_error);
}

// Long texts run over into CONTINUE records; every EXTSST entry must still
// point at the header of the string that starts its bucket.
TEST(SharedStringTable, ContinueRecordsAndIndexOffsetsAgree) {
    std::vector<std::string> header;
    for (int i = 0; i < 40; ++i) {
        header.push_back(std::string(700 + 13 * i, static_cast<char>('a' + i % 26)));
    }
    std::string wide;
    for (int i = 0; i < 3000; ++i) {
        wide += "\xE9\x9B\xBB";  // U+96FB, two bytes in UTF-16
    }
    header.insert(header.begin() + 7, wide);
    const auto stream = buildWorkbookStream(header, 0, {});
    const auto recs = records(stream);

    std::size_t sst = 0;
    while (recs[sst].id != 0x00FC) {
        ++sst;
    }
    std::size_t continues = 0;
    while (recs[sst + 1 + continues].id == 0x003C) {
        ++continues;
    }
    EXPECT_GE(continues, 4u);
    const Record& ext = recs[sst + 1 + continues];
    ASSERT_EQ(ext.id, 0x00FF);
    const std::size_t bucket = le16(ext.body, 0);
    EXPECT_EQ(bucket, 8u);
    ASSERT_EQ(ext.body.size(), 2 + 8 * ((header.size() + 7) / 8));
    for (std::size_t b = 0; 2 + 8 * b < ext.body.size(); ++b) {
        const std::size_t at = le32(ext.body, 2 + 8 * b);
        const std::size_t inRecord = le16(ext.body, 6 + 8 * b);
        const std::size_t recordStart = at - inRecord;
        const auto rec = std::find_if(recs.begin(), recs.end(),
                                      [&](const Record& r) { return r.offset == recordStart; });
        ASSERT_NE(rec, recs.end()) << "bucket " << b;
        EXPECT_TRUE(rec->id == 0x00FC || rec->id == 0x003C);
        const auto units = utf16Units(header[b * bucket]);
        EXPECT_EQ(le16(stream, at), units.size()) << "bucket " << b;
        EXPECT_EQ(stream[at + 2], b * bucket == 7 ? 1 : 0);
    }
}

TEST(SharedStringTable, Utf8DecodingReplacesMalformedBytes) {
    EXPECT_EQ(utf16Units("A\xC3\xA9"), (std::vector<std::uint16_t>{0x41, 0xE9}));
    EXPECT_EQ(utf16Units("\xF0\x9F\x98\x80"), (std::vector<std::uint16_t>{0xD83D, 0xDE00}));
    EXPECT_EQ(utf16Units("\xC0\xAF"), (std::vector<std::uint16_t>{0xFFFD, 0xFFFD}));  // overlong
    EXPECT_EQ(utf16Units("\xED\xA0\x80"),  // a lone surrogate
              (std::vector<std::uint16_t>{0xFFFD, 0xFFFD, 0xFFFD}));
    EXPECT_EQ(utf16Units("x\xE9"), (std::vector<std::uint16_t>{0x78, 0xFFFD}));  // truncated
}

}  // namespace
}  // namespace tq::xls
