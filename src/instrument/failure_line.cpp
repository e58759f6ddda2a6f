#include "instrument/failure_line.h"

#include <cstdio>
#include <string>

namespace tq {

void reportFailure(std::string_view what, visa::ViStatus status, std::string_view advice) {
    std::string line = "tq4700: " + std::string(what) + " (" + visa::statusName(status) + ")";
    if (!advice.empty()) {
        line += "; " + std::string(advice);
    }
    line += '\n';
    std::fputs(line.c_str(), stderr);
}

}  // namespace tq
