#include "meter_fixture.h"

namespace tq::sim::test {
namespace {

using MeterScpi = MeterFixture;

TEST_F(MeterScpi, AnswersTheStartUpLines) {
    send("*RST");
    send("*CLS");
    EXPECT_EQ(query("*IDN?"), "VARANDEL,TQ4700,TW00000001,2.01\n");
    EXPECT_EQ(query("Rout:state?"), "1\n");
    EXPECT_EQ(nextError(), "+0,\"No error\"\n");

    start({.card = false, .identity = "OTHER,METER,1,1", .faults = {}});
    EXPECT_EQ(query("*IDN?"), "OTHER,METER,1,1\n");
    EXPECT_EQ(query("Rout:state?"), "0\n");
    // Without a card the scan commands have no hardware to act on.
    send("ROUT:SCAN:COUNT 3");
    EXPECT_EQ(nextError(), "-241,\"Hardware missing\"\n");
    EXPECT_EQ(query("ROUT:SCAN:STATE?"), "<timeout>");
}

TEST_F(MeterScpi, AcceptsLongShortAndMixedCaseForms) {
    // Each row sets a thing in one spelling and reads it back in another.
    struct SetAndRead {
        const char* set;
        const char* ask;
        const char* reply;
    };
    for (const auto& [set, ask, reply] : {
             SetAndRead{"Route:scan:count 3", "ROUT:SCAN:COUN?", "3\n"},
             {":ROUTE:SCAN:TIMER 0.01", "rout:scan:time?", "+1.00000000E-02\n"},
             {"rout:scan:func 3,\"VOLT:AC\"", "ROUTe:SCAN:FUNCtion? 3", "\"VOLT:AC\"\n"},
             {"ROUT:SCAN:FUNC 4,\"frequency\"", "ROUT:SCAN:FUNC? 4", "\"FREQ\"\n"},
             {"SENS:FREQ:VOLT:RANG 10", "FREQ:VOLT:RANG?", "+1.00000000E+01\n"},
             {"sense:frequency:aperture .1", "SENS:PER:APER?", "+1.00000000E-01\n"},
             {"DET:BAND 3", "detector:bandwidth?", "+3.00000000E+00\n"},
             {"TRIGger:Source IMM", "trig:sour?", "IMM\n"},
             {"TRIG:DEL 1E-3", "TRIGGER:DELAY?", "+1.00000000E-03\n"},
             {"SENS:RES:RANG  1000", "RES:RANG?", "+1.00000000E+03\n"},
             {"SENS:RES:NPLC 1", "SENSE:RESISTANCE:NPLCYCLES?", "+1.00000000E+00\n"},
         }) {
        send(set);
        EXPECT_EQ(query(ask), reply) << set;
    }
    EXPECT_EQ(nextError(), "+0,\"No error\"\n");
}

TEST_F(MeterScpi, RangesSelectTheNextRangeUpAndKeywords) {
    send("SENS:VOLT:DC:RANG 5");
    EXPECT_EQ(query("VOLT:RANG?"), "+1.00000000E+01\n");
    EXPECT_EQ(query("VOLT:RANG:AUTO?"), "0\n");
    send("SENS:VOLT:DC:RANG .1");
    EXPECT_EQ(query("VOLT:RANG?"), "+1.00000000E-01\n");
    send("SENS:VOLT:AC:RANG MAX");
    EXPECT_EQ(query("VOLT:AC:RANG?"), "+7.50000000E+02\n");
    send("SENS:VOLT:DC:RANG DEF");
    EXPECT_EQ(query("VOLT:RANG:AUTO?"), "1\n");
    send("SENS:VOLT:DC:RANG 1001");
    EXPECT_EQ(nextError(), "-222,\"Data out of range\"\n");
}

TEST_F(MeterScpi, QueuesErrorsForWhatItDoesNotTake) {
    struct Row {
        std::string_view line;
        std::string_view error;
    };
    for (const Row& row : {
             Row{"BOGUS", "-113,\"Undefined header\""},
             Row{"*IDN", "-113,\"Undefined header\""},  // a query-only header as a command
             Row{"ROUT:SCAN:STEP?", "-113,\"Undefined header\""},
             Row{"SENS:VOLT:DC:RANG ", "-109,\"Missing parameter\""},
             Row{"*RST 1", "-108,\"Parameter not allowed\""},
             Row{"ROUT:SCAN:COUNT 11", "-222,\"Data out of range\""},
             Row{"rout:scan:func 2,\"OHMS\"", "-224,\"Illegal parameter value\""},
             Row{"rout:scan:func 2,VOLT", "-104,\"Data type error\""},
             Row{"rout:scan:func 7,\"FRES\"", "-221,\"Settings conflict\""},
             Row{"TRIG:SOUR NOW", "-224,\"Illegal parameter value\""},
             Row{"TRIG:DEL abc", "-224,\"Illegal parameter value\""},
             Row{"FETCH?", "-230,\"Data corrupt or stale\""},
         }) {
        send(row.line);
        EXPECT_EQ(nextError(), std::string(row.error) + "\n") << row.line;
        EXPECT_EQ(nextError(), "+0,\"No error\"\n") << row.line;
    }
    // A bad command changes nothing.
    EXPECT_EQ(query("ROUT:SCAN:COUNT?"), "1\n");

    send("BOGUS1");
    send("BOGUS2");
    send("*CLS");
    EXPECT_EQ(nextError(), "+0,\"No error\"\n");
}

TEST_F(MeterScpi, RunsSeveralUnitsOfOneMessage) {
    // Relative headers continue the path of the unit before them.
    EXPECT_EQ(query("ROUT:SCAN:COUNT 4;TIMER 0.5;:ROUT:SCAN:COUNT?;TIMER?"), "4;+5.00000000E-01\n");
    EXPECT_EQ(query("*IDN?;*OPC?"), "VARANDEL,TQ4700,TW00000001,2.01;1\n");
}

TEST_F(MeterScpi, ResetRestoresThePowerOnSettings) {
    send("ROUT:SCAN:COUNT 7;:TRIG:DEL 2;:rout:scan:func 2,\"RES\"");
    send("*RST");
    EXPECT_EQ(query("ROUT:SCAN:COUNT?;:TRIG:DEL?;:ROUT:SCAN:FUNC? 2"),
              "1;+0.00000000E+00;\"VOLT:DC\"\n");
}

TEST_F(MeterScpi, SystemLocalEndsRemoteModeEvenWithoutLineFeed) {
    EXPECT_FALSE(meter->remote());
    send("*CLS");
    EXPECT_TRUE(meter->remote());
    meter->receive("system:local");
    EXPECT_TRUE(meter->remote());  // not a message until it ends
    meter->endMessage();
    EXPECT_FALSE(meter->remote());
    ASSERT_FALSE(meter->transcript().empty());
    EXPECT_EQ(meter->transcript().back().bytes, "system:local");
}

TEST_F(MeterScpi, ReadsRepliesInPiecesAndKeepsATranscript) {
    clock.advance(100);
    send("*IDN?");
    clock.advance(5);
    const auto head = meter->read(8, 2000);
    EXPECT_EQ(head.status, Meter::ReadStatus::Ok);
    EXPECT_EQ(head.bytes, "VARANDEL");
    EXPECT_EQ(read(), ",TQ4700,TW00000001,2.01\n");
    // Nothing pending: the whole time-out passes on the clock.
    const std::int64_t before = clock.tickMs();
    EXPECT_EQ(read(2000), "<timeout>");
    EXPECT_EQ(clock.tickMs() - before, 2000);
    EXPECT_EQ(read(0), "<timeout>");

    const auto& transcript = meter->transcript();
    ASSERT_EQ(transcript.size(), 3u);
    EXPECT_TRUE(transcript[0].fromHost);
    EXPECT_EQ(transcript[0].bytes, "*IDN?\n");
    EXPECT_EQ(transcript[0].timeMs, 100);
    EXPECT_FALSE(transcript[1].fromHost);
    EXPECT_EQ(transcript[1].timeMs, 105);
}

TEST_F(MeterScpi, DiscardsAnOverlongMessage) {
    meter->receive(std::string(20000, 'A'));
    meter->receive("AAAA\n");
    EXPECT_EQ(nextError(), "-363,\"Input buffer overrun\"\n");
    EXPECT_EQ(nextError(), "+0,\"No error\"\n");
    EXPECT_EQ(query("*OPC?"), "1\n");
}

}  // namespace
}  // namespace tq::sim::test
