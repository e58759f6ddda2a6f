#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace tq {
namespace {

struct ProcessResult {
    int exitCode = -1;
    QString out;
    QString err;
};

enum class Display { Offscreen, None };

ProcessResult runTq4700(const QStringList& args, Display display = Display::Offscreen) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (display == Display::Offscreen) {
        env.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            env.remove(name);
        }
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TQ4700_EXE), args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        return {};
    }
    return {.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            .out = QString::fromUtf8(process.readAllStandardOutput()),
            .err = QString::fromUtf8(process.readAllStandardError())};
}

QSet<QString> controlNames(const QByteArray& json) {
    QSet<QString> names;
    for (const QJsonValue& v : QJsonDocument::fromJson(json).object()["controls"].toArray()) {
        names.insert(v.toObject()["name"].toString());
    }
    return names;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject control(const QByteArray& json, const QString& name) {
    for (const QJsonValue& v : QJsonDocument::fromJson(json).object()["controls"].toArray()) {
        if (v.toObject()["name"].toString() == name) {
            return v.toObject();
        }
    }
    return {};
}

// The files show the window as it stands after its start-up, which runs on
// simulated time.
TEST(Tq4700CommandLine, WritesTheWindowAfterStartUpAndExits) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString json = dir.filePath("controls.json");
    const QString png = dir.filePath("window.png");
    const QString trace = dir.filePath("trace.txt");
    const ProcessResult run =
        runTq4700({"--simulate", "--dump-controls", json, "--screenshot", png, "--trace", trace});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QByteArray controls = readAll(json);
    // Every designed control, and the status line's parts under them.
    QSet<QString> expected = controlNames(readAll(TQ_FIXTURES "/controls.json"));
    ASSERT_GT(expected.size(), 250);
    expected.unite({"statusLine", "statusLink", "statusRun", "statusPace", "statusMissing",
                    "statusFile", "statusReconnect", "statusAnalysis"});
    EXPECT_EQ(controlNames(controls), expected);
    EXPECT_EQ(control(controls, "statusLink")["text"].toString(), "Simulated TQ4700 TW00000001");
    EXPECT_FALSE(control(controls, "statusReconnect")["visible"].toBool());
    EXPECT_FALSE(control(controls, "FrameMsg")["visible"].toBool());
    EXPECT_EQ(control(controls, "LabMsg")["text"].toString(), "VARANDEL,TQ4700 Initial OK !");
    EXPECT_TRUE(control(controls, "ChkScanMode")["checked"].toBool());
    EXPECT_FALSE(control(controls, "FrameMa")["visible"].toBool());

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
    EXPECT_TRUE(QString::fromUtf8(readAll(trace)).trimmed().endsWith("> system:local"));
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

TEST(Tq4700CommandLine, WithoutACardTheWindowIsLaidOutForOneChannel) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString json = dir.filePath("controls.json");
    ASSERT_EQ(runTq4700({"--simulate=nocard", "--dump-controls", json}).exitCode, 0);
    const QByteArray controls = readAll(json);
    EXPECT_TRUE(control(controls, "FrameMa")["visible"].toBool());
    EXPECT_FALSE(control(controls, "ChkScanMode")["checked"].toBool());
    EXPECT_EQ(control(controls, "TxtChNo")["text"].toString(), "1");
    EXPECT_FALSE(control(controls, "FrameCH(1)")["visible"].toBool());
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
    const ProcessResult run =
        runTq4700({"--resource", "TCPIP0::[::1]::" + port + "::SOCKET", "--dump-controls", json});
    server.terminate();
    server.waitForFinished();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(control(readAll(json), "LabMsg")["text"].toString(), "VARANDEL,TQ4700 Initial OK !");
}

// Also in a terminal without a display (over ssh), where the window system
// cannot be opened.
TEST(Tq4700CommandLine, AnswersHelpAndVersion) {
    const ProcessResult help = runTq4700({"--help"}, Display::None);
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option :
         {"--simulate", "--resource", "--visa-library", "--trace", "--save-dir", "--screenshot",
          "--dump-controls", "--check", "--help", "--version"}) {
        EXPECT_TRUE(help.out.contains(option)) << option;
    }

    const ProcessResult version = runTq4700({"--version"}, Display::None);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("tq4700 ")) << version.out.toStdString();
}

// The diagnosis needs no display; its status says whether a meter opens.
TEST(Tq4700CommandLine, CheckSaysWhetherAMeterOpens) {
    const ProcessResult simulated = runTq4700({"--simulate", "--check"}, Display::None);
    EXPECT_EQ(simulated.exitCode, 0) << simulated.err.toStdString();
    EXPECT_TRUE(simulated.out.startsWith("VISA library: ")) << simulated.out.toStdString();
    EXPECT_TRUE(simulated.out.contains("\nudev rule: "));
    EXPECT_TRUE(simulated.out.contains("Meter: USB0::0x3A6D::0x0E31::TW00000001::INSTR opens\n"));

    const ProcessResult refused =
        runTq4700({"--check", "--resource", "TCPIP0::127.0.0.1::1::SOCKET"}, Display::None);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(
        refused.out.contains("Meter: TCPIP0::127.0.0.1::1::SOCKET cannot be opened: "
                             "connection refused (VI_ERROR_RSRC_NFOUND)\n"))
        << refused.out.toStdString();
}

TEST(Tq4700CommandLine, FailsOnAnUnwritableFileOrUnknownOption) {
    const ProcessResult unwritable =
        runTq4700({"--simulate", "--dump-controls", "/nonexistent-dir/controls.json"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("/nonexistent-dir/controls.json"));

    const ProcessResult badShot =
        runTq4700({"--simulate", "--screenshot", "/nonexistent-dir/window.png"});
    EXPECT_EQ(badShot.exitCode, 1);

    // A save folder that cannot take the workbook is refused before the
    // meter is touched, not after a run.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notAFolder = dir.filePath("file");
    QFile(notAFolder).open(QIODevice::WriteOnly);
    for (const QString& folder : {QStringLiteral("/nonexistent-dir"), notAFolder}) {
        const ProcessResult refused = runTq4700({"--simulate", "--save-dir", folder});
        EXPECT_EQ(refused.exitCode, 2) << folder.toStdString();
        EXPECT_TRUE(refused.err.contains(folder)) << refused.err.toStdString();
    }

    // Refused before the start-up, like a bad option.
    const ProcessResult badTrace = runTq4700(
        {"--simulate", "--trace", "/nonexistent-dir/trace.txt", "--dump-controls", "/dev/null"});
    EXPECT_EQ(badTrace.exitCode, 2);
    EXPECT_TRUE(badTrace.err.contains("cannot write the trace file /nonexistent-dir/trace.txt"))
        << badTrace.err.toStdString();
    const ProcessResult gif = runTq4700({"--simulate", "--screenshot", "window.gif"});
    EXPECT_EQ(gif.exitCode, 2);
    EXPECT_TRUE(gif.err.contains(".png, .jpg or .bmp")) << gif.err.toStdString();

    const ProcessResult unknown = runTq4700({"--no-such-option"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("no-such-option"));
    EXPECT_TRUE(unknown.err.contains("--simulate"));  // the usage follows
}

}  // namespace
}  // namespace tq
