#include "engine/math_step.h"

#include <span>

#include "common/number_text.h"
#include "engine/run_display.h"
#include "engine/run_inputs.h"
#include "engine/run_state.h"
#include "rules/math_channel.h"
#include "rules/plot_rule.h"
#include "rules/scale.h"
#include "store/record_store.h"

namespace tq::run {

std::optional<std::string> mathFormulaOf(const RunInputs& inputs) {
    const std::optional<MathInputs> math = inputs.math();
    if (!math) {
        return std::nullopt;
    }
    return mathFormula(math->setup, defaultText(math->factor), defaultText(math->offset));
}

void mathStep(RunContext& ctx, int row) {
    // The set-up, factor and offset are asked at every point so that an
    // edit counts from the next point on.
    const std::optional<MathInputs> math = ctx.inputs.math();
    if (!math) {
        return;
    }
    // Missing choices, an operand this point brought no reading for (or an
    // overloaded one) and a result that is no finite number (division by 0,
    // an enormous factor) all skip the point: the shown value stays, the
    // point's math cell stays without a value and the run goes on.
    std::array<double, 12>& Reading = ctx.state.Reading;
    const bool operandsRead = ctx.store.value(row, math->setup.MathChannelA).has_value() &&
                              ctx.store.value(row, math->setup.MathChannelB).has_value();
    const std::optional<double> value =
        operandsRead
            ? mathValue(math->setup, std::span<const double>(Reading), math->factor, math->offset)
            : std::nullopt;
    if (!value) {
        return;
    }
    const double M = *value;
    Reading[kMathColumn] = M;
    ctx.display.showMath(M);
    if (math->onRightAxis && autoscaleMath(ctx.scale, M)) {
        ctx.display.refreshMathAxis();
    }
    if (!ctx.scale.MathAutoScaled) {
        return;
    }
    if (const std::optional<std::int32_t> y = mathTwip(M, ctx.scale.MathFullScale)) {
        ctx.store.setPlotY(row, kMathColumn, *y);
        ctx.store.setValue(row, kMathColumn, M);
    }
}

}  // namespace tq::run
