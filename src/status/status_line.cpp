#include "status/status_line.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>

#include "common/clock.h"
#include "panel/look.h"

namespace tq {
namespace {

// While a run goes, elapsed and time left move on between points too.
constexpr std::int64_t kTickMs = 1000;

// A part whose text is cut with an ellipsis where it does not fit; the
// tooltip has the rest.
class StatusPart final : public Label {
  public:
    using Label::Label;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QRect room = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
    }
};

Label* addPart(QWidget* line, QHBoxLayout* layout, const char* name, int stretch) {
    auto* label = new StatusPart(line);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(look::arial(8.25, false));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAutoFillBackground(true);
    label->setMargin(1);
    // A long text is cut instead of widening the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(label, stretch);
    return label;
}

void showPart(Label* label, const status::PartText& part) {
    label->setText(part.text);
    label->setToolTip(part.toolTip);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, part.highlighted ? look::kYellow : look::kPanelGrey);
    palette.setColor(QPalette::WindowText, part.highlighted ? look::kRed : Qt::black);
    label->setPalette(palette);
}

}  // namespace

StatusLine::StatusLine(QWidget* parent, Clock& clock,
                       std::function<std::string(std::int32_t)> statusName)
    : Frame(parent),
      openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }),
      clock_(clock),
      model_(clock, std::move(statusName)) {
    setObjectName(QStringLiteral("statusLine"));
    setBorder(false);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, look::kPanelGrey);
    setPalette(grey);

    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(3, 2, 3, 2);
    layout_->setSpacing(3);
    statusLink = addPart(this, layout_, "statusLink", 6);
    statusRun = addPart(this, layout_, "statusRun", 6);
    statusPace = addPart(this, layout_, "statusPace", 7);
    statusMissing = addPart(this, layout_, "statusMissing", 3);
    statusFile = addPart(this, layout_, "statusFile", 5);
    statusFile->setCursor(Qt::PointingHandCursor);
    statusReconnect = new QPushButton(QStringLiteral("Reconnect"), this);
    statusReconnect->setObjectName(QStringLiteral("statusReconnect"));
    statusReconnect->setFont(look::arial(8.25, true));
    statusReconnect->setToolTip(QStringLiteral("Look for the meter again, as the start-up does"));
    statusReconnect->hide();
    layout_->addWidget(statusReconnect);

    connect(statusReconnect, &QPushButton::clicked, this, &StatusLine::reconnectRequested);
    connect(statusFile, &Label::clicked, this, [this] {
        const QString folder = folderToOpen();
        if (!folder.isEmpty() && openUrl) {
            openUrl(QUrl::fromLocalFile(folder));
        }
    });
    model_.changed = [this] { refresh(); };
    refresh();
}

StatusLine::~StatusLine() {
    model_.changed = nullptr;
    if (tickTimer_ != 0) {
        clock_.stopTimer(tickTimer_);
    }
}

void StatusLine::addButton(QPushButton* button) {
    button->setParent(this);
    layout_->addWidget(button);
}

QString StatusLine::folderToOpen() const {
    const QString& file =
        model_.workbookPath().isEmpty() ? model_.journalPath() : model_.workbookPath();
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

void StatusLine::refresh() {
    showPart(statusLink, model_.linkPart());
    showPart(statusRun, model_.runPart());
    showPart(statusPace, model_.pacePart());
    showPart(statusMissing, model_.missingPart());
    showPart(statusFile, model_.filesPart());
    statusReconnect->setVisible(model_.reconnectOffered());
    keepTicking();
}

void StatusLine::keepTicking() {
    if (!model_.runActive()) {
        if (tickTimer_ != 0) {
            clock_.stopTimer(tickTimer_);
            tickTimer_ = 0;
        }
        return;
    }
    if (tickTimer_ == 0) {
        tickTimer_ = clock_.startTimer(kTickMs, [this] {
            tickTimer_ = 0;
            refresh();
        });
    }
}

}  // namespace tq
