#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/measure_config.h"
#include "sim/meter.h"
#include "sim/meter_state.h"
#include "sim/scpi_parser.h"

// The meter's command set: tables of SCPI headers with the handlers that
// set or query. A handler sees the meter state, the unit's parameters and
// the reply being built for the message.
namespace tq::sim {

// The reply to one message: the answers of its queries, joined by ";"
// (488.2 8.4.1) and ended by one "\n".
struct ReplyDraft {
    std::vector<std::string> answers;
    std::int64_t readyMs = 0;     // not sent before this time (measurements take time)
    std::size_t fetchFields = 0;  // the reply holds one "FETCh?" answer of this many fields
};

struct Context {
    MeterState& state;
    const Options& options;
    std::int64_t nowMs;
    ReplyDraft& reply;
    const std::vector<scpi::Param>& params;
    Function function;  // the function a table row stands for

    void fail(int code) const { state.errors.push(code); }
    void answer(std::string text) const { reply.answers.push_back(std::move(text)); }
};

using Handler = void (*)(const Context&);

struct Command {
    std::string_view pattern;  // SCPI notation, "[SENSe:]VOLTage[:DC]:RANGe"
    Handler set = nullptr;
    Handler query = nullptr;
    Function function = Function::Dcv;
    bool needsCard = false;  // scanner-card commands fail with -241 without one
};

std::span<const Command> systemCommands();
std::span<const Command> scanCommands();
std::span<const Command> senseCommands();
std::span<const Command> measureCommands();

// Runs one parsed unit: finds its command (relative to the header path of
// the unit before it in the message, as 488.2 7.6.1.5 allows), checks it
// and calls the handler; errors go to the queue. path is updated.
void execute(MeterState& state, const Options& options, std::int64_t nowMs, ReplyDraft& reply,
             const scpi::ProgramUnit& unit, std::vector<std::string>& path);

// Parameter helpers; each pushes the error itself and returns nothing when
// the parameter is wrong.
namespace param {

// Between min and max parameters (-109 missing, -108 too many).
bool count(const Context& ctx, std::size_t min, std::size_t max);

struct Limits {
    double min;
    double max;
    double def;
};
// A number within limits, or MINimum / MAXimum / DEFault.
std::optional<double> numeric(const Context& ctx, std::size_t i, Limits limits);

// ON / OFF / 1 / 0.
std::optional<bool> boolean(const Context& ctx, std::size_t i);

// A range parameter of a function: a value selects the smallest range that
// holds it, MINimum and MAXimum the end ranges (all manual); DEFault and
// AUTO turn autorange on and keep the range value.
struct RangeChoice {
    double range;
    bool autoRange;
};
std::optional<RangeChoice> range(const Context& ctx, std::size_t i, Function function,
                                 double current);

// A word among choices in SCPI notation ("IMMediate", "BUS"): its index.
std::optional<std::size_t> choice(const Context& ctx, std::size_t i,
                                  std::span<const std::string_view> choices);

}  // namespace param

// Reply texts.
std::string integerReply(long long value);
std::string quotedReply(std::string_view text);

}  // namespace tq::sim
