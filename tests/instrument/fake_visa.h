#pragma once

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "instrument/visa_api.h"

namespace tq::visa::testing {

// A scripted provider: records every call as a line of text and answers
// reads from a queue of replies.
class FakeVisa : public VisaApi {
  public:
    struct Reply {
        ViStatus status = VI_SUCCESS;
        std::string bytes;
        // Pretend the provider claims more than it was given room for.
        ViUInt32 claimedCount = 0;
    };

    std::vector<std::string> resources;  // what a search finds
    std::deque<Reply> replies;
    std::vector<std::string> calls;
    ViStatus openRMStatus = VI_SUCCESS;

    ViStatus openDefaultRM(ViSession& rm) override {
        calls.push_back("openDefaultRM");
        rm = failed(openRMStatus) ? VI_NULL : kRM;
        return openRMStatus;
    }
    ViStatus findRsrc(ViSession rm, std::string_view expr, ViFindList& list, ViUInt32& count,
                      std::string& desc) override {
        calls.push_back("findRsrc " + std::to_string(rm) + " " + std::string(expr));
        next_ = 0;
        count = static_cast<ViUInt32>(resources.size());
        if (resources.empty()) {
            list = VI_NULL;
            return VI_ERROR_RSRC_NFOUND;
        }
        list = kList;
        desc = resources[next_++];
        return VI_SUCCESS;
    }
    ViStatus findNext(ViFindList list, std::string& desc) override {
        calls.push_back("findNext " + std::to_string(list));
        if (list != kList || next_ >= resources.size()) {
            return VI_ERROR_RSRC_NFOUND;
        }
        desc = resources[next_++];
        return VI_SUCCESS;
    }
    ViStatus open(ViSession rm, std::string_view name, ViUInt32 mode, ViUInt32 openTimeout,
                  ViSession& vi) override {
        vi = nextSession_++;
        calls.push_back("open " + std::to_string(rm) + " " + std::string(name) + " " +
                        std::to_string(mode) + " " + std::to_string(openTimeout) + " -> " +
                        std::to_string(vi));
        return VI_SUCCESS;
    }
    ViStatus setAttribute(ViObject vi, ViAttr attr, ViAttrState value) override {
        calls.push_back("setAttribute " + std::to_string(vi) + " " + std::to_string(attr) + " " +
                        std::to_string(value));
        return VI_SUCCESS;
    }
    ViStatus write(ViSession vi, std::string_view bytes, ViUInt32& retCount) override {
        calls.push_back("write " + std::to_string(vi) + " [" + std::string(bytes) + "] " +
                        std::to_string(bytes.size()));
        retCount = static_cast<ViUInt32>(bytes.size());
        return VI_SUCCESS;
    }
    ViStatus read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) override {
        calls.push_back("read " + std::to_string(vi) + " " + std::to_string(buffer.size()));
        retCount = 0;
        if (replies.empty()) {
            return VI_ERROR_TMO;
        }
        const Reply reply = replies.front();
        replies.pop_front();
        const std::size_t count = std::min(buffer.size(), reply.bytes.size());
        std::copy_n(reply.bytes.begin(), count, buffer.begin());
        retCount = reply.claimedCount != 0 ? reply.claimedCount : static_cast<ViUInt32>(count);
        return reply.status;
    }
    ViStatus close(ViObject object) override {
        calls.push_back("close " + std::to_string(object));
        return object == VI_NULL ? VI_WARN_NULL_OBJECT : VI_SUCCESS;
    }

    static constexpr ViSession kRM = 1;
    static constexpr ViFindList kList = 2;

  private:
    std::size_t next_ = 0;
    ViSession nextSession_ = 10;
};

}  // namespace tq::visa::testing
