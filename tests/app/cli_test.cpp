#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>

#include "support/program_run.h"

namespace tq {
namespace {

using test::Display;
using test::dumpedControl;
using test::fileBytes;
using test::ProgramRun;
using test::runTq4700;

QSet<QString> controlNames(const QByteArray& json) {
    QSet<QString> names;
    for (const QJsonValue& v : QJsonDocument::fromJson(json).object()["controls"].toArray()) {
        names.insert(v.toObject()["name"].toString());
    }
    return names;
}

// The files show the window as it stands after its start-up, which runs on
// simulated time.
TEST(Tq4700CommandLine, WritesTheWindowAfterStartUpAndExits) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString json = dir.filePath("controls.json");
    const QString png = dir.filePath("window.png");
    const QString trace = dir.filePath("trace.txt");
    const ProgramRun run =
        runTq4700({"--simulate", "--dump-controls", json, "--screenshot", png, "--trace", trace});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QByteArray controls = fileBytes(json);
    // Every designed control, and the status line's parts under them.
    QSet<QString> expected = controlNames(fileBytes(TQ_FIXTURES "/controls.json"));
    ASSERT_GT(expected.size(), 250);
    expected.unite({"statusLine", "statusLink", "statusRun", "statusPace", "statusMissing",
                    "statusFile", "statusReconnect", "statusAnalysis"});
    EXPECT_EQ(controlNames(controls), expected);
    EXPECT_EQ(dumpedControl(controls, "statusLink")["text"].toString(),
              "Simulated TQ4700 TW00000001");
    EXPECT_FALSE(dumpedControl(controls, "statusReconnect")["visible"].toBool());
    EXPECT_FALSE(dumpedControl(controls, "FrameMsg")["visible"].toBool());
    EXPECT_EQ(dumpedControl(controls, "LabMsg")["text"].toString(), "VARANDEL,TQ4700 Initial OK !");
    EXPECT_TRUE(dumpedControl(controls, "ChkScanMode")["checked"].toBool());
    EXPECT_FALSE(dumpedControl(controls, "FrameMa")["visible"].toBool());

    const QImage shot(png);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(QImageReader(png).format(), "png");
    EXPECT_EQ(shot.size(), QSize(1016, 664));
    EXPECT_EQ(shot.pixelColor(150, 5), QColor(0, 0, 64));       // the window
    EXPECT_EQ(shot.pixelColor(1, 650), QColor(224, 224, 224));  // the status line
    EXPECT_EQ(shot.pixelColor(5, 300), QColor(224, 224, 224));  // the chart area
    EXPECT_EQ(shot.pixelColor(500, 250), QColor(0, 0, 0));      // the plot, no message
    EXPECT_NE(shot.pixelColor(305, 40), QColor(255, 255, 0));   // the mode switch: scan card

    // The meter goes back to its front panel when the program ends.
    EXPECT_TRUE(QString::fromUtf8(fileBytes(trace)).trimmed().endsWith("> system:local"));
}

// The picture is in the format its extension names.
TEST(Tq4700CommandLine, ScreenshotsComeInTheFormatTheirNameAsksFor) {
    QTemporaryDir dir;
    for (const char* name : {"window.jpg", "window.BMP"}) {
        const QString path = dir.filePath(name);
        ASSERT_EQ(runTq4700({"--simulate", "--screenshot", path}).exitCode, 0) << name;
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QString(name).endsWith("jpg") ? "jpeg" : "bmp") << name;
        EXPECT_EQ(reader.read().size(), QSize(1016, 664));
    }
}

// The simulator as a server on the IPv6 loopback, reached by its bracketed
// socket resource.
TEST(Tq4700CommandLine, OpensAnIpv6SocketResource) {
    QProcess server;
    server.start(QStringLiteral(TQ_SIM_EXE), {"--listen", "::1", "--port", "0"});
    ASSERT_TRUE(server.waitForStarted());
    server.waitForReadyRead(10000);
    const QString first = QString::fromUtf8(server.readLine()).trimmed();
    if (!first.startsWith("tq4700-sim listening on [::1]:")) {
        server.kill();
        server.waitForFinished();
        GTEST_SKIP() << "no IPv6 loopback here: " << first.toStdString();
    }
    const QString port = first.section(':', -1);

    QTemporaryDir dir;
    const QString json = dir.filePath("controls.json");
    const ProgramRun run =
        runTq4700({"--resource", "TCPIP0::[::1]::" + port + "::SOCKET", "--dump-controls", json});
    server.terminate();
    server.waitForFinished();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(dumpedControl(fileBytes(json), "LabMsg")["text"].toString(),
              "VARANDEL,TQ4700 Initial OK !");
}

// Also in a terminal without a display (over ssh), where the window system
// cannot be opened.
TEST(Tq4700CommandLine, AnswersHelpAndVersion) {
    const ProgramRun help = runTq4700({"--help"}, {}, Display::None);
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--simulate", "--resource", "--visa-library", "--trace", "--save-dir", "--screenshot",
          "--dump-controls", "--check", "--help", "--version"}) {
        EXPECT_TRUE(help.out.contains(option)) << option;
    }

    const ProgramRun version = runTq4700({"--version"}, {}, Display::None);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("tq4700 ")) << version.out.toStdString();
}

// The diagnosis needs no display; its status says whether a meter opens.
TEST(Tq4700CommandLine, CheckSaysWhetherAMeterOpens) {
    const ProgramRun simulated = runTq4700({"--simulate", "--check"}, {}, Display::None);
    EXPECT_EQ(simulated.exitCode, 0) << simulated.err.toStdString();
    EXPECT_TRUE(simulated.out.startsWith("VISA library: ")) << simulated.out.toStdString();
    EXPECT_TRUE(simulated.out.contains("\nudev rule: "));
    EXPECT_TRUE(simulated.out.contains("Meter: USB0::0x3A6D::0x0E31::TW00000001::INSTR opens\n"));

    const ProgramRun refused =
        runTq4700({"--check", "--resource", "TCPIP0::127.0.0.1::1::SOCKET"}, {}, Display::None);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(
        refused.out.contains("Meter: TCPIP0::127.0.0.1::1::SOCKET cannot be opened: "
                             "connection refused (VI_ERROR_RSRC_NFOUND)\n"))
        << refused.out.toStdString();
}

TEST(Tq4700CommandLine, FailsOnAnUnwritableFileOrUnknownOption) {
    const ProgramRun unwritable =
        runTq4700({"--simulate", "--dump-controls", "/nonexistent-dir/controls.json"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("/nonexistent-dir/controls.json"));

    const ProgramRun badShot =
        runTq4700({"--simulate", "--screenshot", "/nonexistent-dir/window.png"});
    EXPECT_EQ(badShot.exitCode, 1);

    // A save folder that cannot take the workbook is refused before the
    // meter is touched, not after a run.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notAFolder = dir.filePath("file");
    QFile(notAFolder).open(QIODevice::WriteOnly);
    for (const QString& folder : {QStringLiteral("/nonexistent-dir"), notAFolder}) {
        // Judged before any window: no display is needed to hear it.
        const ProgramRun refused =
            runTq4700({"--simulate", "--save-dir", folder}, {}, Display::None);
        EXPECT_EQ(refused.exitCode, 2) << folder.toStdString();
        EXPECT_TRUE(refused.err.contains(folder)) << refused.err.toStdString();
    }

    // Refused before the start-up, like a bad option.
    const ProgramRun badTrace = runTq4700(
        {"--simulate", "--trace", "/nonexistent-dir/trace.txt", "--dump-controls", "/dev/null"});
    EXPECT_EQ(badTrace.exitCode, 2);
    EXPECT_TRUE(badTrace.err.contains("cannot write the trace file /nonexistent-dir/trace.txt"))
        << badTrace.err.toStdString();
    const ProgramRun gif = runTq4700({"--simulate", "--screenshot", "window.gif"});
    EXPECT_EQ(gif.exitCode, 2);
    EXPECT_TRUE(gif.err.contains(".png, .jpg or .bmp")) << gif.err.toStdString();
}

// A faulty line is answered without a display, as with one: Qt's own options
// are taken off first, as QApplication would take them.
TEST(Tq4700CommandLine, RefusesAFaultyLineWithoutADisplay) {
    const ProgramRun unknown = runTq4700({"--no-such-option"}, {}, Display::None);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("no-such-option")) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains("--simulate"));  // the usage follows
    const ProgramRun styled = runTq4700({"-style", "fusion", "--fast"}, {}, Display::None);
    EXPECT_EQ(styled.exitCode, 2);
    EXPECT_TRUE(styled.err.startsWith("tq4700: --fast needs --simulate"))
        << styled.err.toStdString();
}

}  // namespace
}  // namespace tq
