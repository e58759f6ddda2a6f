#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "common/clock.h"
#include "instrument/forwarding_visa.h"
#include "instrument/session.h"

namespace tq::test {

// How the read after the n-th query of a kind goes instead of the meter's
// reply, which is still taken and thrown away (a reply lost on the way).
struct ReadScript {
    std::optional<std::string> reply;  // none: the read times out
    std::int64_t delayMs = 0;          // the read takes this long first
};
inline ReadScript replyWith(std::string text) {
    return {std::move(text), 0};
}
inline ReadScript timeOut() {
    return {std::nullopt, 0};
}
inline ReadScript slowBy(std::int64_t ms) {
    return {std::string(), ms};
}

// The simulated meter's link with a hand on its replies.
class ScriptedVisa : public visa::ForwardingVisa {
  public:
    ScriptedVisa(visa::VisaApi& inner, Clock& clock) : ForwardingVisa(inner), clock_(clock) {}
    void script(const std::string& query, int n, ReadScript s) { scripts_[{query, n}] = s; }

    visa::ViStatus write(visa::ViSession vi, std::string_view bytes,
                         visa::ViUInt32& count) override {
        query_ = std::string(bytes.substr(0, bytes.find('\n')));
        n_ = ++counts_[query_];
        return inner().write(vi, bytes, count);
    }
    visa::ViStatus read(visa::ViSession vi, std::span<char> buffer,
                        visa::ViUInt32& count) override {
        const auto it = scripts_.find({query_, n_});
        if (it == scripts_.end()) {
            return inner().read(vi, buffer, count);
        }
        const ReadScript s = it->second;
        scripts_.erase(it);
        clock_.pause(s.delayMs);
        std::array<char, 1024> lost{};
        const visa::ViStatus status = inner().read(vi, lost, count);
        if (s.delayMs > 0) {
            count = std::min<visa::ViUInt32>(count, static_cast<visa::ViUInt32>(buffer.size()));
            std::copy_n(lost.begin(), count, buffer.begin());
            return status;
        }
        if (!s.reply) {
            clock_.pause(kIoTimeoutMs);
            count = 0;
            return visa::VI_ERROR_TMO;
        }
        count = static_cast<visa::ViUInt32>(s.reply->copy(buffer.data(), buffer.size()));
        return visa::VI_SUCCESS;
    }

  private:
    Clock& clock_;
    std::map<std::pair<std::string, int>, ReadScript> scripts_;
    std::map<std::string, int> counts_;
    std::string query_;
    int n_ = 0;
};

}  // namespace tq::test
