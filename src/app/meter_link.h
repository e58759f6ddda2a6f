#pragma once

#include "instrument/link_factory.h"

namespace tq {

class Clock;
struct Options;

// The link options the command line asks for. clock paces the simulated
// meter, so it must be the window's own clock.
visa::LinkOptions linkOptions(const Options& options, Clock& clock);

// Opens the link and logs which provider it chose and any problem met.
visa::Link openMeterLink(const Options& options, Clock& clock);

}  // namespace tq
