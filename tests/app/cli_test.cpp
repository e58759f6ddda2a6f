#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
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

ProcessResult runTq4700(const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
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

TEST(Tq4700CommandLine, WritesTheControlListAndTheScreenshotAndExits) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString json = dir.filePath("controls.json");
    const QString png = dir.filePath("window.png");
    const ProcessResult run = runTq4700({"--dump-controls", json, "--screenshot", png});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const QSet<QString> expected = controlNames(readAll(TQ_FIXTURES "/controls.json"));
    ASSERT_GT(expected.size(), 250);
    EXPECT_EQ(controlNames(readAll(json)), expected);

    const QImage shot(png);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(1016, 638));
    EXPECT_EQ(shot.pixelColor(150, 5), QColor(0, 0, 64));         // the window
    EXPECT_EQ(shot.pixelColor(100, 300), QColor(224, 224, 224));  // the channel panel
    EXPECT_EQ(shot.pixelColor(500, 250), QColor(0, 0, 0));        // the plot
}

TEST(Tq4700CommandLine, AnswersHelpAndVersion) {
    const ProcessResult help = runTq4700({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--screenshot"));
    EXPECT_TRUE(help.out.contains("--dump-controls"));

    const ProcessResult version = runTq4700({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("tq4700 ")) << version.out.toStdString();
}

TEST(Tq4700CommandLine, FailsOnAnUnwritableFileOrUnknownOption) {
    const ProcessResult unwritable =
        runTq4700({"--dump-controls", "/nonexistent-dir/controls.json"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("/nonexistent-dir/controls.json"));

    const ProcessResult badShot = runTq4700({"--screenshot", "/nonexistent-dir/window.png"});
    EXPECT_EQ(badShot.exitCode, 1);

    EXPECT_NE(runTq4700({"--no-such-option"}).exitCode, 0);
}

}  // namespace
}  // namespace tq
