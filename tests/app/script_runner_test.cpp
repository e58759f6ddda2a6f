#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <string>

#include "script_rig.h"
#include "support/program_run.h"

namespace tq::test {
namespace {

// The text of one control in a dump the script wrote.
std::string dumpedText(const QString& path, const QString& name) {
    return dumpedControl(fileBytes(path), name)["text"].toString().toStdString();
}

std::string withDir(const char* text, const QTemporaryDir& dir) {
    return QString(text).replace("DIR", dir.path()).toStdString();
}

long countLines(const std::vector<std::string>& lines, const std::string& line) {
    return std::count(lines.begin(), lines.end(), line + "\n");
}

TEST(ScriptRunner, EveryCommandDrivesTheWindowThroughItsHandlers) {
    QTemporaryDir dir;
    ScriptRig rig(dir.path());
    const int status = rig.run(withDir(R"(# two channels and their difference
type TxtChNo 2
pick CboFunc(1) ACV
pick CboRange(1) 10V
pick Cbo1(0) CH1
pick Cbo2 減
pick Cbo1(1) CH2
answer ok
type TxtRecordLen 20000
expect TxtRecordLen 10000
type TxtRecordLen 20
click Command1
wait-run
expect Text5 20
expect ChkTest(0) 測試
screenshot DIR/run.png
dump DIR/controls.json
click ComSaveFrame
type TxtFileName scripted run
click CmdSave
exit
)",
                                       dir));
    ASSERT_EQ(status, 0) << rig.failure();

    // The pick ran the function handler (the filter shows for ACV), the
    // run took its 20 points over both channels.
    EXPECT_FALSE(rig.p.CboFilter[1]->isHidden());
    const auto lines = rig.hostLines();
    EXPECT_EQ(countLines(lines, "Route:scan:count 2"), 1);
    EXPECT_EQ(countLines(lines, "ROUT:SCAN:STEP"), 20);
    EXPECT_FALSE(rig.p.Text4->text().isEmpty());

    EXPECT_FALSE(QImage(dir.filePath("run.png")).isNull());
    EXPECT_EQ(dumpedText(dir.filePath("controls.json"), "Text5"), "20");
    const QStringList books = QDir(dir.path()).entryList({"scripted run-*.xls"}, QDir::Files);
    EXPECT_EQ(books.size(), 1);
    EXPECT_FALSE(rig.p.ComSaveFrame->isEnabled());
}

TEST(ScriptRunner, PausesAndResumesARunFromInsideItsYields) {
    QTemporaryDir dir;
    ScriptRig rig;
    const int status = rig.run(withDir(R"(type TxtChNo 1
type TxtRecordLen 40
click Command1
wait 3000
click ChkTest(1)
wait 20000
dump DIR/held1.json
wait 20000
dump DIR/held2.json
click ChkTest(1)
wait-run
expect Text5 40
exit
)",
                                       dir));
    ASSERT_EQ(status, 0) << rig.failure();
    const std::string held = dumpedText(dir.filePath("held1.json"), "Text5");
    EXPECT_EQ(dumpedText(dir.filePath("held2.json"), "Text5"), held);
    EXPECT_GT(std::stoi(held), 0);
    EXPECT_LT(std::stoi(held), 40);
    // The run went on after the hold: 40 points and the held 40 s.
    EXPECT_EQ(countLines(rig.hostLines(), "ROUT:SCAN:STEP"), 40);
    EXPECT_GT(rig.time.tickMs(), 43000);
}

TEST(ScriptRunner, AFailureNamesItsLineAndTheReason) {
    const struct {
        const char* script;
        const char* failure;
    } rows[] = {
        {"type TxtChNo 2\nexpect TxtChNo 3\n",
         "script line 2: expect TxtChNo: read \"2\" not \"3\""},
        {"click NoSuch", "script line 1: click NoSuch: no control is named NoSuch"},
        {"pick CboFunc(0) Volts",
         "script line 1: pick CboFunc(0): \"Volts\" is not in the list of CboFunc(0) (DCV, ACV, "
         "Frequency, Period, 2WR, 4WR)"},
        {"click ComSaveFrame", "script line 1: click ComSaveFrame: ComSaveFrame is disabled"},
        {"type TxtCurPoint 3", "script line 1: type TxtCurPoint: TxtCurPoint is hidden"},
        {"type TxtScanTimer 0.5",
         "script line 1: type TxtScanTimer: TxtScanTimer is outside the window"},
        {"keys Command1 1",
         "script line 1: keys Command1: Command1 is a command, not a text box or an editable "
         "combo box"},
        {"click TxtChNo",
         "script line 1: click TxtChNo: TxtChNo is a textbox, not something that can be clicked"},
        {"expect Shape2 x", "script line 1: expect Shape2: Shape2 has no caption or text"},
        {"type TxtRecordLen 20000",
         "script line 1: type TxtRecordLen: message box \"記錄長度最高10000點!!\" with no answer "
         "waiting"},
        {"answer yes\ntype TxtRecordLen 20000",
         "script line 2: type TxtRecordLen: message box \"記錄長度最高10000點!!\" takes ok, not "
         "the answer yes of line 1"},
        {"answer ok\n\nexit",
         "script line 3: exit: the answer of line 1 was never taken by a message box"},
        {"answer ok",
         "script line 1: answer ok: the answer of line 1 was never taken by a message "
         "box"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        ScriptRig rig;
        EXPECT_EQ(rig.run(row.script), 1);
        EXPECT_EQ(rig.failure(), row.failure);
    }
}

// A failure, a wait for a held run (which would never end) and an exit
// while a run goes: the run is stopped or ends before the program leaves.
TEST(ScriptRunner, ARunGoingWhenTheScriptEndsIsOverBeforeItLeaves) {
    const struct {
        const char* script;
        int status;
        const char* failure;
    } rows[] = {
        // The mode switch lies under the mode banner (FrameMa) while a run goes.
        {"click Command1\nwait 2000\nclick ChkScanMode\nexit\n", 1,
         "script line 5: click ChkScanMode: ChkScanMode is covered by Label1(6)"},
        {"click Command1\nwait 1000\nclick ChkTest(1)\nwait-run\n", 1,
         "script line 6: wait-run: the run is held (ChkTest(1) is off) and would never end"},
        {"click Command1\nwait 5000\nexit\n", 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.script);
        ScriptRig rig;
        EXPECT_EQ(rig.run(std::string("type TxtChNo 1\ntype TxtRecordLen 500\n") + row.script),
                  row.status);
        EXPECT_EQ(rig.failure(), row.failure);
        EXPECT_FALSE(rig.runGoingAtEnd);
        EXPECT_LT(countLines(rig.hostLines(), "ROUT:SCAN:STEP"), 500);
        EXPECT_TRUE(rig.p.Command1->isEnabled());
    }
}

// Key by key, a value is judged when the field is left; `type` judges it
// as typed and confirmed. The run then uses what the user meant.
TEST(ScriptRunner, KeysAndTypeAreJudgedAsAUsersFinishedTyping) {
    ScriptRig rig;
    EXPECT_EQ(rig.run("keys TxtChNo 12\n"
                      "expect TxtChNo 10\n"
                      "expect Label4 測試CH數只能 1 ~ 10 !! (Channels: 1 to 10)\n"
                      "keys TxtChNo 2\n"
                      "expect Lab1x(1) CH2\n"
                      "keys TxtSleep 0.05\n"
                      "expect TxtSleep 0.05\n"
                      "type CboPoint 20\n"
                      "expect LabX(1) 3\n"
                      "type CboFunc(1) ACV\n"
                      "expect CboRange(1) 100V\n"
                      "keys TxtRecordLen 30\n"
                      "click Command1\n"
                      "wait-run\n"
                      "expect Text5 30\n"),
              0)
        << rig.failure();
    EXPECT_EQ(countLines(rig.hostLines(), "Route:scan:count 2"), 1);
    EXPECT_EQ(countLines(rig.hostLines(), "ROUT:SCAN:STEP"), 30);
    EXPECT_EQ(countLines(rig.hostLines(), "rout:scan:func 2,\"VOLT:AC\""), 30);
}

TEST(ScriptRunner, ReadsTheWindowAsTheCommandsHandlerLeftIt) {
    ScriptRig rig;
    // The function handler yields while it looks for a donor range; the
    // next command still sees its finished work.
    EXPECT_EQ(rig.run("type TxtChNo 3\npick CboFunc(2) Frequency\nexpect TxtScanTimer 0.3\n"
                      "click CmdOther\nexpect TxtScanTimer 0.3\ntype TxtScanTimer 0.5\n"),
              0)
        << rig.failure();
    EXPECT_EQ(rig.text(rig.p.TxtScanTimer), "0.5");
}

}  // namespace
}  // namespace tq::test
