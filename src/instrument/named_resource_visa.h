#pragma once

#include <memory>
#include <string>

#include "instrument/forwarding_visa.h"

namespace tq::visa {

// A resource named by the user (--resource) stands in for the search: every
// search reports that resource as its one match, whatever the pattern, so a
// meter on a socket or one that answers to another descriptor can be used as
// it is named. Opening, I/O and closing go to the provider underneath.
class NamedResourceVisa : public ForwardingVisa {
  public:
    NamedResourceVisa(std::unique_ptr<VisaApi> inner, std::string resource);

    ViStatus findRsrc(ViSession rm, std::string_view expr, ViFindList& list, ViUInt32& count,
                      std::string& desc) override;
    ViStatus findNext(ViFindList list, std::string& desc) override;
    ViStatus close(ViObject object) override;

  private:
    bool ownsList(ViObject object) const;

    std::string resource_;
    // Handles of this layer's find lists: from a range no provider in use
    // hands out (the built-in one counts from 1).
    ViFindList nextList_ = 0x7F1D0001u;
    ViFindList liveList_ = VI_NULL;
    ViSession listOwner_ = VI_NULL;
};

}  // namespace tq::visa
