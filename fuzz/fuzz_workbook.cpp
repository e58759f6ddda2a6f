// The workbook writer on random stores: header texts in any script and of
// any length, rows of optional doubles with NaN and infinities. Every file
// is read back by the independent reader in this folder; texts and numbers
// must come back exactly, NaN, infinities and missing values as empty cells.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "export/biff_workbook.h"
#include "fuzz_check.h"
#include "xls_reader.h"

namespace {

using tq::fuzz::check;
using tq::xls::WorkbookRow;

// Excel keeps at most 32767 UTF-16 units in a cell.
constexpr std::size_t kMaxTextUnits = 32767;

struct HeaderText {
    std::string utf8;
    std::u16string expected;
    bool known = true;  // false for raw bytes, whose decoding is the writer's choice
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out += static_cast<char16_t>(cp);
    } else {
        out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
}

char32_t codePoint(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return in.ConsumeIntegralInRange<char32_t>(0x20, 0x7E);
        case 1:
            return in.ConsumeIntegralInRange<char32_t>(0x80,
                                                       0xFF);  // Latin-1, one byte in the file
        case 2:
            return in.ConsumeIntegralInRange<char32_t>(0x4E00, 0x9FFF);  // CJK
        case 3:
            return in.ConsumeIntegralInRange<char32_t>(0x10000, 0x10FFFF);  // surrogate pairs
        case 4:
            return in.PickValueInArray<char32_t>(
                {0x00, 0x100, 0x3A9, 0xD7FF, 0xE000, 0xFFFD, 0xFFFF, 0x10000, 0x10FFFF});
        default: {
            const auto cp = in.ConsumeIntegralInRange<char32_t>(0x100, 0xFFFF);
            return cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp;
        }
    }
}

// A text of a few characters repeated up to past the cell limit, so short
// inputs reach CONTINUE records and the cut at 32767 units.
HeaderText headerText(FuzzedDataProvider& in) {
    HeaderText h;
    const bool raw = in.ConsumeIntegralInRange(0, 7) == 0;
    std::string unitUtf8;
    std::u16string unitUtf16;
    if (raw) {
        unitUtf8 = in.ConsumeRandomLengthString(16);
        h.known = false;
    } else {
        for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n) {
            const char32_t cp = codePoint(in);
            appendUtf8(unitUtf8, cp);
            appendUtf16(unitUtf16, cp);
        }
    }
    const auto repeats =
        in.ConsumeIntegralInRange(0, 3) != 0 ? 1 : in.ConsumeIntegralInRange<std::size_t>(1, 9000);
    for (std::size_t i = 0; i < repeats; ++i) {
        h.utf8 += unitUtf8;
        h.expected += unitUtf16;
    }
    if (h.expected.size() > kMaxTextUnits) {
        // Cut at the limit, but never between the halves of a pair.
        const bool splitsPair =
            h.expected[kMaxTextUnits - 1] >= 0xD800 && h.expected[kMaxTextUnits - 1] <= 0xDBFF;
        h.expected.resize(splitsPair ? kMaxTextUnits - 1 : kMaxTextUnits);
    }
    return h;
}

std::optional<double> value(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return std::nullopt;
        case 1:
            return std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
        case 2:
            return in.PickValueInArray<double>({std::numeric_limits<double>::quiet_NaN(),
                                                -std::numeric_limits<double>::quiet_NaN(),
                                                std::numeric_limits<double>::signaling_NaN(),
                                                std::numeric_limits<double>::infinity(),
                                                -std::numeric_limits<double>::infinity(), -0.0,
                                                std::numeric_limits<double>::denorm_min(),
                                                std::numeric_limits<double>::max(), 9.9e37});
        default:
            return in.ConsumeFloatingPoint<double>();
    }
}

// The reader keeps cells in row-major order, as the sheet must have them,
// so the expected cells are taken from its list in turn.
void checkCells(const tq::fuzz::xls::Workbook& book, const std::vector<HeaderText>& header,
                std::size_t rowCount, const std::vector<WorkbookRow>& pool) {
    using Kind = tq::fuzz::xls::Cell::Kind;
    std::size_t next = 0;
    auto take = [&](std::size_t row, std::size_t column) -> const tq::fuzz::xls::Cell* {
        if (next < book.cells.size() && book.cells[next].first.first == row &&
            book.cells[next].first.second == column) {
            return &book.cells[next++].second;
        }
        return nullptr;
    };
    for (std::size_t c = 0; c < header.size(); ++c) {
        const auto* cell = take(0, c);
        check(cell != nullptr && cell->kind == Kind::Text, "header cell missing");
        const std::u16string& text = book.strings[cell->string];
        check(!header[c].known || text == header[c].expected, "header text differs");
        check(text.size() <= kMaxTextUnits, "text past the cell limit");
    }
    for (std::size_t r = 0; r < rowCount; ++r) {
        const WorkbookRow& row = pool[r % pool.size()];
        for (std::size_t c = 0; c < row.size(); ++c) {
            const auto* cell = take(r + 1, c);
            const std::optional<double>& v = row[c];
            if (v && std::isfinite(*v)) {
                check(cell != nullptr && cell->kind == Kind::Number &&
                          cell->bits == std::bit_cast<std::uint64_t>(*v),
                      "number differs");
            } else {
                check(cell == nullptr || cell->kind == Kind::Blank,
                      "empty value not an empty cell");
            }
        }
    }
    check(next == book.cells.size(), "cells nobody wrote");
    check(book.stringUses == header.size(), "SST use count");
    const std::size_t rows = rowCount > 0 ? rowCount + 1 : header.empty() ? 0 : 1;
    check(book.dimensionRows >= rows, "DIMENSIONS rows");
}

// Both entry points write the same stream; the file pads it with zeros.
void checkStreamAlone(const std::vector<std::uint8_t>& stream,
                      const std::vector<std::uint8_t>& alone) {
    check(alone.size() <= stream.size() && std::equal(alone.begin(), alone.end(), stream.begin()),
          "stream differs from buildWorkbookStream");
    check(std::all_of(stream.begin() + static_cast<std::ptrdiff_t>(alone.size()), stream.end(),
                      [](std::uint8_t b) { return b == 0; }),
          "padding not zero");
}

std::vector<HeaderText> consumeHeader(FuzzedDataProvider& in) {
    std::vector<HeaderText> header(in.ConsumeIntegralInRange<std::size_t>(0, 16));
    for (HeaderText& h : header) {
        h = headerText(in);
    }
    // A wide header: copies of the texts up to past the 256 columns.
    if (in.ConsumeIntegralInRange(0, 15) == 0 && !header.empty()) {
        const auto columns = in.ConsumeIntegralInRange<std::size_t>(header.size(), 300);
        for (std::size_t c = header.size(); c < columns; ++c) {
            header.push_back(header[c % header.size()]);
        }
    }
    return header;
}

// Mostly the rows as given; now and then a long run of them, rarely one
// past the sheet's 65535 data rows or the 109 FAT sectors of the file
// header (about 31,000 rows): those take a second each here.
std::size_t consumeRowCount(FuzzedDataProvider& in, std::size_t poolSize) {
    switch (in.ConsumeIntegralInRange(0, 127)) {
        case 1:
            return in.ConsumeIntegralInRange<std::size_t>(0, 66000);
        case 2:
        case 3:
            return in.ConsumeIntegralInRange<std::size_t>(0, 3000);
        default:
            return in.ConsumeIntegralInRange<std::size_t>(0, poolSize);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::vector<HeaderText> header = consumeHeader(in);
    std::vector<WorkbookRow> pool(in.ConsumeIntegralInRange<std::size_t>(1, 64));
    for (WorkbookRow& row : pool) {
        for (auto& v : row) {
            v = value(in);
        }
    }
    const std::size_t rowCount = consumeRowCount(in, pool.size());
    std::vector<std::string> texts;
    for (const HeaderText& h : header) {
        texts.push_back(h.utf8);
    }
    const tq::xls::RowSource rowAt = [&pool](std::size_t r) { return pool[r % pool.size()]; };

    const bool fits = rowCount <= tq::xls::kMaxDataRows && texts.size() <= tq::xls::kMaxColumns;
    std::vector<std::uint8_t> file;
    try {
        file = tq::xls::buildWorkbook(texts, rowCount, rowAt);
    } catch (const std::length_error&) {
        check(!fits, "length_error within the sheet limits");
        return 0;
    }
    check(fits, "no length_error past the sheet limits");
    try {
        const auto stream = tq::fuzz::xls::compoundStream(file, u"Workbook");
        // The stream on its own is the same; checked where it costs little.
        if (rowCount <= 3000) {
            checkStreamAlone(stream, tq::xls::buildWorkbookStream(texts, rowCount, rowAt));
        }
        checkCells(tq::fuzz::xls::readWorkbook(stream), header, rowCount, pool);
    } catch (const tq::fuzz::xls::ReadError& e) {
        tq::fuzz::fail("workbook unreadable:", e.what());
    }
    return 0;
}
