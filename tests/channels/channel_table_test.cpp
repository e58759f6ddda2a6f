#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include "channel_window.h"

namespace tq {
namespace {

class ChannelTableTest : public ::testing::Test, public test::ChannelWindow {
  protected:
    void showAllRows() {
        for (Frame* row : p.FrameCH) {
            row->show();
        }
    }
};

TEST_F(ChannelTableTest, FourWireTakesTheRowFiveUpForGood) {
    showAllRows();
    pick(p.CboFunc[2], "4WR");
    EXPECT_EQ(items(p.CboRange[2]),
              QStringList({"AUTO", "100M", "10M", "1M", "100K", "10K", "1K", "100"}));
    EXPECT_EQ(p.CboRange[2]->currentText(), "1M");
    EXPECT_TRUE(p.FrameCH[7]->isHidden());
    EXPECT_EQ(p.CboFunc[7]->currentText(), "NONE");

    pick(p.CboFunc[2], "DCV");
    EXPECT_EQ(p.CboRange[2]->currentText(), "100V");  // from CH1, the first DCV row
    EXPECT_TRUE(p.FrameCH[7]->isHidden());
    EXPECT_EQ(p.CboFunc[7]->currentText(), "NONE");
    EXPECT_FALSE(p.FrameCH[6]->isHidden());
}

// CH6 .. CH10 do not list "4WR"; typed in, it must not reach past CH10.
TEST_F(ChannelTableTest, TypedFourWireOnAHighRowIsNoFunctionThere) {
    showAllRows();
    p.CboFunc[5]->setEditText("4WR");
    table.CboFunc_Click(5);
    EXPECT_EQ(items(p.CboRange[5]).size(), 6);
    for (Frame* row : p.FrameCH) {
        EXPECT_FALSE(row->isHidden());
    }
}

TEST_F(ChannelTableTest, AcPickWritesTheDefaultMinimaAndFiltersOnlyRaise) {
    p.TxtScanTimer->setText("5");
    p.TxtTrigDelay->setText("2");
    pick(p.CboFunc[0], "ACV");
    EXPECT_EQ(p.TxtScanTimer->text(), "0.3");
    EXPECT_EQ(p.TxtTrigDelay->text(), "0.03");
    EXPECT_FALSE(p.CboFilter[0]->isHidden());
    EXPECT_DOUBLE_EQ(setup.MinScanTime, 0.3);

    pick(p.CboFilter[0], "3Hz");
    EXPECT_EQ(p.TxtScanTimer->text(), "1");
    EXPECT_EQ(p.TxtTrigDelay->text(), "0.1");
    pick(p.CboFilter[0], "200Hz");
    EXPECT_DOUBLE_EQ(setup.MinScanTime, 0.05);
    EXPECT_DOUBLE_EQ(setup.MinTrigDelay, 0.01);
    EXPECT_EQ(p.TxtScanTimer->text(), "1");
    EXPECT_EQ(p.TxtTrigDelay->text(), "0.1");

    // A field holding exactly the minimum is left as typed.
    p.TxtTrigDelay->setText("0.10");
    pick(p.CboFilter[0], "3Hz");
    EXPECT_EQ(p.TxtTrigDelay->text(), "0.10");
}

TEST_F(ChannelTableTest, WithoutACardAFilterRaisesOnlyTheTriggerDelay) {
    ScanCardPresent = 0;
    pick(p.CboFunc[0], "Frequency");
    p.TxtScanTimer->setText("");
    pick(p.CboFilter[0], "3Hz");
    EXPECT_EQ(p.TxtTrigDelay->text(), "1");
    EXPECT_EQ(p.TxtScanTimer->text(), "");
    EXPECT_DOUBLE_EQ(setup.MinTrigDelay, 1);
    EXPECT_DOUBLE_EQ(setup.MinScanTime, 0.3);
}

// One filter for all: a row that becomes AC shows the filter the meter is
// sent, and the time fields stay at its minima, in either mode and with or
// without a card.
TEST_F(ChannelTableTest, ARowBecomingAcShowsTheSharedFilterAndKeepsItsMinima) {
    showAllRows();
    pick(p.CboFunc[0], "ACV");
    pick(p.CboFunc[2], "Period");
    pick(p.CboFilter[0], "3Hz");
    EXPECT_EQ(p.CboFilter[2]->currentText(), "3Hz");
    EXPECT_EQ(p.CboFilter[1]->currentText(), "3Hz");  // DCV: kept for later
    EXPECT_TRUE(p.CboFilter[1]->isHidden());

    for (const bool scanCard : {false, true}) {
        SCOPED_TRACE(scanCard ? "scan-card mode" : "main-unit mode");
        p.ChkScanMode->setChecked(scanCard);
        pick(p.CboFunc[1], "Frequency");
        EXPECT_FALSE(p.CboFilter[1]->isHidden());
        EXPECT_EQ(p.CboFilter[1]->currentText(), "3Hz");
        EXPECT_EQ(p.TxtScanTimer->text(), "1");
        EXPECT_EQ(p.TxtTrigDelay->text(), "0.1");
        pick(p.CboFunc[1], "DCV");
    }

    // A filter typed into one row's box, never picked, is still the one the
    // other AC rows share.
    p.CboFilter[0]->setEditText("200Hz");
    pick(p.CboFunc[3], "ACV");
    EXPECT_EQ(p.CboFilter[3]->currentText(), "200Hz");

    ScanCardPresent = 0;
    p.TxtTrigDelay->setText("0.5");
    pick(p.CboFilter[0], "3Hz");
    pick(p.CboFunc[4], "ACV");
    EXPECT_EQ(p.CboFilter[4]->currentText(), "3Hz");
    EXPECT_EQ(p.TxtTrigDelay->text(), "1");
}

TEST_F(ChannelTableTest, MinimaDropWithTheLastVisibleAcRow) {
    p.FrameCH[1]->show();
    pick(p.CboFunc[0], "ACV");
    pick(p.CboFunc[1], "Period");
    pick(p.CboFunc[1], "2WR");
    EXPECT_DOUBLE_EQ(setup.MinScanTime, 0.3);
    EXPECT_FALSE(setup.NoAcChannel);
    pick(p.CboFunc[0], "DCV");
    EXPECT_DOUBLE_EQ(setup.MinScanTime, 0);
    EXPECT_DOUBLE_EQ(setup.MinTrigDelay, 0);
    EXPECT_TRUE(setup.NoAcChannel);
    EXPECT_EQ(p.TxtScanTimer->text(), "0.3");
    EXPECT_EQ(p.TxtTrigDelay->text(), "0.03");

    // A removed AC row no longer counts once another function is picked.
    pick(p.CboFunc[1], "ACV");
    table.Lab1x_Click(1);
    EXPECT_DOUBLE_EQ(setup.MinScanTime, 0.3);
    pick(p.CboFunc[0], "DCV");
    EXPECT_DOUBLE_EQ(setup.MinScanTime, 0);
}

TEST_F(ChannelTableTest, ChannelLabelRemovesTheRowButNotItsReadout) {
    QTest::mouseClick(p.Lab1x[0], Qt::LeftButton);
    EXPECT_FALSE(p.FrameCH[0]->isHidden());
    EXPECT_EQ(p.CboFunc[0]->currentText(), "DCV");

    p.FrameCH[1]->show();
    QTest::mouseClick(p.Lab1x[1], Qt::LeftButton);
    EXPECT_TRUE(p.FrameCH[1]->isHidden());
    EXPECT_EQ(p.CboFunc[1]->currentText(), "NONE");
    EXPECT_FALSE(p.Lab1f[1]->isHidden());
    EXPECT_FALSE(p.TxtDshow[1]->isHidden());
}

TEST_F(ChannelTableTest, DiagnosticOffsetsComeAndGoWithCheck1) {
    p.Check1->setChecked(true);
    EXPECT_FALSE(p.Frame2->isHidden());
    EXPECT_EQ(p.TxtCal[0]->text(), "-100");
    EXPECT_EQ(p.TxtCal[9]->text(), "-1000");
    p.Check1->setChecked(false);
    EXPECT_TRUE(p.Frame2->isHidden());
    for (QLineEdit* cal : p.TxtCal) {
        EXPECT_EQ(cal->text(), "0");
    }
}

// A donor row still holding a range of the other mode gives nothing: the
// card has no 1000 V range.
TEST_F(ChannelTableTest, DonorRangeMustBeOfferedInTheModeInForce) {
    pick(p.CboRange[0], "1000V");
    ASSERT_EQ(p.CboRange[1]->currentText(), "1000V");
    p.ChkScanMode->blockSignals(true);
    p.ChkScanMode->setChecked(true);
    p.ChkScanMode->blockSignals(false);
    table.CboFunc_Click(0);
    EXPECT_EQ(items(p.CboRange[0]), QStringList({"100V", "10V", "1V", "100mV"}));
    EXPECT_EQ(p.CboRange[0]->currentText(), "100V");
    EXPECT_EQ(p.CboRange[1]->currentText(), "100V");

    pick(p.CboRange[0], "10V");
    table.CboFunc_Click(1);  // CH1 is a donor of the mode in force
    EXPECT_EQ(p.CboRange[1]->currentText(), "10V");
}

}  // namespace
}  // namespace tq
