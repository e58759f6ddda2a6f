#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "export/export_names.h"

namespace tq::xls {

struct WriteResult {
    ExportFault fault = ExportFault::None;
    // The file written; on failure the file or folder the failure concerns.
    std::string path;
    int systemError = 0;  // errno of the failing call, 0 when none
    // English: what failed, where and the system's reason.
    std::string explanation;

    bool ok() const { return fault == ExportFault::None; }
};

// Writes the workbook bytes as folder/base-hhmmss.xls, or as -2, -3, ...
// when that name exists already: an existing file is never replaced. The
// bytes go to a temporary file in the same folder that is renamed only when
// complete and flushed, so the final name never shows a partial file, and
// nothing is left behind on failure.
WriteResult writeWorkbookFile(const std::string& folder, const std::string& baseName,
                              const TimeOfDay& time, std::span<const std::uint8_t> bytes);

// Writes the workbook bytes as `path`, or as its name with -2, -3, ...
// before the extension when that exists already; the same care as above.
WriteResult writeWorkbookAs(const std::string& path, std::span<const std::uint8_t> bytes);

// A folder we can create files in (for chooseExportFolder).
bool isWritableFolder(const std::string& folder);

}  // namespace tq::xls
