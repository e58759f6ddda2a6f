#include "export/biff_workbook.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <stdexcept>
#include <string_view>

#include "export/biff_records.h"
#include "export/compound_file.h"
#include "export/shared_strings.h"

namespace tq::xls {
namespace {

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsType = 0x0005;
constexpr std::uint16_t kWorksheetType = 0x0010;
constexpr std::uint16_t kCodepageUtf16 = 1200;
// Cells use the default cell format; a style XF (0..14) on a cell is refused.
constexpr std::uint16_t kCellXf = 15;
constexpr std::string_view kSheetName = "Sheet1";
constexpr std::size_t kNumberRecordSize = 4 + 14;

void writeBof(RecordWriter& w, std::uint16_t type) {
    w.header(RecordId::Bof, 16);
    w.u16(kBiff8);
    w.u16(type);
    w.u16(0x0DBB);  // build
    w.u16(0x07CC);  // year
    w.u32(0);       // file history flags
    w.u32(6);       // lowest BIFF version that can read all records
}

void writeWindow1(RecordWriter& w) {
    w.header(RecordId::Window1, 18);
    w.u16(0);  // window position
    w.u16(0);
    w.u16(0x355C);  // window size, twips
    w.u16(0x30ED);
    w.u16(0x0038);  // scroll bars and sheet tabs shown
    w.u16(0);       // active sheet
    w.u16(0);       // first visible tab
    w.u16(1);       // selected sheets
    w.u16(600);     // tab bar width, per mille
}

void writeFont(RecordWriter& w) {
    constexpr std::string_view kFace = "Arial";
    w.header(RecordId::Font, static_cast<std::uint16_t>(16 + kFace.size()));
    w.u16(200);     // height: 10 points in twentieths
    w.u16(0);       // attributes
    w.u16(0x7FFF);  // colour: automatic
    w.u16(400);     // weight: normal
    w.u16(0);       // escapement
    w.u8(0);        // underline
    w.u8(0);        // family
    w.u8(0);        // character set
    w.u8(0);
    w.u8(static_cast<std::uint8_t>(kFace.size()));
    w.u8(0);  // one byte per character
    w.latin1(kFace);
}

// Excel requires the 16 built-in XFs: the Normal style, 14 outline styles
// and the default cell format.
void writeXfs(RecordWriter& w) {
    constexpr std::array<std::uint8_t, 20> kNormalStyle = {0x00, 0x00, 0x00, 0x00, 0xF5, 0xFF, 0x20,
                                                           0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                           0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    std::array<std::uint8_t, 20> outlineStyle = kNormalStyle;
    outlineStyle[9] = 0xF4;  // attributes taken from the cell, not the style
    constexpr std::array<std::uint8_t, 20> kCellFormat = {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x20,
                                                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                          0x00, 0x00, 0x00, 0x00, 0xC0, 0x20};
    for (std::uint16_t i = 0; i < 16; ++i) {
        w.header(RecordId::Xf, 20);
        w.bytes(i == 0 ? kNormalStyle : i == kCellXf ? kCellFormat : outlineStyle);
    }
}

// Returns where BOUNDSHEET's sheet offset is, to be filled in once known.
std::size_t writeGlobals(RecordWriter& w, const SharedStrings& strings) {
    writeBof(w, kGlobalsType);
    w.header(RecordId::Codepage, 2);
    w.u16(kCodepageUtf16);
    writeWindow1(w);
    for (int i = 0; i < 5; ++i) {  // index 4 is never used, but must exist
        writeFont(w);
    }
    writeXfs(w);
    w.header(RecordId::Style, 4);
    w.u16(0x8000);  // built-in style on XF 0
    w.u8(0);        // Normal
    w.u8(0xFF);

    w.header(RecordId::BoundSheet, static_cast<std::uint16_t>(8 + kSheetName.size()));
    const std::size_t sheetOffsetAt = w.size();
    w.u32(0);
    w.u8(0);  // visible
    w.u8(0);  // worksheet
    w.u8(static_cast<std::uint8_t>(kSheetName.size()));
    w.u8(0);
    w.latin1(kSheetName);

    strings.write(w);
    w.header(RecordId::Eof, 0);
    return sheetOffsetAt;
}

void writeCellAddress(RecordWriter& w, std::size_t row, std::size_t column) {
    w.u16(static_cast<std::uint16_t>(row));
    w.u16(static_cast<std::uint16_t>(column));
    w.u16(kCellXf);
}

// One data row is a fixed-size run of cell records, composed in place: it is
// the part of the file that grows with the run.
void writeDataRow(RecordWriter& w, std::size_t row, const WorkbookRow& values) {
    std::array<std::uint8_t, kNumberRecordSize * kDataColumns> buf;
    std::size_t n = 0;
    auto put16 = [&](std::uint16_t v) {
        buf[n++] = static_cast<std::uint8_t>(v);
        buf[n++] = static_cast<std::uint8_t>(v >> 8);
    };
    for (std::size_t c = 0; c < kDataColumns; ++c) {
        const std::optional<double>& v = values[c];
        const bool number = v && std::isfinite(*v);
        put16(static_cast<std::uint16_t>(number ? RecordId::Number : RecordId::Blank));
        put16(number ? 14 : 6);
        put16(static_cast<std::uint16_t>(row));
        put16(static_cast<std::uint16_t>(c));
        put16(kCellXf);
        if (number) {
            const auto bits = std::bit_cast<std::uint64_t>(*v);
            for (int k = 0; k < 64; k += 8) {
                buf[n++] = static_cast<std::uint8_t>(bits >> k);
            }
        }
    }
    w.bytes(std::span(buf.data(), n));
}

void writeWindow2(RecordWriter& w) {
    w.header(RecordId::Window2, 18);
    w.u16(0x06B6);  // grid lines, headers, zeros shown; sheet selected and active
    w.u16(0);       // top row
    w.u16(0);       // left column
    w.u16(0x40);    // grid line colour: automatic
    w.u16(0);
    w.u16(0);  // zoom in page-break preview: default
    w.u16(0);  // zoom in normal view: default
    w.u32(0);
}

void writeWorkbookStream(std::vector<std::uint8_t>& out, std::size_t streamStart,
                         const std::vector<std::string>& header, std::size_t rowCount,
                         const RowSource& rowAt) {
    if (rowCount > kMaxDataRows || header.size() > kMaxColumns) {
        throw std::length_error("workbook exceeds the 65536 rows or 256 columns of a sheet");
    }
    SharedStrings strings;
    std::vector<std::uint32_t> headerIndex;
    headerIndex.reserve(header.size());
    for (const std::string& text : header) {
        headerIndex.push_back(strings.add(text));
    }

    RecordWriter w(out, streamStart);
    const std::size_t sheetOffsetAt = writeGlobals(w, strings);
    w.patchU32(sheetOffsetAt, static_cast<std::uint32_t>(w.streamOffset()));

    writeBof(w, kWorksheetType);
    // The header is row 0 and data row r is row r + 1, whatever the header holds.
    const bool empty = header.empty() && rowCount == 0;
    const std::size_t rows = empty ? 0 : rowCount + 1;
    const std::size_t columns = std::max(header.size(), rowCount > 0 ? kDataColumns : 0);
    w.header(RecordId::Dimensions, 14);
    w.u32(0);  // first row
    w.u32(static_cast<std::uint32_t>(rows));
    w.u16(0);  // first column
    w.u16(static_cast<std::uint16_t>(columns));
    w.u16(0);

    for (std::size_t c = 0; c < header.size(); ++c) {
        w.header(RecordId::LabelSst, 10);
        writeCellAddress(w, 0, c);
        w.u32(headerIndex[c]);
    }
    for (std::size_t r = 0; r < rowCount; ++r) {
        writeDataRow(w, r + 1, rowAt(r));
    }
    writeWindow2(w);
    w.header(RecordId::Eof, 0);
}

// Room for the globals with short header texts, the sheet's fixed records
// and every row written in full.
std::size_t expectedStreamSize(const std::vector<std::string>& header, std::size_t rowCount) {
    std::size_t texts = 0;
    for (const std::string& text : header) {
        texts += 2 * text.size() + 17;  // SST entry and LABELSST, generously
    }
    return 1024 + texts + kNumberRecordSize * kDataColumns * rowCount;
}

}  // namespace

std::vector<std::uint8_t> buildWorkbookStream(const std::vector<std::string>& header,
                                              std::size_t rowCount, const RowSource& rowAt) {
    std::vector<std::uint8_t> stream;
    stream.reserve(expectedStreamSize(header, rowCount));
    writeWorkbookStream(stream, 0, header, rowCount, rowAt);
    return stream;
}

std::vector<std::uint8_t> buildWorkbook(const std::vector<std::string>& header,
                                        std::size_t rowCount, const RowSource& rowAt) {
    // Composed straight into the file buffer: one pass over 2 MB, not two.
    std::vector<std::uint8_t> file;
    const std::size_t stream = expectedStreamSize(header, rowCount);
    file.reserve(planCompoundFile(stream).fileSize + kSectorSize);
    file.resize(kSectorSize);
    writeWorkbookStream(file, kSectorSize, header, rowCount, rowAt);
    finishCompoundFile(file, "Workbook");
    return file;
}

std::vector<std::uint8_t> buildWorkbook(const std::vector<std::string>& header,
                                        const std::vector<WorkbookRow>& rows) {
    return buildWorkbook(header, rows.size(), [&rows](std::size_t r) { return rows[r]; });
}

}  // namespace tq::xls
