#include "sim/meter.h"

#include <algorithm>
#include <deque>
#include <utility>

#include "common/clock.h"
#include "sim/command.h"
#include "sim/meter_state.h"
#include "sim/random.h"
#include "sim/reading_format.h"
#include "sim/scpi_parser.h"

namespace tq::sim {

namespace {

// Longest message the meter buffers; the rest of a longer one is thrown
// away, so a host sending endless bytes cannot grow memory without bound.
constexpr std::size_t maxMessageBytes = 16 * 1024;

// Fault draws get their own stream, apart from the signals' noise.
constexpr std::uint64_t faultStream = 0x6661756C74ULL;

struct PendingReply {
    std::int64_t readyMs;
    std::string bytes;
    int message;  // the host message it answers
};

}  // namespace

struct Meter::Impl {
    Clock& clock;
    Options options;
    MeterState state;
    Rng faultRng;
    std::string inbox;
    bool discarding = false;  // inside a message that overran the buffer
    std::deque<PendingReply> outbox;
    std::vector<TranscriptEntry> transcript;
    bool connected = true;
    bool keepTranscript = true;
    int linesReceived = 0;

    Impl(Clock& c, Options o)
        : clock(c), options(std::move(o)), faultRng(mix(options.seed ^ faultStream)) {}

    void handleMessage(std::string message);
    void queueReply(ReplyDraft draft);
    void shortenFetch(std::string& body, std::size_t fields);
    void disconnect();
};

void Meter::Impl::handleMessage(std::string message) {
    const std::int64_t nowMs = clock.tickMs();
    if (keepTranscript) {
        transcript.push_back(
            {.timeMs = nowMs, .fromHost = true, .bytes = message, .message = linesReceived});
    }
    if (!message.empty() && message.back() == '\n') {
        message.pop_back();
    }
    // Any message puts the meter under remote control; "SYSTem:LOCal"
    // hands it back.
    state.remote = true;
    ReplyDraft draft{.answers = {}, .readyMs = nowMs, .fetchFields = 0};
    std::vector<std::string> path;
    for (const std::string_view text : scpi::splitUnits(message)) {
        const scpi::ParseResult parsed = scpi::parseUnit(text);
        if (const auto* failure = std::get_if<scpi::ParseFailure>(&parsed)) {
            state.errors.push(failure->code);
            continue;
        }
        execute(state, options, nowMs, draft, std::get<scpi::ProgramUnit>(parsed), path);
    }
    if (!draft.answers.empty()) {
        queueReply(std::move(draft));
    }
    ++linesReceived;
    const int limit = options.faults.disconnectAfterLines;
    if (limit >= 0 && linesReceived >= limit) {
        disconnect();
    }
}

void Meter::Impl::queueReply(ReplyDraft draft) {
    const Faults& faults = options.faults;
    if (faultRng.chance(faults.dropReply)) {
        return;
    }
    std::string body;
    for (const std::string& answer : draft.answers) {
        if (!body.empty()) {
            body += ';';
        }
        body += answer;
    }
    if (draft.fetchFields > 0 && draft.answers.size() == 1 && faultRng.chance(faults.shortFetch)) {
        shortenFetch(body, draft.fetchFields);
    }
    if (faultRng.chance(faults.garbage)) {
        for (char& c : body) {
            c = static_cast<char>('!' + faultRng.below('~' - '!' + 1));
        }
    }
    std::int64_t readyMs = draft.readyMs;
    if (faultRng.chance(faults.slowReply)) {
        readyMs += faults.slowReplyMs;
    }
    // Replies leave in the order of their queries.
    if (!outbox.empty()) {
        readyMs = std::max(readyMs, outbox.back().readyMs);
    }
    outbox.push_back({.readyMs = readyMs, .bytes = body + "\n", .message = linesReceived});
}

// Keeps the first k of n fields, k in 0 .. n-1, as a meter does that sends
// before its scan buffer is complete.
void Meter::Impl::shortenFetch(std::string& body, std::size_t fields) {
    const std::size_t kept = faultRng.below(fields);
    const std::size_t fieldBytes = readingFieldWidth + 1;
    body.resize(kept == 0 ? 0 : kept * fieldBytes - 1);
}

void Meter::Impl::disconnect() {
    connected = false;
    outbox.clear();
    inbox.clear();
}

Meter::Meter(Clock& clock, Options options)
    : impl_(std::make_unique<Impl>(clock, std::move(options))) {}

Meter::~Meter() = default;

void Meter::receive(std::string_view bytes) {
    Impl& m = *impl_;
    while (!bytes.empty() && m.connected) {
        const std::size_t newline = bytes.find('\n');
        const std::string_view piece =
            bytes.substr(0, newline == std::string_view::npos ? bytes.size() : newline + 1);
        bytes.remove_prefix(piece.size());
        const bool complete = newline != std::string_view::npos;
        if (m.discarding) {
            m.discarding = !complete;
            continue;
        }
        if (m.inbox.size() + piece.size() > maxMessageBytes) {
            m.state.errors.push(error::inputBufferOverrun);
            m.inbox.clear();
            m.discarding = !complete;
            continue;
        }
        m.inbox += piece;
        if (complete) {
            m.handleMessage(std::exchange(m.inbox, {}));
        }
    }
}

void Meter::endMessage() {
    Impl& m = *impl_;
    m.discarding = false;
    if (m.connected && !m.inbox.empty()) {
        m.handleMessage(std::exchange(m.inbox, {}));
    }
}

Meter::ReadResult Meter::read(std::size_t maxBytes, std::int64_t timeoutMs) {
    Impl& m = *impl_;
    const std::int64_t deadline = m.clock.tickMs() + std::max<std::int64_t>(timeoutMs, 0);
    while (true) {
        if (!m.connected) {
            return {.status = ReadStatus::Disconnected, .bytes = {}};
        }
        if (maxBytes == 0) {
            return {.status = ReadStatus::Ok, .bytes = {}};
        }
        const std::int64_t nowMs = m.clock.tickMs();
        if (!m.outbox.empty() && m.outbox.front().readyMs <= nowMs) {
            const int answers = m.outbox.front().message;
            std::string& pending = m.outbox.front().bytes;
            std::string bytes = pending.substr(0, maxBytes);
            pending.erase(0, bytes.size());
            if (pending.empty()) {
                m.outbox.pop_front();
            }
            if (m.keepTranscript) {
                m.transcript.push_back(
                    {.timeMs = nowMs, .fromHost = false, .bytes = bytes, .message = answers});
            }
            return {.status = ReadStatus::Ok, .bytes = std::move(bytes)};
        }
        if (nowMs >= deadline) {
            return {.status = ReadStatus::Timeout, .bytes = {}};
        }
        // Nothing else can happen while the host waits in here, so sleep
        // straight to the reply's time or the time-out.
        const std::int64_t wake =
            m.outbox.empty() ? deadline : std::min(deadline, m.outbox.front().readyMs);
        m.clock.pause(wake - nowMs);
    }
}

void Meter::clear() {
    Impl& m = *impl_;
    m.inbox.clear();
    m.discarding = false;
    m.outbox.clear();
}

bool Meter::connected() const {
    return impl_->connected;
}

const std::vector<TranscriptEntry>& Meter::transcript() const {
    return impl_->transcript;
}

const Options& Meter::options() const {
    return impl_->options;
}

std::optional<std::int64_t> Meter::nextReplyMs() const {
    if (!impl_->connected || impl_->outbox.empty()) {
        return std::nullopt;
    }
    return impl_->outbox.front().readyMs;
}

bool Meter::remote() const {
    return impl_->state.remote;
}

void Meter::setTranscriptKept(bool keep) {
    impl_->keepTranscript = keep;
    if (!keep) {
        impl_->transcript.clear();
    }
}

}  // namespace tq::sim
