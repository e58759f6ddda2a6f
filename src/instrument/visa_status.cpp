#include "instrument/visa_api.h"
#include "instrument/visa_types.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tq::visa {
namespace {

struct StatusEntry {
    ViStatus status;
    std::string_view name;
    std::string_view words;
};

constexpr std::array kStatusNames{
    StatusEntry{.status = VI_SUCCESS, .name = "VI_SUCCESS", .words = "success"},
    StatusEntry{.status = VI_SUCCESS_TERM_CHAR,
                .name = "VI_SUCCESS_TERM_CHAR",
                .words = "read up to the termination character"},
    StatusEntry{.status = VI_SUCCESS_MAX_CNT,
                .name = "VI_SUCCESS_MAX_CNT",
                .words = "read as many bytes as asked for"},
    StatusEntry{
        .status = VI_WARN_NULL_OBJECT, .name = "VI_WARN_NULL_OBJECT", .words = "nothing to close"},
    StatusEntry{
        .status = VI_ERROR_SYSTEM_ERROR, .name = "VI_ERROR_SYSTEM_ERROR", .words = "system error"},
    StatusEntry{
        .status = VI_ERROR_INV_OBJECT, .name = "VI_ERROR_INV_OBJECT", .words = "no such session"},
    StatusEntry{
        .status = VI_ERROR_INV_EXPR, .name = "VI_ERROR_INV_EXPR", .words = "bad search pattern"},
    StatusEntry{
        .status = VI_ERROR_RSRC_NFOUND, .name = "VI_ERROR_RSRC_NFOUND", .words = "not found"},
    StatusEntry{.status = VI_ERROR_INV_RSRC_NAME,
                .name = "VI_ERROR_INV_RSRC_NAME",
                .words = "bad resource name"},
    StatusEntry{.status = VI_ERROR_TMO, .name = "VI_ERROR_TMO", .words = "timed out"},
    StatusEntry{.status = VI_ERROR_NSUP_ATTR,
                .name = "VI_ERROR_NSUP_ATTR",
                .words = "attribute not supported"},
    StatusEntry{.status = VI_ERROR_IO, .name = "VI_ERROR_IO", .words = "input/output error"},
    StatusEntry{.status = VI_ERROR_RSRC_BUSY,
                .name = "VI_ERROR_RSRC_BUSY",
                .words = "in use by another program"},
    StatusEntry{
        .status = VI_ERROR_CONN_LOST, .name = "VI_ERROR_CONN_LOST", .words = "connection lost"},
    StatusEntry{.status = VI_ERROR_NPERMISSION,
                .name = "VI_ERROR_NPERMISSION",
                .words = "permission denied"},
};

const StatusEntry* findStatus(ViStatus status) {
    const auto* it = std::ranges::find(kStatusNames, status, &StatusEntry::status);
    return it == kStatusNames.end() ? nullptr : it;
}

}  // namespace

std::string statusWords(ViStatus status) {
    if (const StatusEntry* entry = findStatus(status)) {
        return std::string(entry->words);
    }
    return failed(status) ? "error" : "warning";
}

ViStatus VisaApi::statusDesc(ViObject /*vi*/, ViStatus status, std::string& desc) {
    desc = statusWords(status);
    return VI_SUCCESS;
}

std::string statusName(ViStatus status) {
    if (const StatusEntry* entry = findStatus(status)) {
        return std::string(entry->name);
    }
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "0x%08X", static_cast<unsigned>(status));
    return hex.data();
}

}  // namespace tq::visa
