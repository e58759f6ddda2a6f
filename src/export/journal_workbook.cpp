#include "export/journal_workbook.h"

#include <algorithm>

#include "catalogue/catalogue.h"
#include "export/export_sheet.h"

namespace tq::xls {
namespace {

// The column titles: the rows' function texts as the window showed them,
// or, from a journal without them, the run's channels and "NONE" for the
// rows outside the run, as the channel table shows a row taken out.
std::array<std::string, 10> functionTexts(const JournalRun& run) {
    std::array<std::string, 10> texts;
    if (run.rowFunctions.size() == texts.size()) {
        std::copy(run.rowFunctions.begin(), run.rowFunctions.end(), texts.begin());
        return texts;
    }
    texts.fill(std::string(catalogue::kNoFunction));
    for (const RunChannelSetup& channel : run.setup.channels) {
        if (channel.channel >= 1 && channel.channel <= 10) {
            texts[static_cast<std::size_t>(channel.channel - 1)] = channel.function;
        }
    }
    return texts;
}

}  // namespace

std::vector<std::uint8_t> journalWorkbook(const JournalRun& run) {
    // Sheet row r holds point r + 1, wherever the journal has it; a point
    // past the sheet's last row has no place in it.
    std::size_t last = 0;
    for (const StoredPoint& point : run.points) {
        last = std::max(last, static_cast<std::size_t>(point.point));
    }
    std::vector<const StoredPoint*> byRow(std::min(last, kMaxDataRows), nullptr);
    for (const StoredPoint& point : run.points) {
        const auto row = static_cast<std::size_t>(point.point) - 1;
        if (row < byRow.size()) {
            byRow[row] = &point;
        }
    }
    return runWorkbook(functionTexts(run), byRow.size(), [&](std::size_t r) {
        WorkbookRow cells{};
        if (const StoredPoint* point = byRow[r]) {
            cells[0] = point->seconds;
            std::copy(point->values.begin() + 1, point->values.end(), cells.begin() + 1);
        }
        return cells;
    });
}

QString workbookPathFor(const QString& journalPath) {
    QString path = journalPath;
    if (path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
        path.chop(4);
    }
    return path + QStringLiteral(".xls");
}

}  // namespace tq::xls
