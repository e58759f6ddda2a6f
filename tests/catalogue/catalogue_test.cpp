#include "catalogue/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace tq::catalogue {

void PrintTo(const CommandStep& s, std::ostream* os) {
    *os << "{\"" << s.line << "\", " << s.pauseAfterMs << (s.yieldAfter ? ", yield}" : "}");
}

namespace {

using Steps = std::vector<CommandStep>;

int totalPause(const Steps& steps) {
    int total = 0;
    for (const CommandStep& s : steps) {
        total += s.pauseAfterMs;
    }
    return total;
}

TEST(ScanCardLines, TwoChannelExample) {
    // CH1 DCV "10V" and CH2 ACV "1V" with the 20 Hz filter: both rows hold
    // "20Hz" (the DC row from its design text).
    const std::array<std::string_view, 2> filterTexts{"20Hz", "20Hz"};
    const int band = minBand(filterTexts);
    EXPECT_EQ(scanCardLines("DCV", 1, 10, band),
              (Steps{{"rout:scan:func 1,\"VOLT:DC\"", 40}, {"SENS:VOLT:DC:RANG 10", 0}}));
    EXPECT_EQ(scanCardLines("ACV", 2, 1, band), (Steps{{"rout:scan:func 2,\"VOLT:AC\"", 40},
                                                       {"SENS:VOLT:AC:RANG 1", 40},
                                                       {"DET:BAND 20", 0}}));
}

TEST(ScanCardLines, ValueTextsAndApertures) {
    EXPECT_EQ(scanCardLines("DCV", 10, 0.1, kNoBand)[1].line, "SENS:VOLT:DC:RANG .1");
    // Resistance values keep their leading blank: two blanks after the header.
    EXPECT_EQ(scanCardLines("2WR", 3, 1000, kNoBand), (Steps{{"rout:scan:func 3,\"RES\"", 40},
                                                             {"SENS:RES:RANG  1000", 40},
                                                             {"SENS:RES:NPLC 1", 0}}));
    EXPECT_EQ(scanCardLines("4WR", 5, 1000000, kNoBand)[1].line, "SENS:FRES:RANG  1000000");
    EXPECT_EQ(scanCardLines("Frequency", 1, 1, 3), (Steps{{"rout:scan:func 1,\"FREQ\"", 40},
                                                          {"SENS:FREQ:VOLT:RANG 1", 40},
                                                          {"DET:BAND 3", 40},
                                                          {"SENS:FREQ:APER 1", 0}}));
    // The 200 Hz band gets the short gate, not a repeated band line.
    const Steps period = scanCardLines("Period", 4, 0.1, 200);
    ASSERT_EQ(period.size(), 4U);
    EXPECT_EQ(period[0].line, "rout:scan:func 4,\"PER\"");
    EXPECT_EQ(period[1].line, "SENS:PER:VOLT:RANG .1");
    EXPECT_EQ(period[2].line, "DET:BAND 200");
    EXPECT_EQ(period[3].line, "SENS:FREQ:APER 0.01");
    EXPECT_TRUE(scanCardLines("NONE", 1, 10, kNoBand).empty());
    EXPECT_TRUE(scanCardLines("dcv", 1, 10, kNoBand).empty());
}

TEST(MainUnitLines, PerFunction) {
    EXPECT_EQ(mainUnitLines("ACV", 100, minBand(std::array<std::string_view, 1>{"3Hz"})),
              (Steps{{"CONF:VOLT:AC 100", 50}, {"DET:BAND 3", 50}}));
    EXPECT_EQ(
        mainUnitLines("Frequency", 100, 20),
        (Steps{{"CONF:FREQ DEF", 50, true}, {"DET:BAND 20", 50, true}, {"SENS:FREQ:APER 0.1", 0}}));
    EXPECT_EQ(mainUnitLines("2WR", 1000000, kNoBand),
              (Steps{{"CONF:RES  1000000", 40}, {"SENS:RES:NPLC 1", 0}}));
    EXPECT_EQ(mainUnitLines("DCV", 0.1, kNoBand), (Steps{{"CONF:VOLT:DC .1", 0}}));
    EXPECT_EQ(mainUnitLines("Period", 10, 200).back().line, "SENS:FREQ:APER 0.01");
    // The pause inside the configuration: none, 40 ms or 100 ms.
    EXPECT_EQ(totalPause(mainUnitLines("DCV", 1, 20)), 0);
    EXPECT_EQ(totalPause(mainUnitLines("4WR", 1, 20)), 40);
    for (std::string_view f : {"ACV", "Frequency", "Period"}) {
        EXPECT_EQ(totalPause(mainUnitLines(f, 1, 20)), 100) << f;
    }
    EXPECT_TRUE(mainUnitLines("NONE", 1, 20).empty());
}

TEST(BandScan, LowestFilterOfTheVisibleRows) {
    EXPECT_EQ(minBand({}), 300);
    // DC rows keep an older filter text, which still counts.
    EXPECT_EQ(minBand(std::array<std::string_view, 3>{"20Hz", "200Hz", "200Hz"}), 20);
    EXPECT_EQ(minBand(std::array<std::string_view, 3>{"200Hz", "3Hz", "20Hz"}), 3);
    EXPECT_EQ(minBand(std::array<std::string_view, 2>{"", "5Hz"}), 300);
    EXPECT_EQ(lowerBand(20, "200Hz"), 20);
}

TEST(Catalogue, RangeListsByMode) {
    const Function& dcv = *findFunction("DCV");
    EXPECT_EQ(std::vector(rangeList(dcv, RunMode::ScanCard).begin(),
                          rangeList(dcv, RunMode::ScanCard).end()),
              (std::vector<std::string_view>{"100V", "10V", "1V", "100mV"}));
    EXPECT_EQ(rangeList(dcv, RunMode::MainUnit).size(), 6U);
    EXPECT_EQ(rangeList(*findFunction("ACV"), RunMode::MainUnit)[1], "750V");
    EXPECT_EQ(rangeList(*findFunction("4WR"), RunMode::ScanCard).front(), "AUTO");
    for (const Function& f : functions()) {
        for (RunMode mode : {RunMode::ScanCard, RunMode::MainUnit}) {
            const auto ranges = rangeList(f, mode);
            EXPECT_NE(std::ranges::find(ranges, f.defaultRange), ranges.end()) << f.name;
            for (std::string_view r : ranges) {
                EXPECT_EQ(rangeValue(r).has_value(), r != kAutoRange) << r;
            }
        }
    }
    EXPECT_EQ(rangeValue("100mV"), 0.1);
    EXPECT_EQ(rangeValue("1M"), 1000000);
}

TEST(Catalogue, FunctionsOfferedAndAc) {
    EXPECT_EQ(functionsOffered(0),
              (std::vector<std::string_view>{"DCV", "ACV", "Frequency", "Period", "2WR", "4WR"}));
    EXPECT_EQ(functionsOffered(4).back(), "4WR");
    EXPECT_EQ(functionsOffered(5).back(), "2WR");
    EXPECT_EQ(functionsOffered(9).size(), 5U);
    EXPECT_TRUE(isAcFunction("Period"));
    EXPECT_FALSE(isAcFunction("2WR"));
    EXPECT_FALSE(isAcFunction(kNoFunction));
    EXPECT_EQ(findFilter("3Hz")->minTrigDelayNoCard, 1);
    EXPECT_EQ(findFilter("200Hz")->minScanTimeCard, 0.05);
    EXPECT_EQ(findFilter("2Hz"), nullptr);
}

}  // namespace
}  // namespace tq::catalogue
