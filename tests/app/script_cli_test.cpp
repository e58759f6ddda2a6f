#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "support/program_run.h"

// The built program driven by control scripts, as a lab user runs it: on
// the simulated meter, on simulated time, without a display.
namespace tq {
namespace {

using test::ProgramRun;
using test::runProgram;
using test::runTq4700;

QString writeScript(const QTemporaryDir& dir, const QByteArray& text) {
    const QString path = dir.filePath("test.tqs");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

TEST(ScriptCommandLine, FastTimeIsOnlyForTheSimulatedMeter) {
    const ProgramRun run = runTq4700({"--fast"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("--fast needs --simulate")) << run.err.toStdString();
}

TEST(ScriptCommandLine, AMalformedScriptExitsTwoBeforeDoingAnything) {
    QTemporaryDir dir;
    const QString shot = dir.filePath("never.png");
    const QString script = writeScript(dir, "screenshot " + shot.toUtf8() + "\nclik Command1\n");
    const ProgramRun run = runTq4700({"--simulate", "--fast", "--script", script});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("line 2: unknown command 'clik'")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(shot));

    const ProgramRun missing = runTq4700({"--simulate", "--script", dir.filePath("none.tqs")});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("cannot read the script")) << missing.err.toStdString();
}

TEST(ScriptCommandLine, AFailingExpectExitsOneNamingItsLineAndReleasesTheMeter) {
    QTemporaryDir dir;
    const QString trace = dir.filePath("trace.txt");
    const QString script =
        writeScript(dir, "# three rows\ntype TxtChNo 3\nexpect TxtChNo 4\nexit\n");
    const ProgramRun run =
        runTq4700({"--simulate", "--fast", "--trace", trace, "--script", script});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("script line 3: expect TxtChNo: read \"3\" not \"4\""))
        << run.err.toStdString();
    QFile lines(trace);
    ASSERT_TRUE(lines.open(QIODevice::ReadOnly));
    EXPECT_TRUE(lines.readAll().contains("system:local"));
}

TEST(ScriptCommandLine, AScriptFromStandardInputEndsTheProgramWhenNobodyCanSeeIt) {
    const ProgramRun run = runTq4700({"--simulate", "--fast", "--script", "-"},
                                     "type TxtChNo 2\nexpect TxtChNo 2\nexpect Lab1x(1) CH2\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
}

// The demo needs the whole window: the run, the math channel and the save
// panel composed into it.
TEST(ScriptCommandLine, TheDemoWritesAWorkbookAndAPictureOfTheRun) {
    QTemporaryDir dir;
    const ProgramRun demo = runProgram(QStringLiteral(TQ_SOURCE_DIR "/scripts/demo"),
                                       {QStringLiteral(TQ_BINARY_DIR), "--out", dir.path()});
    ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString() << demo.out.toStdString();

    const QRegularExpression workbookLine("^workbook: +(.*demo-\\d{6}\\.xls)$",
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch workbook = workbookLine.match(demo.out);
    ASSERT_TRUE(workbook.hasMatch()) << demo.out.toStdString();
    // The program itself names every workbook it writes.
    EXPECT_TRUE(demo.out.contains(
        QRegularExpression("^saved: " + QRegularExpression::escape(workbook.captured(1)) + "$",
                           QRegularExpression::MultilineOption)))
        << demo.out.toStdString();
    const ProgramRun check = runProgram(QStringLiteral("/usr/bin/python3"),
                                        {QStringLiteral(TQ_DEMO_CHECKER), workbook.captured(1)});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();

    EXPECT_TRUE(demo.out.contains("screenshot: " + dir.filePath("run.png")));
    const QImage shot(dir.filePath("run.png"));
    ASSERT_EQ(shot.size(), QSize(1016, 664));  // with the status line
    // Traces cross the plot: coloured points inside its black surface.
    int coloured = 0;
    for (int y = 125; y < 480; ++y) {
        for (int x = 350; x < 945; ++x) {
            const QColor c = shot.pixelColor(x, y);
            coloured += c.saturation() > 100 && c.value() > 100 ? 1 : 0;
        }
    }
    EXPECT_GT(coloured, 500);
}

}  // namespace
}  // namespace tq
