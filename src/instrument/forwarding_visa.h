#pragma once

#include <memory>
#include <string>

#include "instrument/visa_api.h"

namespace tq::visa {

// Passes every call to the provider underneath. A decorator (the trace, a
// named resource, a test's recorder) overrides only the calls it changes.
class ForwardingVisa : public VisaApi {
  public:
    // Owns the provider underneath.
    explicit ForwardingVisa(std::unique_ptr<VisaApi> inner)
        : owned_(std::move(inner)), inner_(*owned_) {}
    // Borrows it: the caller keeps it alive for this object's life.
    explicit ForwardingVisa(VisaApi& inner) : inner_(inner) {}

    ViStatus openDefaultRM(ViSession& rm) override { return inner_.openDefaultRM(rm); }
    ViStatus findRsrc(ViSession rm, std::string_view expr, ViFindList& list, ViUInt32& count,
                      std::string& desc) override {
        return inner_.findRsrc(rm, expr, list, count, desc);
    }
    ViStatus findNext(ViFindList list, std::string& desc) override {
        return inner_.findNext(list, desc);
    }
    ViStatus open(ViSession rm, std::string_view name, ViUInt32 mode, ViUInt32 openTimeout,
                  ViSession& vi) override {
        return inner_.open(rm, name, mode, openTimeout, vi);
    }
    ViStatus setAttribute(ViObject vi, ViAttr attr, ViAttrState value) override {
        return inner_.setAttribute(vi, attr, value);
    }
    ViStatus write(ViSession vi, std::string_view bytes, ViUInt32& retCount) override {
        return inner_.write(vi, bytes, retCount);
    }
    ViStatus read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) override {
        return inner_.read(vi, buffer, retCount);
    }
    ViStatus close(ViObject object) override { return inner_.close(object); }
    ViStatus statusDesc(ViObject vi, ViStatus status, std::string& desc) override {
        return inner_.statusDesc(vi, status, desc);
    }

  protected:
    VisaApi& inner() { return inner_; }

  private:
    std::unique_ptr<VisaApi> owned_;
    VisaApi& inner_;
};

}  // namespace tq::visa
