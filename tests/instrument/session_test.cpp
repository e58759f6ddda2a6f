#include "instrument/session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "fake_visa.h"

namespace tq {
namespace {

using ::testing::ElementsAre;
using visa::testing::FakeVisa;

constexpr const char* kMeter1 = "USB0::0x3A6D::0x0E31::TW00000001::INSTR";
constexpr const char* kMeter2 = "USB0::0x3A6D::0x0E31::TW00000002::INSTR";

std::string blanks(std::size_t n) {
    return std::string(n, ' ');
}

TEST(InstrumentSession, StartUpStepsAndCommandLinesOnTheWire) {
    FakeVisa fake;
    fake.resources = {kMeter1};
    InstrumentSession session(fake);

    EXPECT_EQ(session.openResourceManager(), visa::VI_SUCCESS);
    session.findMeters();
    session.openMeter();
    session.setIoTimeout();
    session.writeLine("*RST");
    EXPECT_EQ(session.WriteCount, 5);
    session.writeLine("Rout:state?");
    EXPECT_EQ(session.WriteCount, 12);
    session.writeBytes(kLocalCommand);
    EXPECT_EQ(session.WriteCount, 12);

    EXPECT_EQ(session.DefaultRM, FakeVisa::kRM);
    EXPECT_EQ(session.FindList, FakeVisa::kList);
    EXPECT_EQ(session.FoundCount, 1);
    EXPECT_EQ(session.ResourceName, kMeter1);
    EXPECT_EQ(session.InstrSession, 10u);
    EXPECT_THAT(fake.calls,
                ElementsAre("openDefaultRM", "findRsrc 1 USB[0-9]*::0x3A6D::0x0E31::?*INSTR",
                            std::string("open 1 ") + kMeter1 + " 0 0 -> 10",
                            "setAttribute 10 1073676314 2000", "write 10 [*RST\n] 5",
                            "write 10 [Rout:state?\n] 12", "write 10 [system:local] 12"));
}

// A field typed with a line break or a ";" must not smuggle a second
// command in.
TEST(InstrumentSession, ALineGoesOutUpToItsFirstLineFeedOrSemicolon) {
    FakeVisa fake;
    fake.resources = {kMeter1};
    InstrumentSession session(fake);
    session.openResourceManager();
    session.findMeters();
    session.openMeter();
    fake.calls.clear();
    session.writeLine("TRIG:DEL 0.001\n*RST");
    EXPECT_EQ(session.WriteCount, 15);
    session.writeLine("TRIG:DEL 0.1;*RST\n*CLS");
    session.writeLine("ROUT:SCAN:TIMER \n0.1;*RST");
    EXPECT_THAT(fake.calls,
                ElementsAre("write 10 [TRIG:DEL 0.001\n] 15", "write 10 [TRIG:DEL 0.1\n] 13",
                            "write 10 [ROUT:SCAN:TIMER \n] 17"));
}

TEST(InstrumentSession, NoMeterLeavesTheCountAtZero) {
    FakeVisa fake;
    InstrumentSession session(fake);
    session.openResourceManager();
    session.findMeters();
    EXPECT_EQ(session.FoundCount, 0);
    EXPECT_EQ(session.VisaStatus, visa::VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(session.ResourceName, "");
    session.closeResourceManager();
    EXPECT_EQ(fake.calls.back(), "close 1");
}

TEST(InstrumentSession, ReplyBufIsASixtyFourCharacterField) {
    FakeVisa fake;
    InstrumentSession session(fake);
    EXPECT_EQ(session.reply(), blanks(64));

    // Longer than the field: the first 64 characters stay; the read itself
    // had room for 200 bytes.
    const std::string longReply = std::string(60, 'A') + "BCDEFGHIJK\n";
    fake.replies.push_back({.bytes = longReply});
    session.readReply();
    EXPECT_EQ(session.ReadCount, static_cast<int>(longReply.size()));
    EXPECT_EQ(session.reply(), longReply.substr(0, 64));
    EXPECT_EQ(fake.calls.back(), "read 0 200");

    // Shorter: the characters beyond it stay as they were.
    fake.replies.push_back({.bytes = "1\n"});
    session.readReply();
    EXPECT_EQ(session.reply(), "1\n" + longReply.substr(2, 62));
    EXPECT_TRUE(session.replyStartsWith("1"));

    // A time-out brings nothing and changes nothing but the status.
    session.readReply();
    EXPECT_EQ(session.VisaStatus, visa::VI_ERROR_TMO);
    EXPECT_EQ(session.ReadCount, 0);
    EXPECT_EQ(session.reply(), "1\n" + longReply.substr(2, 62));

    session.blankReply();
    EXPECT_EQ(session.reply(), blanks(64));

    // A provider claiming more than the room it had is held to the room.
    fake.replies.push_back({.bytes = "xyz", .claimedCount = 5000});
    session.readReply();
    EXPECT_EQ(session.ReadCount, 200);
    EXPECT_EQ(session.reply().substr(0, 4), std::string("xyz") + '\0');
}

TEST(InstrumentSession, FetchBufHoldsTheLatestLongReply) {
    FakeVisa fake;
    InstrumentSession session(fake);
    const std::string fields = "+1.23456789E+00," + std::string(300, '9') + "\n";
    fake.replies.push_back({.bytes = fields});
    session.readFetch();
    EXPECT_EQ(fake.calls.back(), "read 0 320");
    EXPECT_EQ(session.FetchBuf, fields.substr(0, 317));
    EXPECT_EQ(session.ReadCount, 317);

    fake.replies.push_back({.bytes = "+2.0E+00,"});
    session.readFetch();
    EXPECT_EQ(session.FetchBuf, "+2.0E+00,");

    // A failed read leaves nothing to parse rather than the last point's
    // readings.
    session.readFetch();
    EXPECT_EQ(session.VisaStatus, visa::VI_ERROR_TMO);
    EXPECT_EQ(session.FetchBuf, "");
}

TEST(InstrumentSession, ReleaseSendsEveryMeterToLocalOnAFreshSession) {
    FakeVisa fake;
    fake.resources = {kMeter1, kMeter2};
    InstrumentSession session(fake);
    session.openResourceManager();
    session.findMeters();
    session.openMeter();
    fake.calls.clear();

    session.release();
    EXPECT_THAT(
        fake.calls,
        ElementsAre(std::string("open 1 ") + kMeter1 + " 0 0 -> 11", "write 11 [system:local] 12",
                    "close 11", "findNext 2", std::string("open 1 ") + kMeter2 + " 0 0 -> 12",
                    "write 12 [system:local] 12", "close 12", "findNext 2", "close 1"));
    EXPECT_EQ(session.VisaStatus, visa::VI_SUCCESS);
}

TEST(InstrumentSession, ReleaseWithoutResourceManagerClosesTheNullHandle) {
    FakeVisa fake;
    fake.openRMStatus = visa::VI_ERROR_SYSTEM_ERROR;
    InstrumentSession session(fake);
    EXPECT_EQ(session.openResourceManager(), visa::VI_ERROR_SYSTEM_ERROR);
    session.release();
    EXPECT_THAT(fake.calls, ElementsAre("openDefaultRM", "close 0"));
    EXPECT_EQ(session.VisaStatus, visa::VI_WARN_NULL_OBJECT);
}

TEST(SerialLabel, TenCharactersFromTheFirstTW) {
    EXPECT_EQ(serialLabel("USB0::0x3A6D::0x0E31::TW00000001::INSTR"), "TW00000001");
    EXPECT_EQ(serialLabel("USB0::0x3A6D::0x0E31::TW12::INSTR"), "TW12::INST");
    EXPECT_EQ(serialLabel("USB0::0x3A6D::0x0E31::TW1"), "TW1");
    EXPECT_EQ(serialLabel("USB0::0x3A6D::0x0E31::AB123::INSTR"), "AB123");
    EXPECT_EQ(serialLabel("TCPIP0::localhost::5025::SOCKET"), "");
}

}  // namespace
}  // namespace tq
