#include "engine/run_ranges.h"

#include <optional>

#include "common/clock.h"
#include "engine/run_display.h"
#include "engine/run_state.h"
#include "rules/scale.h"

namespace tq::run {
namespace {

constexpr std::string_view kFrequency = "Frequency";
constexpr std::string_view kPeriod = "Period";

bool rangeChangedByHand(const ScaleState& scale, std::string_view function) {
    if (function == kFrequency) {
        return scale.FreqRangeChanged;
    }
    if (function == kPeriod) {
        return scale.PeriodRangeChanged;
    }
    return false;
}

// The new full scale shows on the left axis only when it shows channel k.
void refreshAxisFor(RunContext& ctx, int k) {
    if (ctx.display.leftAxisChannel() == k) {
        ctx.state.ScaleChannel = k;
        ctx.display.refreshLeftAxis(k);
    }
}

}  // namespace

double translateForRun(RunContext& ctx, const catalogue::Function& function,
                       std::string_view range) {
    using catalogue::RunTranslation;
    const bool translate = function.runTranslation == RunTranslation::Always ||
                           (function.runTranslation == RunTranslation::UnlessRangeChanged &&
                            !rangeChangedByHand(ctx.scale, function.name));
    if (translate) {
        TransRange(ctx.scale, function.name, range);
    } else if (function.runTranslation == RunTranslation::Never) {
        // A resistance row is never translated here, so the full scale stays
        // that of the row on the left axis; but the range it sends must be its
        // own, or a row off the axis is measured on another row's range (or 0)
        // and overloads. "AUTO" names no value and keeps the last one.
        if (const std::optional<double> own = catalogue::rangeValue(range)) {
            return *own;
        }
    } else if (const std::optional<double> own = catalogue::rangeValue(range)) {
        // A Frequency or Period range picked by hand is not translated here,
        // so the autoscaled full scale survives; but the input range sent
        // must still be the row's own. Left alone, it would be whatever an
        // earlier axis translation left, or 0 before any, and the meter
        // would measure on its lowest range and overload.
        if (function.name == kFrequency) {
            ctx.scale.FreqInputRange = *own;
        } else if (function.name == kPeriod) {
            ctx.scale.PeriodInputRange = *own;
        }
    }
    return sentRangeValue(ctx.scale, function.name).value_or(0);
}

void scaleFromFirstReading(RunContext& ctx, std::string_view function, int k, double reading) {
    if (function == kFrequency && !ctx.scale.FreqAutoScaled &&
        autoscaleFrequency(ctx.scale, reading)) {
        refreshAxisFor(ctx, k);
    }
    ctx.clock.yield();
    if (function == kPeriod && !ctx.scale.PeriodAutoScaled && autoscalePeriod(ctx.scale, reading)) {
        refreshAxisFor(ctx, k);
    }
}

}  // namespace tq::run
