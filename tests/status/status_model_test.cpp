#include <gtest/gtest.h>

#include <string>

#include "common/virtual_clock.h"
#include "status/status_model.h"
#include "support/journal_fixtures.h"

namespace tq::status {
namespace {

std::string str(const QString& text) {
    return text.toStdString();
}

RunSetup setupOf(std::int32_t points, const char* interval, std::vector<int> channels) {
    RunSetup setup;
    setup.recordLength = points;
    setup.interval = interval;
    for (const int channel : channels) {
        setup.channels.push_back(test::channelRow(channel, "DCV"));
    }
    return setup;
}

// Point k with a reading on each of these channels.
StoredPoint pointWith(std::int32_t k, std::vector<int> channels) {
    StoredPoint point = test::storedPoint(k, k * 0.5);
    for (const int channel : channels) {
        point.values.at(static_cast<std::size_t>(channel)) = 1.25;
    }
    return point;
}

class StatusModelTest : public ::testing::Test {
  protected:
    VirtualClock clock{5000};
    StatusModel model{clock, [](std::int32_t status) { return "STATUS" + std::to_string(status); }};
};

// Progress, time left and pace follow the clock; what went missing is
// counted per channel and per kind, and highlighted only when there is any.
TEST_F(StatusModelTest, ARunShowsItsProgressPaceAndLosses) {
    int changes = 0;
    model.changed = [&] { ++changes; };
    EXPECT_EQ(str(model.runPart().text), "No run yet");
    EXPECT_EQ(str(model.missingPart().text), "Missing 0");
    EXPECT_FALSE(model.missingPart().highlighted);

    model.runStarted(setupOf(100, " .5", {1, 2, 3}));
    EXPECT_EQ(str(model.runPart().text), "Point 0 / 100 · 0:00 elapsed");
    EXPECT_EQ(str(model.pacePart().text), "Interval 0.50 s");
    for (int k = 1; k <= 10; ++k) {
        clock.pause(k == 1 ? 1500 : 600);
        model.pointStored(pointWith(k, {1, 2, 3}));
    }
    // The first point took 1500 ms, the next nine 600 ms each: 90 points to
    // go at 600 ms.
    EXPECT_EQ(str(model.runPart().text), "Point 10 / 100 · 0:06 elapsed · 0:54 left");
    EXPECT_EQ(str(model.pacePart().text), "Interval 0.50 s · per point 0.60 s, max 1.50 s");
    EXPECT_FALSE(model.missingPart().highlighted);

    clock.pause(600);
    model.readFailed(11, ReadFailure::TimedOut, -1073807339);
    model.readFailed(11, ReadFailure::NoNumber, 0);
    model.pointStored(pointWith(11, {1}));
    clock.pause(600);
    model.readFailed(12, ReadFailure::TimedOut, -1073807339);
    model.pointStored(pointWith(12, {1, 3}));
    const PartText missing = model.missingPart();
    EXPECT_EQ(str(missing.text), "Missing 3 · time-outs 2");
    EXPECT_TRUE(missing.highlighted);
    EXPECT_EQ(str(missing.toolTip),
              "Readings missing: 3\n  CH2: 2\n  CH3: 1\nTime-outs: 2\nOther link errors: 0\n"
              "Replies without a reading: 1");

    clock.pause(61 * 60 * 1000);
    EXPECT_EQ(str(model.runPart().text), "Point 12 / 100 · 1:01:08 elapsed · 0:52 left");
    model.runEnded(RunEnd::Completed, 100);
    EXPECT_EQ(str(model.runPart().text), "Completed: 100 points in 1:01:08");
    EXPECT_FALSE(model.runPart().highlighted);
    // The figures stay until the next run starts, and then start afresh.
    clock.pause(5000);
    EXPECT_EQ(str(model.runPart().text), "Completed: 100 points in 1:01:08");
    model.runStarted(setupOf(5, "2", {1}));
    EXPECT_EQ(str(model.missingPart().text), "Missing 0");
    EXPECT_EQ(str(model.pacePart().text), "Interval 2.00 s");
    // Every call of the run redraws the line.
    EXPECT_EQ(changes, 18);
}

// Every way a run ends is named with the point it got to; an end on the
// link marks the link lost or silent with the last failing status, and the
// reconnect is offered only once the run is over.
TEST_F(StatusModelTest, EachEndingIsNamedAndALostLinkOffersAReconnect) {
    const std::vector<std::pair<RunEnd, std::string>> endings{
        {RunEnd::Stopped, "Stopped by the user at point 2 / 50"},
        {RunEnd::MeterSilent, "Meter stopped answering at point 2 / 50"},
        {RunEnd::ConnectionLost, "Connection lost at point 2 / 50"},
        {RunEnd::ScanNeverDone, "Scan never completed at point 2 / 50"},
    };
    for (const auto& [how, text] : endings) {
        model.setLink({.state = LinkState::Connected,
                       .resource = "TCPIP0::127.0.0.1::5025::SOCKET",
                       .identity = "VARANDEL,TQ4700,TW00000001,2.01\n"});
        model.runStarted(setupOf(50, "0.01", {1}));
        model.pointStored(pointWith(1, {1}));
        model.pointStored(pointWith(2, {1}));
        model.readFailed(3, ReadFailure::LinkError, -1073807194);
        EXPECT_FALSE(model.reconnectOffered());
        model.runEnded(how, 2);
        EXPECT_EQ(str(model.runPart().text), text);
        EXPECT_EQ(model.runPart().highlighted, how != RunEnd::Stopped);
        const PartText link = model.linkPart();
        if (how == RunEnd::ConnectionLost) {
            EXPECT_EQ(str(link.text), "Link lost (STATUS-1073807194)");
        } else if (how == RunEnd::MeterSilent) {
            EXPECT_EQ(str(link.text), "No answer (STATUS-1073807194)");
        } else {
            EXPECT_EQ(str(link.text), "Connected: TQ4700 TW00000001");
        }
        EXPECT_EQ(model.reconnectOffered(),
                  how == RunEnd::ConnectionLost || how == RunEnd::MeterSilent);
        EXPECT_EQ(link.highlighted, model.reconnectOffered());
    }
}

TEST_F(StatusModelTest, TheLinkPartNamesTheStateAndTheMeter) {
    EXPECT_EQ(str(model.linkPart().text), "Looking for the meter");
    EXPECT_FALSE(model.reconnectOffered());
    model.setLink({.state = LinkState::Simulated,
                   .resource = "USB0::0x3A6D::0x0E31::TW00000001::INSTR",
                   .identity = "VARANDEL,TQ4700,TW00000001,2.01"});
    EXPECT_EQ(str(model.linkPart().text), "Simulated TQ4700 TW00000001");
    EXPECT_EQ(str(model.linkPart().toolTip),
              "Resource: USB0::0x3A6D::0x0E31::TW00000001::INSTR\n"
              "Identity: VARANDEL,TQ4700,TW00000001,2.01");
    model.setLink({.state = LinkState::NoMeter, .statusName = "VI_ERROR_RSRC_NFOUND"});
    EXPECT_EQ(str(model.linkPart().text), "No meter (VI_ERROR_RSRC_NFOUND)");
    EXPECT_TRUE(model.reconnectOffered());
    model.setLink({.state = LinkState::NoPermission,
                   .resource = "USB0::0x3A6D::0x0E31::TW00000042::INSTR",
                   .statusName = "VI_ERROR_NPERMISSION",
                   .reason = "permission denied on /dev/usbtmc0"});
    const PartText denied = model.linkPart();
    EXPECT_EQ(str(denied.text), "No permission to open the meter (VI_ERROR_NPERMISSION)");
    EXPECT_TRUE(denied.highlighted);
    EXPECT_NE(str(denied.toolTip).find("permission denied on /dev/usbtmc0"), std::string::npos);
}

// The journal of the run and the workbook last written, by file name; a
// new run forgets the workbook (its record is not in it) but not the
// journal, which its own writer replaces.
TEST_F(StatusModelTest, TheFilesPartNamesTheJournalAndTheWorkbook) {
    EXPECT_EQ(str(model.filesPart().text), "No files yet");
    model.setJournalPath("/home/u/tq4700/run-20261206-120000.tqj");
    model.setWorkbookPath("/home/u/Documents/Test-120501.xls");
    EXPECT_EQ(str(model.filesPart().text),
              "Journal run-20261206-120000.tqj · Saved Test-120501.xls");
    EXPECT_EQ(str(model.filesPart().toolTip),
              "Journal: /home/u/tq4700/run-20261206-120000.tqj\n"
              "Workbook: /home/u/Documents/Test-120501.xls\nClick to open the folder.");
    model.runStarted(setupOf(5, "1", {1}));
    EXPECT_EQ(str(model.filesPart().text), "Journal run-20261206-120000.tqj");
}

}  // namespace
}  // namespace tq::status
