#include "app/form1.h"

#include "app/show_hide.h"
#include "panel/look.h"

namespace tq {

namespace {

constexpr int kClientWidth = 15240;
constexpr int kClientHeight = 9570;

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kForm1Caption));
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    QPalette navy = palette();
    navy.setColor(QPalette::Window, look::kWindow);
    setPalette(navy);
    setAutoFillBackground(true);

    buildPanel(this, panel_);
    connectShowHide(panel_);
}

}  // namespace tq
