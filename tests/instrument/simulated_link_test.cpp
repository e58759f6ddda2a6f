#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "common/clock.h"
#include "common/trace_format.h"
#include "common/virtual_clock.h"
#include "instrument/link_factory.h"
#include "instrument/session.h"
#include "instrument/sim_transport.h"

namespace tq::visa {
namespace {

Link simulatedLink(Clock& clock, sim::Options meter = {}, std::string resource = {},
                   std::filesystem::path trace = {}) {
    LinkOptions options;
    options.searchSystemVisa = false;
    options.simulator = std::move(meter);
    options.clock = &clock;
    options.resource = std::move(resource);
    options.traceFile = std::move(trace);
    return openLink(options);
}

std::string lastLineFromHost(const sim::Meter& meter) {
    for (auto it = meter.transcript().rbegin(); it != meter.transcript().rend(); ++it) {
        if (it->fromHost) {
            return it->bytes;
        }
    }
    return {};
}

TEST(SimulatedLink, StartUpFindsIdentifiesAndProbesTheMeter) {
    for (const bool card : {true, false}) {
        VirtualClock clock;
        sim::Options meter;
        meter.card = card;
        Link link = simulatedLink(clock, meter);
        ASSERT_NE(link.meter, nullptr);
        InstrumentSession session(*link.visa);
        ASSERT_EQ(session.openResourceManager(), VI_SUCCESS);
        session.findMeters();
        ASSERT_EQ(session.FoundCount, 1);
        EXPECT_EQ(session.ResourceName, kSimulatedResource);
        session.openMeter();
        session.setIoTimeout();
        EXPECT_EQ(session.VisaStatus, VI_SUCCESS);
        for (const char* line : {"*RST", "*CLS", "*IDN?"}) {
            session.writeLine(line);
        }
        session.readReply();
        EXPECT_TRUE(session.replyStartsWith("VARANDEL,TQ4700")) << session.reply();
        session.writeLine("Rout:state?");
        session.readReply();
        EXPECT_EQ(session.reply().front(), card ? '1' : '0');

        session.release();
        EXPECT_EQ(lastLineFromHost(*link.meter), "system:local");
        EXPECT_FALSE(link.meter->remote());
        EXPECT_EQ(session.VisaStatus, VI_SUCCESS);
    }
}

TEST(SimulatedLink, ReadsCutToTheCountAndTimeOutOnTheClock) {
    VirtualClock clock;
    Link link = simulatedLink(clock);
    VisaApi& visa = *link.visa;
    ViSession rm = 0;
    ViSession vi = 0;
    visa.openDefaultRM(rm);
    ASSERT_EQ(visa.open(rm, kSimulatedResource, VI_NO_LOCK, 0, vi), VI_SUCCESS);
    ViUInt32 count = 0;
    visa.write(vi, "*IDN?\n", count);
    EXPECT_EQ(count, 6u);

    std::array<char, 9> piece{};
    std::string reply;
    ViStatus status = VI_SUCCESS_MAX_CNT;
    while (status == VI_SUCCESS_MAX_CNT) {
        status = visa.read(vi, piece, count);
        reply.append(piece.data(), count);
    }
    EXPECT_EQ(status, VI_SUCCESS);
    EXPECT_EQ(reply, link.meter->options().identity + "\n");

    ASSERT_EQ(visa.setAttribute(vi, VI_ATTR_TMO_VALUE, 700), VI_SUCCESS);
    const std::int64_t before = clock.tickMs();
    EXPECT_EQ(visa.read(vi, piece, count), VI_ERROR_TMO);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(clock.tickMs() - before, 700);
}

// Half the replies come after the 2000 ms time-out: those reads fail, and
// every reply read answers the query just sent, never an earlier one.
TEST(SimulatedLink, ALateReplyIsNeverTakenForTheNextQuery) {
    VirtualClock clock;
    sim::Options options;
    options.faults.slowReply = 0.5;
    options.faults.slowReplyMs = 2500;
    Link link = simulatedLink(clock, options);
    InstrumentSession session(*link.visa);
    session.openResourceManager();
    session.findMeters();
    session.openMeter();
    session.setIoTimeout();
    int late = 0;
    for (int i = 0; i < 40; ++i) {
        const bool identify = i % 2 == 0;
        session.writeLine(identify ? "*IDN?" : "Rout:state?");
        session.blankReply();
        session.readReply();
        if (session.VisaStatus == VI_ERROR_TMO) {
            ++late;
            continue;
        }
        EXPECT_EQ(session.replyStartsWith("VARANDEL,TQ4700"), identify) << i;
    }
    EXPECT_GT(late, 5);
    EXPECT_LT(late, 35);
}

TEST(SimulatedLink, AVanishedMeterFailsEveryLaterCall) {
    VirtualClock clock;
    sim::Options options;
    options.faults.disconnectAfterLines = 1;
    Link link = simulatedLink(clock, options);
    InstrumentSession session(*link.visa);
    session.openResourceManager();
    session.findMeters();
    session.openMeter();
    session.writeLine("*RST");
    session.writeLine("*IDN?");
    EXPECT_EQ(session.VisaStatus, VI_ERROR_CONN_LOST);
    session.readReply();
    EXPECT_EQ(session.VisaStatus, VI_ERROR_CONN_LOST);
    EXPECT_EQ(session.reply(), std::string(64, ' '));

    // Gone from the bus: a new search finds nothing and a reopen fails.
    InstrumentSession later(*link.visa);
    later.openResourceManager();
    later.findMeters();
    EXPECT_EQ(later.FoundCount, 0);
    session.release();
    EXPECT_EQ(session.VisaStatus, VI_SUCCESS);  // the resource manager closed
}

TEST(BuiltinVisa, HandlesFollowTheResourceManagerRules) {
    VirtualClock clock;
    Link link = simulatedLink(clock);
    VisaApi& visa = *link.visa;
    ViSession rm = 0;
    ViSession vi = 0;
    ViFindList list = 0;
    ViUInt32 count = 0;
    std::string desc;
    visa.openDefaultRM(rm);
    EXPECT_EQ(visa.findRsrc(rm, "USB(", list, count, desc), VI_ERROR_INV_EXPR);
    EXPECT_EQ(visa.findRsrc(rm, "GPIB?*", list, count, desc), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(visa.open(rm, "USB0::0x3A6D::0x0E31::TW99::INSTR", 0, 0, vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(visa.open(0, kSimulatedResource, 0, 0, vi), VI_ERROR_INV_SESSION);
    ASSERT_EQ(visa.open(rm, "usb0::0x3a6d::0x0e31::tw00000001::instr", 0, 0, vi), VI_SUCCESS);
    EXPECT_EQ(visa.setAttribute(vi, VI_ATTR_TERMCHAR, '\n'), VI_ERROR_NSUP_ATTR);
    ASSERT_EQ(visa.findRsrc(rm, "?*", list, count, desc), VI_SUCCESS);

    // Closing the manager takes its sessions and lists with it; the handles
    // stay dead.
    EXPECT_EQ(visa.close(rm), VI_SUCCESS);
    EXPECT_EQ(visa.write(vi, "*RST\n", count), VI_ERROR_INV_SESSION);
    EXPECT_EQ(visa.findNext(list, desc), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.close(vi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(visa.close(VI_NULL), VI_WARN_NULL_OBJECT);
    ViSession second = 0;
    visa.openDefaultRM(second);
    EXPECT_NE(second, rm);
}

TEST(NamedResource, TheSearchReportsTheNamedResourceAlone) {
    VirtualClock clock;
    const std::string named = "TCPIP0::127.0.0.1::5025::SOCKET";
    Link link = simulatedLink(clock, {}, named);
    InstrumentSession session(*link.visa);
    session.openResourceManager();
    session.findMeters();
    EXPECT_EQ(session.FoundCount, 1);
    EXPECT_EQ(session.ResourceName, named);
    std::string next;
    EXPECT_EQ(link.visa->findNext(session.FindList, next), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(link.visa->close(session.FindList), VI_SUCCESS);
    EXPECT_EQ(link.visa->close(session.FindList), VI_ERROR_INV_OBJECT);

    // The named simulated meter itself opens and answers.
    Link direct = simulatedLink(clock, {}, std::string(kSimulatedResource));
    InstrumentSession meter(*direct.visa);
    meter.openResourceManager();
    meter.findMeters();
    meter.openMeter();
    meter.writeLine("*IDN?");
    meter.readReply();
    EXPECT_TRUE(meter.replyStartsWith("VARANDEL,TQ4700"));
}

// Virtual time that also keeps microseconds: extraUs on top of its
// milliseconds.
class MicrosecondClock final : public Clock {
  public:
    std::int64_t tickMs() const override { return tickUs() / 1000; }
    std::int64_t tickUs() const override { return inner.tickMs() * 1000 + extraUs; }
    void pause(std::int64_t ms) override { inner.pause(ms); }
    void yield() override { inner.yield(); }
    void idle() override { inner.idle(); }
    void wait(std::int64_t ms, const std::function<bool()>& stop) override { inner.wait(ms, stop); }
    int startTimer(std::int64_t ms, std::function<void()> fire) override {
        return inner.startTimer(ms, std::move(fire));
    }
    void stopTimer(int id) override { inner.stopTimer(id); }

    VirtualClock inner{5000};
    std::int64_t extraUs = 0;
};

TEST(TraceFile, StartsWithItsWallTimeThenOneLinePerMessageWithItsTime) {
    MicrosecondClock clock;
    const auto path = std::filesystem::path(TQ_BINARY_DIR) / "instrument_trace_test.txt";
    {
        Link link = simulatedLink(clock, {}, {}, path);
        ASSERT_TRUE(link.problems.empty());
        InstrumentSession session(*link.visa);
        session.openResourceManager();
        session.findMeters();
        session.openMeter();
        clock.inner.advance(3);
        clock.extraUs = 125;
        session.writeLine("*IDN?");
        session.readReply();
        const std::int64_t replyUs = clock.tickUs() - 5000 * 1000;
        session.readReply();
        const std::int64_t timeoutUs = clock.tickUs() - 5000 * 1000;

        std::ifstream file(path);
        std::string first;
        std::getline(file, first);
        EXPECT_THAT(first, ::testing::MatchesRegex("# tq4700 [0-9.]+ trace started "
                                                   "[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:"
                                                   "[0-9]{2}\\.[0-9]{3}[+-][0-9]{2}:[0-9]{2}"));
        std::stringstream text;
        text << file.rdbuf();
        const std::string identity = link.meter->options().identity + "\n";
        EXPECT_EQ(text.str(), traceLine(3125, '>', "*IDN?\n") + traceLine(replyUs, '<', identity) +
                                  traceFailureLine(timeoutUs, "VI_ERROR_TMO"));
        EXPECT_EQ(statusName(errorStatus(0xBFFF0099u)), "0xBFFF0099");
    }
    std::filesystem::remove(path);

    VirtualClock other;
    const Link broken = simulatedLink(other, {}, {}, "/nonexistent-dir/trace.txt");
    EXPECT_EQ(broken.problems.size(), 1u);
}

}  // namespace
}  // namespace tq::visa
