#include "common/log.h"

namespace tq {

Q_LOGGING_CATEGORY(lcApp, "tq.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcInstrument, "tq.instrument", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRun, "tq.run", QtInfoMsg)
Q_LOGGING_CATEGORY(lcExport, "tq.export", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSim, "tq.sim", QtInfoMsg)

}  // namespace tq
