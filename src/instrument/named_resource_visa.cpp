#include "instrument/named_resource_visa.h"

#include "instrument/resource_pattern.h"

namespace tq::visa {

NamedResourceVisa::NamedResourceVisa(std::unique_ptr<VisaApi> inner, std::string resource)
    : ForwardingVisa(std::move(inner)), resource_(std::move(resource)) {}

bool NamedResourceVisa::ownsList(ViObject object) const {
    return object != VI_NULL && object == liveList_;
}

ViStatus NamedResourceVisa::findRsrc(ViSession rm, std::string_view expr, ViFindList& list,
                                     ViUInt32& count, std::string& desc) {
    list = VI_NULL;
    count = 0;
    if (rm == VI_NULL) {
        return VI_ERROR_INV_SESSION;
    }
    if (!ResourcePattern::parse(expr)) {
        return VI_ERROR_INV_EXPR;
    }
    liveList_ = nextList_++;
    listOwner_ = rm;
    list = liveList_;
    count = 1;
    desc = resource_;
    return VI_SUCCESS;
}

ViStatus NamedResourceVisa::findNext(ViFindList list, std::string& desc) {
    return ownsList(list) ? VI_ERROR_RSRC_NFOUND : inner().findNext(list, desc);
}

ViStatus NamedResourceVisa::close(ViObject object) {
    if (ownsList(object)) {
        liveList_ = VI_NULL;
        return VI_SUCCESS;
    }
    if (object != VI_NULL && object == listOwner_) {
        // Closing a resource manager closes its find lists.
        liveList_ = VI_NULL;
        listOwner_ = VI_NULL;
    }
    return inner().close(object);
}

}  // namespace tq::visa
