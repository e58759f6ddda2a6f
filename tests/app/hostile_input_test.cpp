// Every field a user can type into, fed texts no one should type, then
// every action that reads it: a short run, the pointer steps, the waveform
// and cursor moves and the export. Nothing crashes or hangs, the corrections
// are the window's own, the run's points stay where review and export find
// them, and no file is written outside the export folder.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <cmath>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/script/control_actions.h"
#include "channels/channel_table.h"
#include "channels/run_parameters.h"
#include "display/scale_controls.h"
#include "fault_check.h"

namespace tq::test {
namespace {

// Nothing, blanks, numbers beyond every range (Val reads "nan" and "inf" as
// 0), 10000 characters, control characters, a command after a line break
// or a ";", non-Latin text and path pieces.
std::vector<std::string> hostileTexts() {
    return {"",
            "   ",
            "-0",
            "1e309",
            "-1e309",
            "nan",
            "2147483648",
            "-2147483649",
            "0.0099999",
            "0.5",
            "12",
            "-5",
            std::string(10000, '9'),
            std::string(10000, 'x'),
            std::string("\x01\x02\x1b\t\r\n\x7f", 7),
            "0.001\n*RST",
            "0.1;*RST",
            "測試Ωµ🙂",
            "../x",
            "..",
            "a/b",
            "a\\b"};
}

// A field the user types into and the handler that reads it at once.
struct Field {
    std::string name;
    QLineEdit* edit = nullptr;
    QComboBox* combo = nullptr;
    std::function<void()> handler = {};  // a combo's pick; text boxes run theirs on change

    QString text() const { return edit ? edit->text() : combo->currentText(); }
    void type(const QString& t) const {
        if (edit) {
            edit->setText(t);
        } else {
            combo->setEditText(t);
        }
        if (handler) {
            handler();
        }
    }
};

// The handler that reads a field of this kind at once (a combo box's pick);
// none for the text boxes that run theirs on change.
std::function<void()> handlerOf(Form1& form, const std::string& kind, int i) {
    ScaleControls& scale = form.scaleControls();
    ChannelTable& table = form.channelTable();
    const std::map<std::string, std::function<void()>> handlers{
        {"CboPoint", [&scale] { scale.CboPoint_Click(); }},
        {"TxtRange", [&scale] { scale.DrawScaleLabels(); }},
        {"CboScale", [&scale, i] { scale.CboScale_Click(i); }},
        {"CboFunc", [&table, i] { table.CboFunc_Click(i); }},
        {"CboRange", [&scale, i] { scale.CboRange_Click(i); }},
        {"CboFilter", [&table, i] { table.CboFilter_Click(i); }}};
    const auto it = handlers.find(kind);
    return it == handlers.end() ? std::function<void()>() : it->second;
}

// The field of that name ("CboFunc(3)") on the window.
Field fieldOf(Form1& form, const std::string& name) {
    QObject* control = script::findControl(form, QString::fromStdString(name));
    const std::size_t open = name.find('(');
    const int index = open == std::string::npos ? 0 : std::stoi(name.substr(open + 1));
    return {.name = name,
            .edit = qobject_cast<QLineEdit*>(control),
            .combo = qobject_cast<QComboBox*>(control),
            .handler = handlerOf(form, name.substr(0, open), index)};
}

// Every file below a folder, by path.
std::set<std::string> filesBelow(const QString& folder) {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder.toStdString())) {
        out.insert(e.path().string());
    }
    return out;
}

// Fields whose text may make a run long on purpose: many points, a long
// interval.
bool mayRunLong(const std::string& field) {
    return field == "TxtRecordLen" || field == "TxtSleep";
}

struct Case {
    std::string field;
    Mode mode;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.field << (c.mode == Mode::ScanCard ? " in scan-card mode" : " in main-unit mode");
}

class HostileInput : public ::testing::TestWithParam<Case> {
  protected:
    // The corrections the window makes while the user types.
    void expectCorrected(FaultRig& rig, const Field& f, const std::string& typed,
                         const std::vector<bool>& rowsBefore) {
        Panel& p = rig.p();
        const double v = Val(typed);
        if (f.name == "TxtRecordLen") {
            const bool tooLong = v > 10000;
            ASSERT_EQ(rig.boxes.shown.size(), tooLong ? 1u : 0u);
            if (tooLong) {
                EXPECT_EQ(rig.boxes.shown[0].text.toStdString(), kRecordLengthMessage);
                EXPECT_EQ(p.TxtRecordLen->text(), "10000");
            } else {
                EXPECT_EQ(p.TxtRecordLen->text().toStdString(), typed);
            }
        } else if (f.name == "TxtSleep") {
            const bool tooShort = v < 0.01;
            EXPECT_EQ(p.TxtSleep->text().toStdString(), tooShort ? "0.01" : typed);
            EXPECT_EQ(!p.Frame8->isHidden(), tooShort);
        } else if (f.name == "TxtChNo") {
            for (std::size_t i = 0; i < 10; ++i) {
                const bool shown = !p.FrameCH[i]->isHidden();
                if (v > 0 && v <= 10) {
                    EXPECT_EQ(shown, static_cast<double>(i + 1) <= v) << i;
                } else {
                    EXPECT_EQ(shown, rowsBefore[i]) << i;
                }
            }
        }
    }

    // A run of a few points with the field as typed; a run the field does
    // not make long must end by itself.
    void shortRun(FaultRig& rig, const Field& f, const std::string& typed) {
        Panel& p = rig.p();
        if (f.name != "TxtRecordLen") {
            p.TxtRecordLen->setText("2");
        }
        bool guardFired = false;
        const int guard = rig.clock.startTimer(30 * 60 * 1000, [&] {
            guardFired = true;
            p.ChkTest[0]->setChecked(false);
        });
        rig.boxes.shown.clear();
        rig.start();
        rig.clock.stopTimer(guard);
        ASSERT_FALSE(rig.form->runDriver().isRunning());
        EXPECT_TRUE(p.Command1->isEnabled());
        if (!mayRunLong(f.name)) {
            EXPECT_FALSE(guardFired) << "the run did not end by itself";
        }
        // A channel count the field ignored is not scanned: the run scans
        // the rows shown and the field says how many.
        const double count = Val(typed);
        if (f.name == "TxtChNo" && rig.mode() == Mode::ScanCard && !(count > 0 && count <= 10)) {
            const auto shown =
                std::ranges::count_if(p.FrameCH, [](auto* row) { return !row->isHidden(); });
            EXPECT_EQ(p.TxtChNo->text().toStdString(), std::to_string(shown));
        }
        // Points per screen below one are put back to the default at Start.
        if (f.name == "CboPoint" && !(Val(typed) >= 1)) {
            EXPECT_EQ(p.CboPoint->currentText(), "100");
        }
        const int N = toInt32(Val(p.TxtRecordLen->text().toStdString())).value_or(0);
        RunFigures fig;
        fig.points = rig.drawnPoints;
        if (!guardFired && N >= 1) {
            EXPECT_EQ(fig.points, N);
        }
        // An offset beyond the plot's reach keeps readings out of the store.
        const bool offsetOffPlot =
            f.name.starts_with("TxtCal") && std::fabs(Val(f.text().toStdString())) >= 1e7;
        if (N >= 1) {
            checkPointsAgainstWire(rig, fig, offsetOffPlot);
        }
    }

    // Pointer steps, channel steps, waveform and cursor moves, reference
    // lines: each reads the fields as they stand.
    void reviewActions(FaultRig& rig) {
        PointerControls& pointer = rig.form->pointer();
        for (const int index : {0, 1, 1, 0}) {
            pointer.CmdMove_Click(index);
            pointer.CmdUD_Click(index);
            pointer.CmdMove1_Click(index);
            pointer.CmdMove2_Click(index);
            pointer.Command5_Click(index);
            pointer.Command6_Click(index);
        }
    }

    // The export writes one file straight into its folder, named after the
    // base name, or refuses the name and writes nothing.
    void save(FaultRig& rig) {
        const std::set<std::string> before = filesBelow(rig.root.path());
        rig.boxes.shown.clear();
        rig.form->savePanel().CmdSave_Click();
        const std::set<std::string> after = filesBelow(rig.root.path());
        std::vector<std::string> added;
        std::ranges::set_difference(after, before, std::back_inserter(added));
        const std::string base = rig.p().TxtFileName->text().toStdString();
        // A name a Windows disk could also hold; "-hhmmss-nnn.xls" and the
        // base must fit a file name's 255 bytes.
        const auto dotOrBlank = [](char c) { return c == '.' || c == ' '; };
        const bool badName =
            base.empty() || dotOrBlank(base.front()) || dotOrBlank(base.back()) ||
            base.find_first_of("/\\:*?\"<>|") != std::string::npos ||
            std::ranges::any_of(base, [](unsigned char c) { return c < 0x20 || c == 0x7f; }) ||
            base.size() + 15 > 255;
        ASSERT_EQ(!rig.boxes.shown.empty(), badName) << "base name " << base;
        if (badName) {
            EXPECT_TRUE(added.empty());
            return;
        }
        ASSERT_EQ(added.size(), 1u);
        const std::filesystem::path written(added[0]);
        EXPECT_EQ(written.parent_path().string(), rig.exportDir().toStdString());
        const std::string name = written.filename().string();
        EXPECT_TRUE(name.starts_with(base + "-") && name.ends_with(".xls")) << name;
        EXPECT_EQ(rig.form->savePanel().lastSavedPath().toStdString(), added[0]);
        std::filesystem::remove(written);
        // A saved record disables the button; the next value saves again.
        rig.p().ComSaveFrame->setEnabled(true);
    }
};

TEST_P(HostileInput, NoCrashNoHangNoLossNoStrayFile) {
    const Case c = GetParam();
    sim::Options meter;
    meter.seed = 7;
    FaultRig rig(meter, c.mode);
    Panel& p = rig.p();
    rig.setPointsPerScreen(10);
    // The math row reads its factor and offset at every point.
    p.ChkMath->setChecked(true);
    p.Cbo1[0]->setEditText("CH1");
    p.Cbo2->setEditText("加");
    p.Cbo1[1]->setEditText("CH2");
    const Field field = fieldOf(*rig.form, c.field);
    ASSERT_TRUE(field.edit != nullptr || field.combo != nullptr);
    const QString original = field.text();
    for (const std::string& typed : hostileTexts()) {
        SCOPED_TRACE(c.field + " = \"" + typed.substr(0, 40) + "\"");
        std::vector<bool> rowsBefore;
        for (const auto* frame : p.FrameCH) {
            rowsBefore.push_back(!frame->isHidden());
        }
        // The warning strip of the text before is gone.
        rig.clock.advance(4000);
        rig.boxes.shown.clear();
        field.type(QString::fromStdString(typed));
        expectCorrected(rig, field, typed, rowsBefore);
        shortRun(rig, field, typed);
        // The run rewrites the pointer's own fields; type again for the review.
        field.type(QString::fromStdString(typed));
        reviewActions(rig);
        save(rig);
        if (HasFailure()) {
            return;
        }
        field.type(original);
    }
}

// Every field the user can type into; the arrays by their first elements.
std::vector<Case> allFields(Mode mode) {
    std::vector<Case> out;
    for (const char* name :
         {"TxtChNo", "TxtRecordLen", "TxtSleep", "TxtTrigDelay", "TxtScanTimer", "TxtPoint",
          "TxtCurPoint", "TxtPoint1", "Text2", "Text3", "TxtFileName", "CboPoint", "Cbo2"}) {
        out.push_back({name, mode});
    }
    for (const auto& [array, count] :
         {std::pair("TxtRange", 2), std::pair("CboScale", 2), std::pair("Cbo1", 2),
          std::pair("TxtCal", 10), std::pair("CboFunc", 10), std::pair("CboRange", 10),
          std::pair("CboFilter", 10)}) {
        for (int i = 0; i < count; ++i) {
            out.push_back({std::string(array) + "(" + std::to_string(i) + ")", mode});
        }
    }
    return out;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
    std::string n = info.param.field;
    std::ranges::replace(n, '(', '_');
    std::erase(n, ')');
    return (info.param.mode == Mode::ScanCard ? "ScanCard_" : "MainUnit_") + n;
}

INSTANTIATE_TEST_SUITE_P(ScanCard, HostileInput, ::testing::ValuesIn(allFields(Mode::ScanCard)),
                         caseName);
INSTANTIATE_TEST_SUITE_P(
    MainUnit, HostileInput,
    ::testing::Values(Case{"TxtRecordLen", Mode::MainUnit}, Case{"TxtSleep", Mode::MainUnit},
                      Case{"TxtTrigDelay", Mode::MainUnit}, Case{"TxtCal(0)", Mode::MainUnit},
                      Case{"CboFunc(0)", Mode::MainUnit}, Case{"CboRange(0)", Mode::MainUnit},
                      Case{"CboFilter(0)", Mode::MainUnit}, Case{"CboPoint", Mode::MainUnit},
                      Case{"TxtPoint1", Mode::MainUnit}, Case{"TxtCurPoint", Mode::MainUnit}),
    caseName);

}  // namespace
}  // namespace tq::test
