#include "analysis/run_model.h"

#include <algorithm>
#include <cmath>

#include "rules/reading.h"

namespace tq {

ValueKind classify(const std::optional<double>& value) {
    if (!value || std::isnan(*value)) {
        return ValueKind::Missing;
    }
    if (isOverload(*value) || std::abs(*value) >= kOverloadReading) {
        return ValueKind::Overload;
    }
    return ValueKind::Reading;
}

std::string_view unitOfFunction(std::string_view function) {
    if (function == "DCV" || function == "ACV") {
        return "V";
    }
    if (function == "Frequency") {
        return "Hz";
    }
    if (function == "Period") {
        return "s";
    }
    if (function == "2WR" || function == "4WR") {
        return "Ω";
    }
    return {};
}

RunModel RunModel::fromJournal(const JournalRun& journal) {
    RunModel model;
    model.setTraces(journal.channels, journal.setup.channels, journal.hasMath);
    for (const StoredPoint& point : journal.points) {
        model.add(point);
    }
    return model;
}

void RunModel::start(const RunSetup& setup) {
    std::vector<int> channels;
    for (const RunChannelSetup& channel : setup.channels) {
        channels.push_back(channel.channel);
    }
    setTraces(channels, setup.channels, setup.mathFormula.has_value());
    points_.clear();
}

void RunModel::setTraces(const std::vector<int>& channels,
                         const std::vector<RunChannelSetup>& setup, bool withMath) {
    traces_.clear();
    for (const int channel : channels) {
        if (channel < 1 || channel > 10) {
            continue;
        }
        const auto found = std::find_if(setup.begin(), setup.end(), [channel](const auto& row) {
            return row.channel == channel;
        });
        const std::string unit =
            found == setup.end() ? std::string() : std::string(unitOfFunction(found->function));
        traces_.push_back({"CH" + std::to_string(channel), unit, channel});
    }
    if (withMath) {
        traces_.push_back({"math", {}, 11});
    }
}

void RunModel::add(const StoredPoint& point) {
    if (points_.empty() || points_.back().point < point.point) {
        points_.push_back(point);
        return;
    }
    const auto at = std::lower_bound(
        points_.begin(), points_.end(), point.point,
        [](const StoredPoint& held, std::int32_t number) { return held.point < number; });
    if (at != points_.end() && at->point == point.point) {
        *at = point;
    } else {
        points_.insert(at, point);
    }
}

std::optional<double> RunModel::x(std::size_t index, XAxis axis) const {
    const StoredPoint& point = points_.at(index);
    if (axis == XAxis::PointNumber) {
        return point.point;
    }
    return point.seconds;
}

}  // namespace tq
