#pragma once

#include <memory>
#include <string>
#include <vector>

#include "instrument/visa_api.h"

namespace tq::visa {

// A VISA library installed on the system (NI-VISA, Keysight, R&S, the IVI
// shared components), loaded at run time so that the program needs none to
// build or to run.
class SystemVisa : public VisaApi {
  public:
    // nullptr when the library does not load or lacks one of the eight
    // calls; problem then says why (dlerror's text).
    static std::unique_ptr<SystemVisa> load(const std::string& path, std::string& problem);

    ~SystemVisa() override;
    SystemVisa(const SystemVisa&) = delete;
    SystemVisa& operator=(const SystemVisa&) = delete;

    const std::string& path() const { return path_; }

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
    struct Calls;
    SystemVisa(void* handle, std::string path, std::unique_ptr<Calls> calls);

    void* handle_;
    std::string path_;
    std::unique_ptr<Calls> calls_;
};

// Where the usual Linux VISA libraries live, in the order they are tried.
std::vector<std::string> systemVisaCandidates();

}  // namespace tq::visa
