#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <string>

#include "app/form1.h"
#include "app/meter_initial.h"
#include "app_fakes.h"
#include "export/save_panel.h"
#include "link_rigs.h"
#include "panel/controls.h"
#include "run/run_driver.h"
#include "status/status_line.h"

namespace tq {
namespace {

using test::AppRig;

std::string text(const Label* label) {
    return label->text().toStdString();
}

// Start-up finds no meter: the line says so and offers Reconnect, which
// finds the meter once tq4700-sim is up, with start-up's own messages,
// and goes away.
TEST(StatusLine, ReconnectFindsTheMeterStartedAfterTheStartUp) {
    test::SocketRig rig;
    ::testing::internal::CaptureStderr();
    rig.form->runStartUp();
    ::testing::internal::GetCapturedStderr();
    const Panel& p = rig.form->panel();
    EXPECT_EQ(text(rig.line().statusLink),
              "No meter (VI_ERROR_RSRC_NFOUND): cannot open " + rig.meter.resource());
    EXPECT_FALSE(rig.line().statusReconnect->isHidden());
    EXPECT_FALSE(p.FrameMsg->isHidden());

    ASSERT_TRUE(rig.meter.start());
    rig.line().statusReconnect->click();
    EXPECT_EQ(text(rig.line().statusLink), "Connected: TQ4700 TW00000001");
    EXPECT_TRUE(rig.line().statusReconnect->isHidden());
    EXPECT_EQ(p.LabMsg->text(), kInitialOk);
    EXPECT_TRUE(p.FrameMsg->isHidden());
    EXPECT_EQ(rig.form->session().ScanCardPresent, 1);
    EXPECT_TRUE(rig.boxes.shown.empty());
}

// A card that did not answer at start-up left the window laid out for CH1
// alone; Reconnect finding it brings back what that layout hid.
TEST(StatusLine, ReconnectFindingACardUndoesTheOneChannelLayout) {
    test::SocketRig rig;
    sim::Options noCard;
    noCard.card = false;
    rig.meter.setMeter(noCard);
    ASSERT_TRUE(rig.meter.start());
    rig.form->runStartUp();
    const Panel& p = rig.form->panel();
    ASSERT_FALSE(p.TxtChNo->isEnabled());
    ASSERT_FALSE(p.FrameMa->isHidden());

    rig.meter.stop();
    rig.meter.setMeter({});
    ASSERT_TRUE(rig.meter.start());
    ::testing::internal::CaptureStderr();
    rig.form->reconnect();
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(rig.form->session().ScanCardPresent, 1);
    EXPECT_TRUE(p.ChkScanMode->isChecked());
    EXPECT_TRUE(p.ChkScanMode->isEnabled());
    EXPECT_TRUE(p.FrameMa->isHidden());
    EXPECT_TRUE(p.TxtChNo->isEnabled());
    EXPECT_EQ(p.CboScale[0]->count(), 10);
    EXPECT_EQ(p.CboScale[0]->currentText(), "CH1");
    const std::initializer_list<const QWidget*> cardLayout = {
        p.CboScale[1], p.LabY1[12], p.ChkMath, p.FrameMath, p.TxtScanTimer, p.Label2[5]};
    for (const QWidget* shown : cardLayout) {
        EXPECT_FALSE(shown->isHidden()) << shown->objectName().toStdString();
    }
}

// A meter whose node this user may not open: the line says so, and the
// user is told once how to install the rule, not again on every Reconnect.
TEST(StatusLine, AMeterWithoutRightsNamesTheRuleOnce) {
    if (!test::UnopenableUsbMeter::refused()) {
        GTEST_SKIP() << test::UnopenableUsbMeter::kNoRights << " opens for writing here";
    }
    test::UnopenableUsbMeter usb;
    AppRig rig(usb.options);
    ::testing::internal::CaptureStderr();
    rig.form->runStartUp();
    rig.form->reconnect();
    ::testing::internal::GetCapturedStderr();
    StatusLine& line = rig.form->statusLine();
    EXPECT_EQ(text(line.statusLink), "No permission to open the meter (VI_ERROR_NPERMISSION)");
    EXPECT_TRUE(line.statusLink->toolTip().contains("sudo cp packaging/60-tq4700.rules"));
    EXPECT_FALSE(line.statusReconnect->isHidden());
    ASSERT_EQ(rig.boxes.texts.size(), 1u);
    const std::string& box = rig.boxes.texts[0];
    EXPECT_NE(box.find("USB0::0x3A6D::0x0E31::TW00000042::INSTR"), std::string::npos) << box;
    EXPECT_NE(box.find("permission denied on " + usb.options.devRoot.string() + "/usbtmc0"),
              std::string::npos)
        << box;
    EXPECT_NE(box.find("60-tq4700.rules"), std::string::npos);
    EXPECT_NE(box.find("sudo udevadm control --reload && sudo udevadm trigger"), std::string::npos);
}

// The workbook the save panel writes is named on the line, and a click
// opens its folder.
TEST(StatusLine, TheSavedWorkbookIsNamedAndItsFolderOpensOnAClick) {
    QTemporaryDir dir;
    Options options;
    options.saveDir = dir.path();
    options.simulate = true;
    AppRig rig(AppRig::simulated(), options);
    Form1& form = *rig.form;
    QUrl opened;
    form.statusLine().openUrl = [&](const QUrl& url) {
        opened = url;
        return true;
    };
    form.runStartUp();
    EXPECT_EQ(text(form.statusLine().statusLink), "Simulated TQ4700 TW00000001");
    form.panel().TxtRecordLen->setText("5");
    form.runDriver().Command1_Click();
    form.savePanel().ComSaveFrame_Click();
    form.savePanel().CmdSave_Click();
    const QString saved = form.savePanel().lastSavedPath();
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_EQ(form.statusLine().statusFile->text(), "Saved " + QFileInfo(saved).fileName());
    emit form.statusLine().statusFile->clicked();
    EXPECT_EQ(opened, QUrl::fromLocalFile(QFileInfo(saved).absolutePath()));
}

}  // namespace
}  // namespace tq
