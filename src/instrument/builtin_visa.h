#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "instrument/transport.h"
#include "instrument/visa_api.h"

namespace tq::visa {

// The resource manager used when no system VISA library is installed: the
// VISA calls over a set of transport sources. Handles are never reused, so a
// stale handle fails with VI_ERROR_INV_OBJECT instead of reaching another
// session.
class BuiltinVisa : public VisaApi {
  public:
    explicit BuiltinVisa(std::vector<std::unique_ptr<TransportSource>> sources);

    ViStatus openDefaultRM(ViSession& rm) override;
    ViStatus findRsrc(ViSession rm, std::string_view expr, ViFindList& list, ViUInt32& count,
                      std::string& desc) override;
    ViStatus findNext(ViFindList list, std::string& desc) override;
    ViStatus open(ViSession rm, std::string_view name, ViUInt32 mode, ViUInt32 openTimeout,
                  ViSession& vi) override;
    ViStatus setAttribute(ViObject vi, ViAttr attr, ViAttrState value) override;
    ViStatus write(ViSession vi, std::string_view bytes, ViUInt32& retCount) override;
    ViStatus read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) override;
    ViStatus close(ViObject object) override;
    ViStatus statusDesc(ViObject vi, ViStatus status, std::string& desc) override;

  private:
    struct ResourceManager {};
    struct Session {
        ViSession rm;
        std::unique_ptr<Transport> transport;
    };
    struct FindList {
        ViSession rm;
        std::deque<std::string> remaining;
    };
    using Object = std::variant<ResourceManager, Session, FindList>;

    template <typename T>
    T* find(ViObject handle);
    ViObject add(Object object);

    std::vector<std::unique_ptr<TransportSource>> sources_;
    // Keeps the system's reason for a failed call beside its status.
    ViStatus noteFailure(ViStatus status, std::string reason);
    ViStatus noteIo(const Transport& transport, ViStatus status);

    // The latest call that failed, with the system's reason (empty when the
    // status says it all).
    ViStatus failedStatus_ = VI_SUCCESS;
    std::string failure_;
    std::map<ViObject, Object> objects_;
    ViObject nextHandle_ = 1;
};

}  // namespace tq::visa
