#include "export/export_sheet.h"

#include "common/number_text.h"

namespace tq::xls {

std::vector<std::string> workbookHeader(const std::array<std::string, 10>& functionTexts) {
    std::vector<std::string> header;
    header.reserve(functionTexts.size() + 2);
    header.emplace_back("Time(Sec)");
    for (std::size_t i = 0; i < functionTexts.size(); ++i) {
        // The blank is the sign position of a non-negative number text.
        header.push_back(numberText(static_cast<double>(i + 1)) + functionTexts[i]);
    }
    header.emplace_back("Math");
    return header;
}

std::int64_t firstExportStoreRow(std::int64_t pointsPerScreen, std::int64_t shownPoint) {
    constexpr std::int64_t kFirstSlotRow = 10001;
    if (pointsPerScreen + 1 >= shownPoint) {
        return kFirstSlotRow;
    }
    return kFirstSlotRow - shownPoint + pointsPerScreen + 1;
}

}  // namespace tq::xls
