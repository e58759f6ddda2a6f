#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonDocument>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <memory>

#include "fixture_compare.h"
#include "panel/control_dump.h"
#include "panel/panel.h"
#include "widget_app.h"

namespace tq {
namespace {

QJsonArray fixtureControls() {
    QFile file(QStringLiteral(TQ_FIXTURES "/controls.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read controls.json";
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object()["controls"].toArray();
}

QHash<QString, QJsonObject> byName(const QJsonArray& controls) {
    QHash<QString, QJsonObject> map;
    for (const QJsonValue& v : controls) {
        map.insert(v.toObject()["name"].toString(), v.toObject());
    }
    return map;
}

class InventoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::widgetApp();
        form_ = std::make_unique<QWidget>();
        form_->setObjectName("Form1");
        buildPanel(form_.get(), panel_);
    }

    std::unique_ptr<QWidget> form_;
    Panel panel_;
};

// Kind, container, geometry, texts, lists, initial states, colours and fonts
// of every control against the inventory written down from the window's
// design tables.
TEST_F(InventoryTest, EveryListedControlIsBuiltAsDesigned) {
    const QJsonArray expected = fixtureControls();
    ASSERT_GT(expected.size(), 250);
    const QHash<QString, QJsonObject> built = byName(describeControls(form_.get()));
    for (const QJsonValue& v : expected) {
        const QJsonObject want = v.toObject();
        const QString name = want["name"].toString();
        if (!built.contains(name)) {
            ADD_FAILURE() << "missing control " << name.toStdString();
            continue;
        }
        QStringList mismatches;
        test::compareJson(name, want, built[name], mismatches);
        for (const QString& m : mismatches) {
            ADD_FAILURE() << m.toStdString();
        }
    }
}

TEST_F(InventoryTest, NoControlBeyondTheInventoryAndNoNameTwice) {
    const QHash<QString, QJsonObject> expected = byName(fixtureControls());
    QSet<QString> seen;
    for (const QJsonValue& v : describeControls(form_.get())) {
        const QString name = v.toObject()["name"].toString();
        EXPECT_TRUE(expected.contains(name)) << "unlisted control " << name.toStdString();
        EXPECT_FALSE(seen.contains(name)) << "name used twice: " << name.toStdString();
        seen.insert(name);
    }
}

// Handlers reach the controls through the Panel: every pointer must lead to
// the control of that name.
template <typename T, std::size_t N>
void expectArrayNamed(const std::array<T*, N>& members, const char* base) {
    for (std::size_t i = 0; i < N; ++i) {
        EXPECT_EQ(members[i] ? members[i]->objectName() : QString(),
                  QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i));
    }
}

#define NAMED(member) std::pair<const QObject*, const char*>(p.member, #member)
#define ARRAY_NAMED(member) expectArrayNamed(p.member, #member)

TEST_F(InventoryTest, PanelPointersLeadToTheirControls) {
    const Panel& p = panel_;
    EXPECT_EQ(p.Form1, form_.get());
    const std::vector<std::pair<const QObject*, const char*>> singles{
        NAMED(Frame1),      NAMED(Frame4),        NAMED(Frame3),       NAMED(FrameMath),
        NAMED(Frame5),      NAMED(FrameMsg),      NAMED(Frame8),       NAMED(Frame9),
        NAMED(FramePoint1), NAMED(FramePoint),    NAMED(FrameMa),      NAMED(FrameOther),
        NAMED(Frame6),      NAMED(Frame7),        NAMED(Frame2),       NAMED(Command1),
        NAMED(ChkScanMode), NAMED(TxtChNo),       NAMED(CboPoint),     NAMED(TxtRecordLen),
        NAMED(TxtSleep),    NAMED(CmdOther),      NAMED(CmdEnd),       NAMED(ComSaveFrame),
        NAMED(Label3),      NAMED(TxtPoint1),     NAMED(TxtCurPoint),  NAMED(ComdReadMem),
        NAMED(Text9),       NAMED(Timer1),        NAMED(ChkPoint),     NAMED(PicScope),
        NAMED(Shape2),      NAMED(LineX0),        NAMED(LineY0),       NAMED(Cbo2),
        NAMED(Text2),       NAMED(Text3),         NAMED(Text4),        NAMED(ChkMath),
        NAMED(LabSN),       NAMED(LabMsg),        NAMED(Label4),       NAMED(Label7),
        NAMED(Label5),      NAMED(TxtFileName),   NAMED(CmdSave),      NAMED(Label6),
        NAMED(Shape3),      NAMED(Text10),        NAMED(Text11),       NAMED(ChkPoint1),
        NAMED(TxtPoint),    NAMED(TxtPointValue), NAMED(TxtScanTimer), NAMED(TxtTrigDelay),
        NAMED(Text5),       NAMED(LabF7),         NAMED(Text1),        NAMED(Text6),
        NAMED(Text7),       NAMED(Text8),         NAMED(Check1),
    };
    for (const auto& [object, name] : singles) {
        EXPECT_EQ(object ? object->objectName() : QString(), QLatin1String(name));
    }
    ARRAY_NAMED(FrameCH);
    ARRAY_NAMED(FrameY1);
    ARRAY_NAMED(FrameX);
    ARRAY_NAMED(ChkTest);
    ARRAY_NAMED(CmdMove1);
    ARRAY_NAMED(CmdMove2);
    ARRAY_NAMED(Lab1x);
    ARRAY_NAMED(Shape1);
    ARRAY_NAMED(CboFunc);
    ARRAY_NAMED(CboRange);
    ARRAY_NAMED(CboFilter);
    ARRAY_NAMED(ChkCH);
    ARRAY_NAMED(CboScale);
    ARRAY_NAMED(LineYhl);
    ARRAY_NAMED(LineX);
    ARRAY_NAMED(LineY);
    ARRAY_NAMED(LabY);
    ARRAY_NAMED(LabY1);
    ARRAY_NAMED(LabX);
    ARRAY_NAMED(LabX1);
    ARRAY_NAMED(Label1);
    ARRAY_NAMED(Label2);
    ARRAY_NAMED(Cbo1);
    ARRAY_NAMED(Lab1f);
    ARRAY_NAMED(TxtDshow);
    ARRAY_NAMED(Command2);
    ARRAY_NAMED(CmdMove);
    ARRAY_NAMED(CmdUD);
    ARRAY_NAMED(Command5);
    ARRAY_NAMED(Command6);
    ARRAY_NAMED(TxtRange);
    ARRAY_NAMED(TxtCal);
}

// The math row must read left to right as its formula does, each field in
// the blank it stands for and none over another.
// A narrow box shows a long text from its start, whether code set it or a
// pick did ("requency" otherwise); typing keeps the cursor where it types.
TEST_F(InventoryTest, EditableBoxesShowTextsFromTheirStart) {
    QComboBox* func = panel_.CboFunc[0];
    func->setEditText("Frequency");
    EXPECT_EQ(func->lineEdit()->cursorPosition(), 0);
    func->setCurrentIndex(func->findText("Period"));
    EXPECT_EQ(func->lineEdit()->cursorPosition(), 0);
    panel_.CboFilter[0]->setEditText("200Hz");
    EXPECT_EQ(panel_.CboFilter[0]->lineEdit()->cursorPosition(), 0);

    QComboBox* points = panel_.CboPoint;
    points->lineEdit()->selectAll();
    QTest::keyClicks(points, "30");
    EXPECT_EQ(points->currentText(), "30");
    EXPECT_EQ(points->lineEdit()->cursorPosition(), 2);
}

TEST_F(InventoryTest, MathRowReadsLeftToRightWithoutOverlap) {
    const Panel& p = panel_;
    const std::array<QWidget*, 8> order{p.Shape1[10], p.Label1[0], p.Cbo1[0], p.Cbo2,
                                        p.Cbo1[1],    p.Text2,     p.Text3,   p.Text4};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        EXPECT_LE(order[i]->geometry().right(), order[i + 1]->geometry().left())
            << order[i]->objectName().toStdString();
    }
    EXPECT_LE(p.Text4->geometry().right(), p.FrameMath->width());
    // The formula's "+" lies between the factor and the offset, "=" after the offset.
    const QFontMetrics metrics(p.Label1[1]->font());
    const QString formula = p.Label1[1]->text();
    const int label = p.Label1[1]->x();
    const int plus = label + metrics.horizontalAdvance(formula.left(formula.indexOf('+')));
    const int equals = label + metrics.horizontalAdvance(formula.left(formula.indexOf('=')));
    EXPECT_LT(p.Text2->geometry().right(), plus);
    EXPECT_GT(p.Text3->x(), plus);
    EXPECT_LT(p.Text3->geometry().right(), equals);
    EXPECT_GT(p.Text4->x(), equals);
}

}  // namespace
}  // namespace tq
