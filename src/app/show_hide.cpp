#include "app/show_hide.h"

namespace tq {

namespace {

void toggle(QWidget* w) {
    w->setVisible(w->isHidden());
}

}  // namespace

// The message text stays for the next time the frame is shown.
void FrameMsg_Click(Panel& p) {
    p.FrameMsg->hide();
}

void LabMsg_Click(Panel& p) {
    p.FrameMsg->hide();
}

void Label3_Click(Panel& p) {
    toggle(p.Frame6);
}

// Frame7 lies beside Frame6, not in it: it stays open when Frame6 closes.
void LabF7_Click(Panel& p) {
    toggle(p.Frame7);
}

void connectShowHide(Panel& p) {
    QObject::connect(p.FrameMsg, &Frame::clicked, p.FrameMsg, [&p] { FrameMsg_Click(p); });
    QObject::connect(p.LabMsg, &Label::clicked, p.LabMsg, [&p] { LabMsg_Click(p); });
    QObject::connect(p.Label3, &Label::clicked, p.Label3, [&p] { Label3_Click(p); });
    QObject::connect(p.LabF7, &Label::clicked, p.LabF7, [&p] { LabF7_Click(p); });
}

}  // namespace tq
