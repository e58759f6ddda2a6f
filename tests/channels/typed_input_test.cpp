// What a user types, key by key, into the fields whose handlers correct or
// act: judged once the user is done with the field, never half-typed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "channel_window.h"
#include "display/scale_controls.h"
#include "panel/typed_input.h"

namespace tq {
namespace {

class TypedInputTest : public ::testing::Test, public test::ChannelWindow {
  protected:
    void SetUp() override {
        form->resize(1016, 638);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Focuses the field, selects its text and types over it, without
    // finishing.
    static void typeOver(QWidget* field, const QString& text) {
        field->setFocus();
        auto* edit = qobject_cast<QLineEdit*>(field);
        if (auto* box = qobject_cast<QComboBox*>(field)) {
            edit = box->lineEdit();
        }
        edit->selectAll();
        QTest::keyClicks(field, text);
    }

    int shownRows() const {
        int n = 0;
        for (const Frame* row : p.FrameCH) {
            n += row->isHidden() ? 0 : 1;
        }
        return n;
    }

    bool warningShown() const { return !p.Frame8->isHidden(); }

    QStringList bottomLabels() const {
        QStringList out;
        for (const Label* l : p.LabX) {
            out << l->text();
        }
        return out;
    }
};

TEST_F(TypedInputTest, IntervalIsJudgedOnlyWhenTheUserLeavesTheField) {
    typeOver(p.TxtSleep, "0.0");
    // "", "0", "0." and "0.0" lie below the floor and are left alone.
    EXPECT_EQ(p.TxtSleep->text(), "0.0");
    EXPECT_FALSE(warningShown());
    EXPECT_EQ(TypedInput::settledText(p.TxtSleep), "0.01");
    QTest::keyClicks(p.TxtSleep, "5");
    QTest::keyClick(p.TxtSleep, Qt::Key_Tab);
    EXPECT_FALSE(p.TxtSleep->hasFocus());
    EXPECT_EQ(p.TxtSleep->text(), "0.05");
    EXPECT_EQ(TypedInput::settledText(p.TxtSleep), "0.05");
    EXPECT_FALSE(warningShown());

    typeOver(p.TxtSleep, "0.001");
    QTest::keyClick(p.TxtSleep, Qt::Key_Return);
    EXPECT_EQ(p.TxtSleep->text(), "0.01");
    EXPECT_TRUE(warningShown());
    EXPECT_EQ(p.Label4->text(), QString::fromUtf8(kIntervalWarning));
}

TEST_F(TypedInputTest, ChannelCountOutOfRangeGoesBackToTheCountInEffectWithAWarning) {
    const int atStart = shownRows();
    typeOver(p.TxtChNo, "5");
    EXPECT_EQ(shownRows(), atStart);  // not acted on while typing
    QTest::keyClick(p.TxtChNo, Qt::Key_Tab);
    EXPECT_EQ(shownRows(), 5);
    EXPECT_FALSE(warningShown());

    typeOver(p.TxtChNo, "1");
    EXPECT_EQ(shownRows(), 5);
    QTest::keyClicks(p.TxtChNo, "2");
    QTest::keyClick(p.TxtChNo, Qt::Key_Return);
    EXPECT_EQ(p.TxtChNo->text(), "5");
    EXPECT_EQ(shownRows(), 5);
    EXPECT_TRUE(warningShown());
    EXPECT_EQ(p.Label4->text(), QString::fromUtf8(kChannelCountWarning));

    // Set by code, an out-of-range count is still ignored without a word.
    p.Frame8->hide();
    p.TxtChNo->setText("12");
    EXPECT_EQ(shownRows(), 5);
    EXPECT_FALSE(warningShown());
}

TEST_F(TypedInputTest, RecordLengthAboveTheLimitIsCutOnceWhenFinished) {
    typeOver(p.TxtRecordLen, "20000");
    EXPECT_TRUE(boxes.shown.empty());
    QTest::keyClick(p.TxtRecordLen, Qt::Key_Tab);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(p.TxtRecordLen->text(), "10000");
}

TEST_F(TypedInputTest, TypedPointsPerScreenIsAPickOrIsCorrected) {
    // A listed number confirmed with Enter, then one the list lacks.
    typeOver(p.CboPoint, "50");
    QTest::keyClick(p.CboPoint, Qt::Key_Return);
    EXPECT_EQ(p.CboPoint->currentText(), "50");
    EXPECT_EQ(scale.PointStep, 180);
    EXPECT_EQ(bottomLabels().mid(0, 3), QStringList({"1", "6", "11"}));

    typeOver(p.CboPoint, "30");
    EXPECT_DOUBLE_EQ(scale.PointsPerDiv, 5);
    QTest::keyClick(p.CboPoint, Qt::Key_Tab);
    EXPECT_DOUBLE_EQ(scale.PointsPerDiv, 3);
    EXPECT_EQ(bottomLabels().last(), "31");
    EXPECT_FALSE(warningShown());

    for (const char* wrong : {"0", "2.5", "20001", "5x"}) {
        typeOver(p.CboPoint, wrong);
        QTest::keyClick(p.CboPoint, Qt::Key_Return);
        EXPECT_EQ(p.CboPoint->currentText(), "30") << wrong;
        EXPECT_DOUBLE_EQ(scale.PointsPerDiv, 3) << wrong;
        EXPECT_TRUE(warningShown()) << wrong;
        EXPECT_EQ(p.Label4->text(), QString::fromUtf8(kPointsPerScreenWarning));
        p.Frame8->hide();
    }
}

// A command that reads the fields finishes the typing first.
TEST_F(TypedInputTest, FinishingAllJudgesWhatIsStillBeingTyped) {
    typeOver(p.TxtChNo, "3");
    typeOver(p.TxtSleep, "0");  // TxtChNo lost the focus: judged
    EXPECT_EQ(shownRows(), 3);
    EXPECT_EQ(p.TxtSleep->text(), "0");
    TypedInput::finishAll(form.get());
    EXPECT_EQ(p.TxtSleep->text(), "0.01");
    EXPECT_TRUE(warningShown());
}

}  // namespace
}  // namespace tq
