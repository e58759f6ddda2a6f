// The run journal as a user meets it: a scripted run on the simulated meter
// prints its journal, the journal becomes the very workbook Save Data wrote,
// and a journal folder that cannot be written leaves the run and the save
// alone with one warning.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/program_run.h"

namespace tq {
namespace {

using test::captured;
using test::ProgramRun;
using test::runProgram;
using test::runTq4700;

// Two channels, one on a range the simulated signal overloads (so math has
// nothing to form);
// then Save Data.
constexpr const char* kRunAndSave = R"(type TxtChNo 2
pick CboFunc(0) DCV
pick CboRange(0) 10V
pick CboFunc(1) ACV
pick CboRange(1) 100mV
pick Cbo1(0) CH1
pick Cbo2 減
pick Cbo1(1) CH2
type Text2 1
type Text3 8
pick CboPoint 100
type TxtRecordLen 150
type TxtSleep 0.1
click Command1
wait-run
click ComSaveFrame
type TxtFileName run
click CmdSave
expect Label6
exit
)";

// Every cell of two workbooks, read back by xlrd: type and value alike.
constexpr const char* kSameCells = R"(
import sys, xlrd
a, b = (xlrd.open_workbook(p).sheet_by_index(0) for p in sys.argv[1:3])
cells = lambda s: [(s.cell_type(r, c), s.cell_value(r, c)) for r in range(s.nrows) for c in range(s.ncols)]
overloads = sum(v == 9.9e37 for t, v in cells(a))
blanks = sum(t in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK) for t, v in cells(a))
print(a.nrows, a.ncols, overloads, blanks)
sys.exit(0 if (a.nrows, a.ncols) == (b.nrows, b.ncols) and cells(a) == cells(b) else 1)
)";

TEST(JournalCommandLine, TheJournalOfARunExportsToTheWorkbookSaveDataWrote) {
    QTemporaryDir dir;
    const ProgramRun window =
        runTq4700({"--simulate", "--fast", "--journal-dir", dir.filePath("runs"), "--save-dir",
                   dir.path(), "--script", "-"},
                  kRunAndSave);
    ASSERT_EQ(window.exitCode, 0) << window.err.toStdString();
    const QString journal = captured(window.out, "^journal: (.*)$");
    const QString saved = captured(window.out, "^saved: (.*)$");
    ASSERT_TRUE(journal.startsWith(dir.filePath("runs/"))) << window.out.toStdString();
    EXPECT_TRUE(journal.endsWith("-TW00000001.csv")) << journal.toStdString();

    QFile file(journal);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("\npoint,time_s,CH1,CH2,math\n")) << text.left(2000).data();
    EXPECT_TRUE(text.endsWith("\n# end: completed, 150 points\n"));

    const QString out = dir.filePath("from-journal.xls");
    const ProgramRun exported = runTq4700({"--export-xls", journal, out});
    ASSERT_EQ(exported.exitCode, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, "saved: " + out + "\n");
    const ProgramRun same = runProgram("/usr/bin/python3", {"-c", kSameCells, saved, out});
    EXPECT_EQ(same.exitCode, 0) << same.out.toStdString() << same.err.toStdString();
    // 151 rows of 12; overloads on CH2 and missing math among them.
    const QStringList figures = same.out.trimmed().split(' ');
    ASSERT_EQ(figures.size(), 4);
    EXPECT_EQ(figures[0] + " " + figures[1], "151 12");
    EXPECT_GT(figures[2].toInt(), 0);
    EXPECT_GT(figures[3].toInt(), 0);
}

TEST(JournalCommandLine, AnUnwritableJournalFolderLeavesTheRunAndTheSaveAlone) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const ProgramRun window =
        runTq4700({"--simulate", "--fast", "--journal-dir", blocker.fileName(), "--save-dir",
                   dir.path(), "--script", "-"},
                  kRunAndSave);
    ASSERT_EQ(window.exitCode, 0) << window.err.toStdString();
    EXPECT_FALSE(window.out.contains("journal: "));
    EXPECT_TRUE(window.out.contains("saved: "));
    EXPECT_EQ(window.err.count("tq4700: journal: "), 1) << window.err.toStdString();
}

}  // namespace
}  // namespace tq
