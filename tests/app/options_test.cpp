#include <gtest/gtest.h>

#include <variant>

#include "app/meter_link.h"
#include "app/options.h"
#include "common/virtual_clock.h"
#include "panel/widget_app.h"
#include "sim/meter.h"

namespace tq {
namespace {

ParsedCommandLine parse(QStringList args) {
    test::widgetApp();
    args.prepend("tq4700");
    return parseCommandLine(args);
}

TEST(CommandLine, CarriesEveryOptionIntoTheLink) {
    const ParsedCommandLine parsed =
        parse({"--simulate=nocard", "--resource", "TCPIP::10.0.0.5::5025::SOCKET", "--visa-library",
               "/opt/visa/libvisa.so", "--trace=/tmp/t.txt", "--save-dir", "/data/runs"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed));
    const Options& o = std::get<Options>(parsed);
    EXPECT_TRUE(o.simulate);
    EXPECT_TRUE(o.simulateNoCard);
    EXPECT_EQ(o.saveDir, "/data/runs");
    EXPECT_FALSE(o.writesFilesOnly());

    VirtualClock clock;
    const visa::LinkOptions link = linkOptions(o, clock);
    ASSERT_TRUE(link.simulator.has_value());
    EXPECT_FALSE(link.simulator->card);
    EXPECT_EQ(link.clock, &clock);
    EXPECT_EQ(link.resource, "TCPIP::10.0.0.5::5025::SOCKET");
    EXPECT_EQ(link.visaLibrary, "/opt/visa/libvisa.so");
    EXPECT_EQ(link.traceFile, "/tmp/t.txt");

    const Options plain = std::get<Options>(parse({"--simulate"}));
    EXPECT_TRUE(plain.simulate);
    EXPECT_FALSE(plain.simulateNoCard);
    EXPECT_TRUE(linkOptions(plain, clock).simulator->card);
    const visa::LinkOptions real = linkOptions(std::get<Options>(parse({})), clock);
    EXPECT_FALSE(real.simulator.has_value());
    EXPECT_TRUE(real.traceFile.empty());
    EXPECT_TRUE(real.visaLibrary.empty());
}

// A simulated meter left running for days must not keep every line.
TEST(CommandLine, TheProgramsSimulatedMeterKeepsNoTranscript) {
    VirtualClock clock;
    visa::Link link = openMeterLink(std::get<Options>(parse({"--simulate"})), clock);
    ASSERT_NE(link.meter, nullptr);
    link.meter->receive("*IDN?\n");
    EXPECT_TRUE(link.meter->transcript().empty());
}

TEST(CommandLine, RefusesWhatItDoesNotKnowWithTheUsage) {
    for (const QStringList& args : {QStringList{"--no-such-option"}, QStringList{"--simulate=card"},
                                    QStringList{"--resource"}, QStringList{"stray"}}) {
        const ParsedCommandLine parsed = parse(args);
        ASSERT_TRUE(std::holds_alternative<ExitRequest>(parsed)) << args.join(' ').toStdString();
        const ExitRequest& r = std::get<ExitRequest>(parsed);
        EXPECT_EQ(r.status, kUsageStatus);
        EXPECT_TRUE(r.toStderr);
        EXPECT_TRUE(r.text.contains("--simulate")) << r.text.toStdString();
    }
}

}  // namespace
}  // namespace tq
