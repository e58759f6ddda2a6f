#pragma once

#include <QLoggingCategory>

namespace tq {

// One category a subsystem, so a user can follow one part of the program
// (QT_LOGGING_RULES="tq.run.debug=true"). Debug lines are off unless asked
// for; info and above go to standard error as Qt's handler writes them.
Q_DECLARE_LOGGING_CATEGORY(lcApp)         // tq.app: the window and its boxes
Q_DECLARE_LOGGING_CATEGORY(lcInstrument)  // tq.instrument: the link to the meter
Q_DECLARE_LOGGING_CATEGORY(lcRun)         // tq.run: runs and how they end
Q_DECLARE_LOGGING_CATEGORY(lcExport)      // tq.export: workbooks written
Q_DECLARE_LOGGING_CATEGORY(lcSim)         // tq.sim: the simulated meter's server

}  // namespace tq
