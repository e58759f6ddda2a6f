#include "instrument/visa_types.h"

#include <array>
#include <cstdio>

namespace tq::visa {
namespace {

struct StatusEntry {
    ViStatus status;
    std::string_view name;
};

constexpr std::array kStatusNames{
    StatusEntry{.status = VI_SUCCESS, .name = "VI_SUCCESS"},
    StatusEntry{.status = VI_SUCCESS_TERM_CHAR, .name = "VI_SUCCESS_TERM_CHAR"},
    StatusEntry{.status = VI_SUCCESS_MAX_CNT, .name = "VI_SUCCESS_MAX_CNT"},
    StatusEntry{.status = VI_WARN_NULL_OBJECT, .name = "VI_WARN_NULL_OBJECT"},
    StatusEntry{.status = VI_ERROR_SYSTEM_ERROR, .name = "VI_ERROR_SYSTEM_ERROR"},
    StatusEntry{.status = VI_ERROR_INV_OBJECT, .name = "VI_ERROR_INV_OBJECT"},
    StatusEntry{.status = VI_ERROR_INV_EXPR, .name = "VI_ERROR_INV_EXPR"},
    StatusEntry{.status = VI_ERROR_RSRC_NFOUND, .name = "VI_ERROR_RSRC_NFOUND"},
    StatusEntry{.status = VI_ERROR_INV_RSRC_NAME, .name = "VI_ERROR_INV_RSRC_NAME"},
    StatusEntry{.status = VI_ERROR_TMO, .name = "VI_ERROR_TMO"},
    StatusEntry{.status = VI_ERROR_NSUP_ATTR, .name = "VI_ERROR_NSUP_ATTR"},
    StatusEntry{.status = VI_ERROR_IO, .name = "VI_ERROR_IO"},
    StatusEntry{.status = VI_ERROR_RSRC_BUSY, .name = "VI_ERROR_RSRC_BUSY"},
    StatusEntry{.status = VI_ERROR_CONN_LOST, .name = "VI_ERROR_CONN_LOST"},
    StatusEntry{.status = VI_ERROR_NPERMISSION, .name = "VI_ERROR_NPERMISSION"},
};

}  // namespace

std::string statusName(ViStatus status) {
    for (const auto& entry : kStatusNames) {
        if (entry.status == status) {
            return std::string(entry.name);
        }
    }
    std::array<char, 16> hex{};
    std::snprintf(hex.data(), hex.size(), "0x%08X", static_cast<unsigned>(status));
    return hex.data();
}

}  // namespace tq::visa
