#include "export/export_sheet.h"

#include <algorithm>

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

std::vector<std::uint8_t> runWorkbook(const std::array<std::string, 10>& functionTexts,
                                      std::size_t rowCount, const RowSource& rowAt) {
    return buildWorkbook(workbookHeader(functionTexts), std::min(rowCount, kMaxDataRows), rowAt);
}

}  // namespace tq::xls
