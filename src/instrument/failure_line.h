#pragma once

#include <string_view>

#include "instrument/visa_types.h"

namespace tq {

// What the user reads on the terminal when the meter cannot be used or a
// run ends on a failure, beside the window's own message: one line on
// standard error, "tq4700: <what> (<VISA status name>)", and what to do
// about it after a "; " where there is something to do.
void reportFailure(std::string_view what, visa::ViStatus status, std::string_view advice = {});

}  // namespace tq
