#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_observer.h"
#include "journal/journal_run.h"

namespace tq {

// What the analysis plots along x.
enum class XAxis { Seconds, PointNumber };

// One plotted trace: a channel of the run or the math channel.
struct Trace {
    std::string name;  // "CH1".."CH10" or "math"
    std::string unit;  // from the channel's function: "V", "Hz", "s", "Ω"; empty for math
    int column = 0;    // index into StoredPoint::values: 1..10, 11 for math
};

// How one stored value reads on a plot.
enum class ValueKind { Reading, Missing, Overload };

// The meter's overload is +9.9E+37; a negative overload or any magnitude
// beyond it is no reading either, and neither is an infinity in a file.
ValueKind classify(const std::optional<double>& value);

// The unit of a channel's function as the row names it; empty when unknown.
std::string_view unitOfFunction(std::string_view function);

// A run as the analysis sees it: its traces and its stored points in order,
// built from a journal or followed point by point while the run goes on.
class RunModel {
  public:
    RunModel() = default;
    static RunModel fromJournal(const JournalRun& journal);

    // A new run: its traces from the set-up, no points yet.
    void start(const RunSetup& setup);
    // A stored point; one with the number of a point already held replaces it.
    void add(const StoredPoint& point);

    const std::vector<Trace>& traces() const { return traces_; }
    const std::vector<StoredPoint>& points() const { return points_; }
    // The x of point `index` (0-based into points()); none for a point with
    // no stored time when x is time.
    std::optional<double> x(std::size_t index, XAxis axis) const;

  private:
    void setTraces(const std::vector<int>& channels, const std::vector<RunChannelSetup>& setup,
                   bool withMath);

    std::vector<Trace> traces_;
    std::vector<StoredPoint> points_;
};

}  // namespace tq
