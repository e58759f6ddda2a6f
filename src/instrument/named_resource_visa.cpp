#include "instrument/named_resource_visa.h"

#include "instrument/resource_pattern.h"

namespace tq::visa {

NamedResourceVisa::NamedResourceVisa(std::unique_ptr<VisaApi> inner, std::string resource)
    : inner_(std::move(inner)), resource_(std::move(resource)) {}

bool NamedResourceVisa::ownsList(ViObject object) const {
    return object != VI_NULL && object == liveList_;
}

ViStatus NamedResourceVisa::openDefaultRM(ViSession& rm) {
    return inner_->openDefaultRM(rm);
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
    return ownsList(list) ? VI_ERROR_RSRC_NFOUND : inner_->findNext(list, desc);
}

ViStatus NamedResourceVisa::open(ViSession rm, std::string_view name, ViUInt32 mode,
                                 ViUInt32 openTimeout, ViSession& vi) {
    return inner_->open(rm, name, mode, openTimeout, vi);
}

ViStatus NamedResourceVisa::setAttribute(ViObject vi, ViAttr attr, ViAttrState value) {
    return inner_->setAttribute(vi, attr, value);
}

ViStatus NamedResourceVisa::write(ViSession vi, std::string_view bytes, ViUInt32& retCount) {
    return inner_->write(vi, bytes, retCount);
}

ViStatus NamedResourceVisa::read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) {
    return inner_->read(vi, buffer, retCount);
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
    return inner_->close(object);
}

ViStatus NamedResourceVisa::statusDesc(ViObject vi, ViStatus status, std::string& desc) {
    return inner_->statusDesc(vi, status, desc);
}

}  // namespace tq::visa
