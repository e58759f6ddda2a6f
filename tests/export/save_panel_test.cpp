// The save panel on a window built here, with the record store filled as a
// run fills it. Workbooks are read back by python3-xlrd (check_xls.py).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <bit>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>

#include "common/number_text.h"
#include "common/virtual_clock.h"
#include "export/journal_workbook.h"
#include "export/save_panel.h"
#include "journal/journal_reader.h"
#include "journal/journal_writer.h"
#include "panel/message_boxes.h"
#include "panel/panel.h"
#include "panel/widget_app.h"
#include "store/record_store.h"
#include "support/fake_boxes.h"

namespace tq {
namespace {

namespace fs = std::filesystem;

// Cell c (0 = time) of run point k; distinct for every point and column.
double pointValue(int k, int c) {
    return c == 0 ? 0.25 * k : k * 100.0 + c + 1.0 / 3;
}
// Expected sheet rows: a point number or kEmpty.
constexpr int kEmpty = -1;

QString text(double v) {
    return QString::fromStdString(trimmedNumberText(v));
}

class SavePanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        buildPanel(&form, p);
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.show();
        p.CboFunc[1]->setCurrentText("ACV");
        p.CboFunc[9]->setCurrentText("Frequency");
        dir = fs::path(TQ_BINARY_DIR) / "tests/export/save_panel" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir);
        panel = std::make_unique<SavePanel>(
            p, clock, store, boxes, SaveSettings{.saveDir = QString::fromStdString(dir)},
            [] { return xls::TimeOfDay{.hour = 9, .minute = 30, .second = 15}; });
        panel->connectEvents();
        p.ComSaveFrame->setEnabled(true);  // as the end of a run leaves it
        panel->ComSaveFrame_Click();
    }

    // As a run of `count` points with `perScreen` points per screen does it;
    // cells for which `read` says no are left without a reading.
    void runPoints(int count, int perScreen, int recordLen,
                   const SeriesSet& series = SeriesSet::all()) {
        store.beginRun(series);
        if (journal) {
            RunSetup setup;
            for (int c = 1; c <= 10; ++c) {
                if (series.contains(StoreArray::Value, c)) {
                    setup.channels.push_back(
                        {.channel = c,
                         .function = p.CboFunc[c - 1]->currentText().toStdString(),
                         .rangeText = "AUTO",
                         .rangeValue = {},
                         .filter = ""});
                }
            }
            setup.mathFormula = "CH1-CH2";
            journal->runStarted(setup);
        }
        for (int r = 1; r <= recordLen + 1; ++r) {
            store.clearRow(RecordStore::kSlotRowBase + r);
        }
        for (int k = 1; k <= count; ++k) {
            const int row = RecordStore::kSlotRowBase + std::min(k, perScreen + 1);
            store.clearRow(row);
            store.setTime(row, pointValue(k, 0));
            for (int c = 1; c <= 11; ++c) {
                if (read(k, c)) {
                    store.setValue(row, c, pointValue(k, c));
                }
            }
            store.notePointTaken(k);
            if (journal) {
                StoredPoint point{.point = k, .seconds = store.time(row), .values = {}};
                for (int c = 1; c <= 11; ++c) {
                    point.values[static_cast<std::size_t>(c)] = store.value(row, c);
                }
                journal->pointStored(point);
            }
            if (k > perScreen && k < count) {
                store.scroll(series);
            }
        }
        if (journal) {
            journal->runEnded(RunEnd::Completed, count);
        }
        p.CboPoint->setCurrentText(text(perScreen));
        p.TxtRecordLen->setText(text(recordLen));
        p.TxtPoint1->setText(text(count));
    }

    // rows: runs of {point number of the first row (counting up), or
    // kEmpty for every row; row count}. A point's cell is empty where
    // `read` says no.
    void expectSheet(const fs::path& workbook, std::initializer_list<std::pair<int, int>> rows) {
        const fs::path expected = workbook.string() + ".expected";
        std::ofstream out(expected);
        out << "header 12\n";
        for (const char* h : {"Time(Sec)", " 1DCV", " 2ACV", " 3DCV", " 4DCV", " 5DCV", " 6DCV",
                              " 7DCV", " 8DCV", " 9DCV", " 10Frequency", "Math"}) {
            out << QByteArray(h).toHex().toStdString() << "\n";
        }
        int total = 0;
        for (const auto& run : rows) {
            total += run.second;
        }
        out << "rows " << total << "\n";
        for (const auto& [first, count] : rows) {
            for (int i = 0; i < count; ++i) {
                for (int c = 0; c < 12; ++c) {
                    char bits[17] = "-";
                    if (first != kEmpty && (c == 0 || read(first + i, c))) {
                        std::snprintf(bits, sizeof bits, "%016" PRIx64,
                                      std::bit_cast<std::uint64_t>(pointValue(first + i, c)));
                    }
                    out << bits << ' ';
                }
                out << "\n";
            }
        }
        out.close();
        const std::string command = std::string("/usr/bin/python3 ") + TQ_EXPORT_CHECKER + " '" +
                                    workbook.string() + "' '" + expected.string() + "' 2>&1";
        std::string output;
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char buf[512];
        while (std::fgets(buf, sizeof buf, pipe) != nullptr) {
            output += buf;
        }
        EXPECT_EQ(::pclose(pipe), 0) << output;
    }

    void expectPanelStaysOpen() {
        EXPECT_TRUE(p.Frame9->isVisible());
        EXPECT_TRUE(p.ComSaveFrame->isEnabled());
        EXPECT_TRUE(p.CmdSave->isEnabled());
        EXPECT_EQ(p.Label6->text(), "");
        EXPECT_EQ(clock.tickMs(), 0);
    }

    // The run's journal, written as the run stores its points.
    std::unique_ptr<JournalWriter> journal;
    std::function<bool(int k, int c)> read = [](int, int) { return true; };
    QApplication& app = test::widgetApp();  // before any widget
    QWidget form;
    Panel p;
    VirtualClock clock;
    RecordStore store;
    test::FakeBoxes boxes;
    std::unique_ptr<SavePanel> panel;
    fs::path dir;
    const fs::path firstFile = "Test-093015.xls";
};

TEST_F(SavePanelTest, StoppedRunExportsThePointsItTookAndClosesThePanel) {
    runPoints(30, 100, 200);
    QPalette red = p.ComSaveFrame->palette();
    red.setColor(QPalette::Button, Qt::red);
    p.ComSaveFrame->setPalette(red);
    QString shownDuringPause;
    clock.setYieldHook([&] { shownDuringPause = p.Label6->text(); });

    p.CmdSave->click();

    expectSheet(dir / firstFile, {{1, 30}});
    EXPECT_EQ(shownDuringPause, QString::fromUtf8(kSavedText));
    EXPECT_EQ(clock.tickMs(), kSavedTextMs);
    EXPECT_EQ(p.Label6->text(), "");
    EXPECT_TRUE(p.Frame9->isHidden());
    EXPECT_FALSE(p.ComSaveFrame->isEnabled());
    EXPECT_EQ(p.ComSaveFrame->palette().color(QPalette::Button),
              QApplication::palette(p.ComSaveFrame).color(QPalette::Button));
    EXPECT_TRUE(boxes.texts.empty());
    EXPECT_EQ(panel->lastSavedPath(), QString::fromStdString((dir / firstFile).string()));
    EXPECT_TRUE(
        panel->savedPathLabel()->text().remove(QChar(0x200B)).contains(panel->lastSavedPath()));
}

// The display fields a user may change after the run (points per screen,
// the newest point, the record length) move and cut nothing.
TEST_F(SavePanelTest, TheWorkbookIsTheRunWhateverTheFieldsSayAfterIt) {
    runPoints(500, 100, 500);
    ASSERT_EQ(store.time(9602), pointValue(1, 0));  // the run's first point
    panel->CmdSave_Click();
    const auto firstSize = fs::file_size(dir / firstFile);

    p.CboPoint->setCurrentText("200");
    p.TxtPoint1->setText("15000");
    p.TxtRecordLen->setText("12000");
    // Same second, same name: the earlier file stays as it was.
    panel->CmdSave_Click();
    expectSheet(dir / firstFile, {{1, 500}});
    EXPECT_EQ(fs::file_size(dir / firstFile), firstSize);
    expectSheet(dir / "Test-093015-2.xls", {{1, 500}});
    EXPECT_TRUE(panel->lastSavedPath().endsWith("/Test-093015-2.xls"));
    EXPECT_TRUE(panel->savedPathLabel()->text().contains("kept"));

    // Review moves slide the record, not the run's points.
    store.scrollReverse(SeriesSet::all());
    store.scrollReverse(SeriesSet::all());
    panel->CmdSave_Click();
    expectSheet(dir / "Test-093015-3.xls", {{1, 500}});

    runPoints(0, 100, 200);
    panel->CmdSave_Click();
    expectSheet(dir / "Test-093015-4.xls", {});
    EXPECT_TRUE(boxes.texts.empty());
}

// A cell holds a number only where the run stored one: no zero for a
// reading that did not come, for a channel the run does not fill (a
// main-unit run fills CH1 alone) or for math never formed.
TEST_F(SavePanelTest, CellsWithoutAReadingAreEmpty) {
    read = [](int k, int c) { return c == 1 ? k % 3 != 0 : c != 11 || k == 2; };
    runPoints(150, 100, 150, SeriesSet::mainUnit());
    // Columns a main-unit run leaves still hold an earlier run's history.
    store.setValue(10001 - 49, 5, 1.0);
    panel->CmdSave_Click();
    read = [](int k, int c) { return c == 1 ? k % 3 != 0 : c == 11 && k == 2; };
    expectSheet(dir / firstFile, {{1, 150}});
}

// The workbook a journal gives (tq4700 --export-xls) is the one Save Data
// writes for the same run, for both modes.
TEST_F(SavePanelTest, TheJournalsWorkbookIsTheSavedOne) {
    JournalSettings settings;
    settings.root = QString::fromStdString((dir / "runs").string());
    settings.rowFunctions = [this] {
        std::vector<std::string> functions;
        for (const QComboBox* combo : p.CboFunc) {
            functions.push_back(combo->currentText().toStdString());
        }
        return functions;
    };
    journal = std::make_unique<JournalWriter>(clock, settings);
    read = [](int k, int c) { return (k + c) % 5 != 0; };
    for (const SeriesSet& series : {SeriesSet::all(), SeriesSet::mainUnit()}) {
        runPoints(130, 100, 150, series);
        panel->CmdSave_Click();
        const xls::WriteResult exported =
            xls::writeWorkbookAs(xls::workbookPathFor(journal->path()).toStdString(),
                                 xls::journalWorkbook(readJournal(journal->path())));
        ASSERT_TRUE(exported.ok()) << exported.explanation;
        const bool mainUnit = !series.contains(StoreArray::Value, 2);
        const auto saved = dir / (mainUnit ? "Test-093015-2.xls" : "Test-093015.xls");
        const auto wanted = read;
        if (mainUnit) {
            read = [wanted](int k, int c) { return (c == 1 || c == 11) && wanted(k, c); };
        }
        expectSheet(saved, {{1, 130}});
        expectSheet(exported.path, {{1, 130}});
        read = wanted;
    }
}

TEST_F(SavePanelTest, BadBaseNamesAreRefusedAndNothingIsWritten) {
    runPoints(5, 100, 5);
    const QString names[] = {"",          ".",        "..",  "a/b", "..\\up",
                             "tab\there", "bell\x07", "a:b", "end."};
    for (const QString& name : names) {
        p.TxtFileName->setText(name);
        p.CmdSave->click();
        EXPECT_TRUE(panel->lastSavedPath().isEmpty()) << name.toStdString();
    }
    ASSERT_EQ(boxes.texts.size(), std::size(names));
    for (const std::string& message : boxes.texts) {
        EXPECT_THAT(message, ::testing::HasSubstr("!! ("));
    }
    EXPECT_TRUE(fs::is_empty(dir));
    expectPanelStaysOpen();
}

// The time goes before the extension a user typed, not after it.
TEST_F(SavePanelTest, ANameTypedWithItsExtensionGetsTheTimeBeforeIt) {
    runPoints(5, 100, 5);
    p.TxtFileName->setText("Test.xls");
    panel->CmdSave_Click();
    expectSheet(dir / firstFile, {{1, 5}});
}

TEST_F(SavePanelTest, AFailedWriteKeepsRecordPanelAndButtonForAnotherTry) {
    runPoints(5, 100, 5);
    fs::remove_all(dir);
    panel->CmdSave_Click();
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_THAT(boxes.texts[0], ::testing::HasSubstr(dir.string()));
    expectPanelStaysOpen();
    EXPECT_EQ(store.value(10005, 11), pointValue(5, 11));

    fs::create_directory(dir);  // mended: the same panel saves
    panel->CmdSave_Click();
    expectSheet(dir / firstFile, {{1, 5}});
    EXPECT_TRUE(p.Frame9->isHidden());
}

TEST_F(SavePanelTest, SaveIgnoresItsOwnSecondClickAndSaveDataTogglesThePanel) {
    runPoints(5, 100, 5);
    clock.setYieldHook([&] { p.CmdSave->click(); });
    p.CmdSave->click();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    p.ComSaveFrame->setEnabled(true);
    p.ComSaveFrame->click();
    EXPECT_FALSE(p.Frame9->isHidden());
    p.ComSaveFrame->click();
    EXPECT_TRUE(p.Frame9->isHidden());
}

TEST_F(SavePanelTest, WithoutAChosenFolderTheProgramFolderIsUsed) {
    SavePanel defaults(p, clock, store, boxes, SaveSettings{});
    EXPECT_EQ(defaults.exportFolder(), QCoreApplication::applicationDirPath().toStdString());
}

}  // namespace
}  // namespace tq
