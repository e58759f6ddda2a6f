#include <array>

#include "sim/command.h"
#include "sim/scpi_header.h"

namespace tq::sim {

namespace {

const Command* findCommand(const std::vector<std::string>& nodes) {
    const std::array tables{systemCommands(), scanCommands(), senseCommands(), measureCommands()};
    for (const auto& table : tables) {
        for (const Command& command : table) {
            if (scpi::headerMatches(command.pattern, nodes)) {
                return &command;
            }
        }
    }
    return nullptr;
}

}  // namespace

void execute(MeterState& state, const Options& options, std::int64_t nowMs, ReplyDraft& reply,
             const scpi::ProgramUnit& unit, std::vector<std::string>& path) {
    const Command* command = nullptr;
    std::vector<std::string> resolved = unit.nodes;
    if (!unit.common && !unit.absolute && !path.empty()) {
        std::vector<std::string> nodes = path;
        nodes.insert(nodes.end(), unit.nodes.begin(), unit.nodes.end());
        command = findCommand(nodes);
        if (command != nullptr) {
            resolved = std::move(nodes);
        }
    }
    if (command == nullptr) {
        // Meters are lenient here: a unit that does not fit the path is
        // tried from the root.
        command = findCommand(unit.nodes);
    }
    if (!unit.common) {
        path.assign(resolved.begin(), resolved.end() - 1);
    }

    const Handler handler = command == nullptr ? nullptr
                            : unit.query       ? command->query
                                               : command->set;
    if (handler == nullptr) {
        state.errors.push(error::undefinedHeader);
        return;
    }
    if (command->needsCard && !options.card) {
        state.errors.push(error::hardwareMissing);
        return;
    }
    const Context ctx{.state = state,
                      .options = options,
                      .nowMs = nowMs,
                      .reply = reply,
                      .params = unit.params,
                      .function = command->function};
    handler(ctx);
}

}  // namespace tq::sim
