// Workbooks read back by an independent, strict reader (python3-xlrd): every
// header text and every value bit for bit, the compound file's chains
// included.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "export/biff_workbook.h"
#include "export/compound_file.h"
#include "export/export_sheet.h"
#include "export/workbook_file.h"

namespace tq::xls {
namespace {

namespace fs = std::filesystem;

// Debian's interpreter: the one python3-xlrd is installed for.
constexpr const char* kPython = "/usr/bin/python3";

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult run(const std::string& command) {
    CommandResult r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return r;
    }
    char buf[4096];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
        r.output += buf;
    }
    r.status = ::pclose(pipe);
    return r;
}

class XlrdReadback : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        available_ = run(std::string(kPython) + " -c 'import xlrd'").status == 0;
    }
    void SetUp() override {
        if (!available_) {
            GTEST_SKIP() << "python3-xlrd is not installed for " << kPython
                         << " (apt-get install python3-xlrd)";
        }
        dir_ = fs::path(TQ_BINARY_DIR) / "tests/export/xlrd" /
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }

    // Writes the expectation beside the workbook and runs the checker on both.
    void expectReadsBack(const fs::path& workbook, const std::vector<std::string>& header,
                         const std::vector<WorkbookRow>& rows, const std::string& note = "ok") {
        const fs::path expected = workbook.string() + ".expected";
        {
            std::ofstream out(expected);
            out << "header " << header.size() << "\n";
            for (const std::string& text : header) {
                if (text.empty()) {
                    out << "-";
                }
                for (unsigned char ch : text) {
                    char hex[3];
                    std::snprintf(hex, sizeof hex, "%02x", ch);
                    out << hex;
                }
                out << "\n";
            }
            out << "rows " << rows.size() << "\n";
            for (const WorkbookRow& row : rows) {
                for (const auto& v : row) {
                    if (v && std::isfinite(*v)) {
                        char hex[17];
                        std::snprintf(hex, sizeof hex, "%016" PRIx64,
                                      std::bit_cast<std::uint64_t>(*v));
                        out << hex << ' ';
                    } else {
                        out << "- ";
                    }
                }
                out << "\n";
            }
        }
        const CommandResult r = run(std::string(kPython) + " " + TQ_EXPORT_CHECKER + " '" +
                                    workbook.string() + "' '" + expected.string() + "'");
        EXPECT_EQ(r.status, 0) << r.output;
        if (!note.empty()) {
            EXPECT_NE(r.output.find(note), std::string::npos) << r.output;
        }
    }

    void expectChecker(const std::string& args, const std::string& note) {
        const CommandResult r = run(std::string(kPython) + " " + TQ_EXPORT_CHECKER + " " + args);
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find(note), std::string::npos) << r.output;
    }

    fs::path save(const std::vector<std::uint8_t>& bytes, const std::string& name) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static std::vector<WorkbookRow> randomRows(std::size_t n, std::uint64_t seed) {
        std::mt19937_64 gen(seed);
        std::vector<WorkbookRow> rows(n);
        for (std::size_t r = 0; r < n; ++r) {
            rows[r][0] = 0.25 * static_cast<double>(r);
            for (std::size_t c = 1; c < kDataColumns; ++c) {
                double v = 0;
                do {
                    v = std::bit_cast<double>(gen());
                } while (!std::isfinite(v));
                rows[r][c] = (r + c) % 17 == 0 ? 9.9E+37 : v;
            }
        }
        return rows;
    }

    static std::vector<std::string> defaultHeader() {
        std::array<std::string, 10> functions;
        functions.fill("DCV");
        functions[9] = "Frequency";
        return workbookHeader(functions);
    }

    static inline bool available_ = false;
    fs::path dir_;
};

TEST_F(XlrdReadback, SpecialValuesAndEmptyCells) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<WorkbookRow> rows = {
        {0.0, -0.0, 9.9E+37, -9.9E+37, 5e-324, -5e-324, DBL_MIN, DBL_MAX, -DBL_MAX, 0.1, -1.5,
         1e-300},
        {0.01, nan, inf, -inf, std::nullopt, 1.0, std::nullopt, 2.0, -0.0, 3.0, nan, 4.0},
        WorkbookRow{},  // a store row outside the store
        {12.5, 1.00000000000001, -123456.789, 1e15, 1e16, 2e-5, 0.3, 1.0 / 3, 2.0 / 3, 7, 8, 9},
        WorkbookRow{},
    };
    const auto header = defaultHeader();
    expectReadsBack(save(buildWorkbook(header, rows), "special.xls"), header, rows);
}

TEST_F(XlrdReadback, HeaderOnlyWorkbookIsPaddedAndReadable) {
    const auto header = defaultHeader();
    expectReadsBack(save(buildWorkbook(header, {}), "empty.xls"), header, {});
}

TEST_F(XlrdReadback, LongAndNonLatinHeaderTextsSpanContinueRecords) {
    auto header = defaultHeader();
    header[1] += std::string(9000, 'x');       // longer than one record
    header[2] = " 2\xE9\x9B\xBB\xE5\xA3\x93";  // 電壓: stored as UTF-16
    header[3] = std::string(" 3") + std::string(5000, 'y') + "\xC3\xA9";           // Latin-1 é
    header[4] = std::string(6000, 'z') + "\xE2\x82\xAC" + std::string(4000, 'w');  // €
    header[5] = "";
    header.push_back("\xF0\x9F\x98\x80 outside the BMP");
    expectReadsBack(save(buildWorkbook(header, randomRows(3, 7)), "long.xls"), header,
                    randomRows(3, 7));
}

// A full-length run written through the export's file handling.
TEST_F(XlrdReadback, TenThousandAndOneRowsThroughTheFileWriter) {
    const auto header = defaultHeader();
    const auto rows = randomRows(10001, 42);
    const WriteResult result =
        writeWorkbookFile(dir_.string(), "Test", {9, 30, 15}, buildWorkbook(header, rows));
    ASSERT_TRUE(result.ok()) << result.explanation;
    EXPECT_EQ(result.path, (dir_ / "Test-093015.xls").string());
    expectReadsBack(result.path, header, rows, "0 DIFAT sectors");
}

// The sheet's limit, 65535 rows under the header, needs more FAT sectors than
// the header lists: the DIFAT is read by xlrd's own compound-file reader.
TEST_F(XlrdReadback, FullSheetNeedsTheDifat) {
    const auto header = defaultHeader();
    const auto rows = randomRows(kMaxDataRows, 3);
    expectReadsBack(save(buildWorkbook(header, rows), "full.xls"), header, rows, "1 DIFAT sectors");
}

// The container alone, past the header's 109 FAT sectors: one and two DIFAT
// sectors, and a small stream padded to the mini-stream cutoff.
TEST_F(XlrdReadback, CompoundFileStreamsReadBackThroughFatAndDifat) {
    std::mt19937 gen(5);
    for (const auto& [size, note] :
         {std::pair{std::size_t{1000}, "0 DIFAT"}, std::pair{std::size_t{8'000'000}, "1 DIFAT"},
          std::pair{std::size_t{16'000'001}, "2 DIFAT"}}) {
        std::vector<std::uint8_t> stream(size);
        for (auto& b : stream) {
            b = static_cast<std::uint8_t>(gen());
        }
        const auto file = save(buildCompoundFile("Workbook", stream), "container.cfb");
        const auto bytes = save(stream, "container.stream");
        expectChecker("--stream '" + file.string() + "' '" + bytes.string() + "'", note);
    }
}

}  // namespace
}  // namespace tq::xls
