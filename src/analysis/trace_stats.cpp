#include "analysis/trace_stats.h"

#include <algorithm>
#include <cmath>

#include "common/number_text.h"

namespace tq {

TraceStats traceStats(const RunModel& model, const Trace& trace, double from, double to,
                      XAxis axis) {
    if (from > to) {
        std::swap(from, to);
    }
    TraceStats stats;
    // Welford's running mean and squared deviations: steady for readings
    // far from zero with a small spread (a 10 V level with µV noise).
    double mean = 0;
    double squaredDeviations = 0;
    double sumOfSquares = 0;
    double low = 0;
    double high = 0;
    const auto& points = model.points();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::optional<double> x = model.x(i, axis);
        if (!x || *x < from || *x > to) {
            continue;
        }
        const std::optional<double>& value = points[i].values.at(trace.column);
        switch (classify(value)) {
            case ValueKind::Missing:
                ++stats.missing;
                continue;
            case ValueKind::Overload:
                ++stats.overloads;
                continue;
            case ValueKind::Reading:
                break;
        }
        const double v = *value;
        low = stats.count == 0 ? v : std::min(low, v);
        high = stats.count == 0 ? v : std::max(high, v);
        ++stats.count;
        const double delta = v - mean;
        mean += delta / stats.count;
        squaredDeviations += delta * (v - mean);
        sumOfSquares += v * v;
    }
    if (stats.count > 0) {
        stats.min = low;
        stats.max = high;
        stats.mean = mean;
        stats.rms = std::sqrt(sumOfSquares / stats.count);
        stats.p2p = high - low;
    }
    if (stats.count > 1) {
        stats.std = std::sqrt(squaredDeviations / (stats.count - 1));
    }
    return stats;
}

ValueAt traceValueAt(const RunModel& model, const Trace& trace, double x, XAxis axis) {
    const auto& points = model.points();
    std::optional<std::size_t> last;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::optional<double> at = model.x(i, axis);
        if (at && *at <= x) {
            last = i;
        }
    }
    if (!last) {
        return {};
    }
    const std::optional<double>& value = points[*last].values.at(trace.column);
    const ValueKind kind = classify(value);
    return {kind, kind == ValueKind::Reading ? *value : 0};
}

namespace {

std::string field(const std::optional<double>& value) {
    return value ? defaultText(*value) : std::string();
}

}  // namespace

std::string statsCsv(const RunModel& model, double from, double to, XAxis axis) {
    std::string csv = "trace,count,missing,overloads,min,max,mean,std,rms,p2p\n";
    for (const Trace& trace : model.traces()) {
        const TraceStats s = traceStats(model, trace, from, to, axis);
        csv += trace.name + ',' + std::to_string(s.count) + ',' + std::to_string(s.missing) + ',' +
               std::to_string(s.overloads) + ',' + field(s.min) + ',' + field(s.max) + ',' +
               field(s.mean) + ',' + field(s.std) + ',' + field(s.rms) + ',' + field(s.p2p) + '\n';
    }
    return csv;
}

}  // namespace tq
