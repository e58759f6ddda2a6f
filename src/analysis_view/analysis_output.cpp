// The Analysis window's read-outs and exports: the cursor line, the table of
// values and figures, the image and the CSV.
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSvgGenerator>
#include <QTableWidget>

#include "analysis/trace_stats.h"
#include "analysis_view/analysis_window.h"
#include "analysis_view/lane_plot.h"

namespace tq {

namespace {

QString number(double value) {
    return QString::number(value, 'g', 6);
}

QString figure(const std::optional<double>& value) {
    return value ? number(*value) : QString();
}

QString valueText(const ValueAt& at) {
    switch (at.kind) {
        case ValueKind::Reading:
            return number(at.value);
        case ValueKind::Overload:
            return QStringLiteral("overload");
        case ValueKind::Missing:
            break;
    }
    return QStringLiteral("—");
}

QString xText(double x, XAxis axis) {
    return axis == XAxis::Seconds ? QStringLiteral("%1 s").arg(number(x))
                                  : QStringLiteral("point %1").arg(number(x));
}

}  // namespace

void AnalysisWindow::refreshTable() {
    const auto [a, b] = plot_->cursors();
    cursorText_->setText(
        QStringLiteral("A: %1    B: %2    Δ%3: %4")
            .arg(xText(a, axis_), xText(b, axis_),
                 axis_ == XAxis::Seconds ? QStringLiteral("t") : QStringLiteral("x"),
                 axis_ == XAxis::Seconds ? QStringLiteral("%1 s").arg(number(b - a))
                                         : number(b - a)));
    static const QStringList kHeader{
        QStringLiteral("trace"), QStringLiteral("at A"),    QStringLiteral("at B"),
        QStringLiteral("count"), QStringLiteral("missing"), QStringLiteral("overloads"),
        QStringLiteral("min"),   QStringLiteral("max"),     QStringLiteral("mean"),
        QStringLiteral("std"),   QStringLiteral("rms"),     QStringLiteral("p2p")};
    const auto& traces = model_.traces();
    table_->setColumnCount(static_cast<int>(kHeader.size()));
    table_->setHorizontalHeaderLabels(kHeader);
    table_->setRowCount(static_cast<int>(traces.size()));
    for (std::size_t t = 0; t < traces.size(); ++t) {
        const Trace& trace = traces[t];
        const TraceStats s = traceStats(model_, trace, a, b, axis_);
        const QString name =
            trace.unit.empty() ? QString::fromStdString(trace.name)
                               : QStringLiteral("%1 (%2)").arg(QString::fromStdString(trace.name),
                                                               QString::fromStdString(trace.unit));
        const QStringList row{name,
                              valueText(traceValueAt(model_, trace, a, axis_)),
                              valueText(traceValueAt(model_, trace, b, axis_)),
                              QString::number(s.count),
                              QString::number(s.missing),
                              QString::number(s.overloads),
                              figure(s.min),
                              figure(s.max),
                              figure(s.mean),
                              figure(s.std),
                              figure(s.rms),
                              figure(s.p2p)};
        for (int c = 0; c < row.size(); ++c) {
            auto* item = table_->item(static_cast<int>(t), c);
            if (item == nullptr) {
                item = new QTableWidgetItem;
                table_->setItem(static_cast<int>(t), c, item);
            }
            item->setText(row[c]);
            if (c == 0) {
                item->setForeground(LanePlot::traceColour(static_cast<int>(t)));
            }
        }
    }
    table_->resizeColumnsToContents();
}

bool AnalysisWindow::saveImage(const QString& path, QString* error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const int width = plot_->width();
    const int height = plot_->height();
    bool saved = false;
    if (suffix == QLatin1String("png")) {
        saved = plot_->savePng(path, width, height);
    } else if (suffix == QLatin1String("svg")) {
        QSvgGenerator svg;
        svg.setFileName(path);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(windowTitle());
        QCPPainter painter;
        saved = painter.begin(&svg);
        if (saved) {
            plot_->toPainter(&painter, width, height);
            saved = painter.end();
        }
        // QSvgGenerator reports a file it could not open only on stderr.
        saved = saved && QFileInfo(path).size() > 0;
    } else {
        *error = QStringLiteral("An image is saved as .png or .svg: %1").arg(path);
        return false;
    }
    if (!saved) {
        *error = QStringLiteral("Could not write %1").arg(path);
    }
    return saved;
}

bool AnalysisWindow::saveStatsCsv(const QString& path, QString* error) {
    const auto [a, b] = plot_->cursors();
    QFile file(path);
    const QByteArray csv = QByteArray::fromStdString(statsCsv(model_, a, b, axis_));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(csv) != csv.size() ||
        !file.flush()) {
        *error = QStringLiteral("Could not write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

void AnalysisWindow::exportImage() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export image"), QString(),
                                     QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)"));
    QString error;
    if (!path.isEmpty() && !saveImage(path, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
    }
}

void AnalysisWindow::exportStats() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export statistics"),
                                                      QString(), QStringLiteral("CSV (*.csv)"));
    QString error;
    if (!path.isEmpty() && !saveStatsCsv(path, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
    }
}

}  // namespace tq
