#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/run_model.h"

namespace tq {

// A trace's figures between two x bounds. Missing readings and overloads
// are counted, not taken into the figures; a figure that needs more
// readings than there are is none (std needs two).
struct TraceStats {
    int count = 0;  // readings taken into the figures
    int missing = 0;
    int overloads = 0;
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> mean;
    std::optional<double> std;  // sample standard deviation
    std::optional<double> rms;
    std::optional<double> p2p;
};

// The points whose x lies in [from, to] (either order; both bounds count).
// A point without an x on that axis lies nowhere.
TraceStats traceStats(const RunModel& model, const Trace& trace, double from, double to,
                      XAxis axis);

// The value of a trace at x: the reading of the last point at or before x;
// none before the first point or where that point has no reading.
struct ValueAt {
    ValueKind kind = ValueKind::Missing;
    double value = 0;
};
ValueAt traceValueAt(const RunModel& model, const Trace& trace, double x, XAxis axis);

// The figures of every trace as CSV: the header row
// "trace,count,missing,overloads,min,max,mean,std,rms,p2p", then one row per
// trace; a figure that is none is an empty field. Lines end with "\n".
std::string statsCsv(const RunModel& model, double from, double to, XAxis axis);

}  // namespace tq
