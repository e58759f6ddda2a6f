#include "instrument/builtin_visa.h"

#include <algorithm>

#include "instrument/resource_pattern.h"

namespace tq::visa {

BuiltinVisa::BuiltinVisa(std::vector<std::unique_ptr<TransportSource>> sources)
    : sources_(std::move(sources)) {}

template <typename T>
T* BuiltinVisa::find(ViObject handle) {
    const auto it = objects_.find(handle);
    return it == objects_.end() ? nullptr : std::get_if<T>(&it->second);
}

ViObject BuiltinVisa::add(Object object) {
    const ViObject handle = nextHandle_++;
    objects_.emplace(handle, std::move(object));
    return handle;
}

ViStatus BuiltinVisa::noteFailure(ViStatus status, std::string reason) {
    failedStatus_ = status;
    failure_ = std::move(reason);
    return status;
}

ViStatus BuiltinVisa::noteIo(const Transport& transport, ViStatus status) {
    if (!failed(status)) {
        return status;
    }
    const int error = transport.systemError();
    return noteFailure(status, error == 0 ? std::string() : systemWords(error));
}

ViStatus BuiltinVisa::openDefaultRM(ViSession& rm) {
    rm = add(ResourceManager{});
    return VI_SUCCESS;
}

ViStatus BuiltinVisa::findRsrc(ViSession rm, std::string_view expr, ViFindList& list,
                               ViUInt32& count, std::string& desc) {
    list = VI_NULL;
    count = 0;
    desc.clear();
    if (find<ResourceManager>(rm) == nullptr) {
        return VI_ERROR_INV_SESSION;
    }
    const auto pattern = ResourcePattern::parse(expr);
    if (!pattern) {
        return VI_ERROR_INV_EXPR;
    }
    std::deque<std::string> matches;
    for (const auto& source : sources_) {
        for (auto& name : source->list()) {
            const bool seen = std::ranges::any_of(
                matches, [&](const std::string& known) { return sameResourceName(known, name); });
            if (!seen && name.size() < VI_FIND_BUFLEN && pattern->matches(name)) {
                matches.push_back(std::move(name));
            }
        }
    }
    if (matches.empty()) {
        return VI_ERROR_RSRC_NFOUND;
    }
    count = static_cast<ViUInt32>(matches.size());
    desc = std::move(matches.front());
    matches.pop_front();
    list = add(FindList{.rm = rm, .remaining = std::move(matches)});
    return VI_SUCCESS;
}

ViStatus BuiltinVisa::findNext(ViFindList list, std::string& desc) {
    FindList* found = find<FindList>(list);
    if (found == nullptr) {
        return VI_ERROR_INV_OBJECT;
    }
    if (found->remaining.empty()) {
        return VI_ERROR_RSRC_NFOUND;
    }
    desc = std::move(found->remaining.front());
    found->remaining.pop_front();
    return VI_SUCCESS;
}

ViStatus BuiltinVisa::open(ViSession rm, std::string_view name, ViUInt32 /*mode*/,
                           ViUInt32 /*openTimeout*/, ViSession& vi) {
    vi = VI_NULL;
    if (find<ResourceManager>(rm) == nullptr) {
        return VI_ERROR_INV_SESSION;
    }
    if (name.empty() || name.size() >= VI_FIND_BUFLEN) {
        return VI_ERROR_INV_RSRC_NAME;
    }
    for (const auto& source : sources_) {
        if (!source->recognises(name)) {
            continue;
        }
        std::unique_ptr<Transport> transport;
        const ViStatus status = source->open(name, transport);
        if (failed(status)) {
            return noteFailure(status, source->openFailure());
        }
        vi = add(Session{.rm = rm, .transport = std::move(transport)});
        return status;
    }
    return VI_ERROR_RSRC_NFOUND;
}

ViStatus BuiltinVisa::setAttribute(ViObject vi, ViAttr attr, ViAttrState value) {
    Session* session = find<Session>(vi);
    if (session == nullptr) {
        return VI_ERROR_INV_OBJECT;
    }
    if (attr != VI_ATTR_TMO_VALUE) {
        return VI_ERROR_NSUP_ATTR;
    }
    const auto ms = static_cast<ViUInt32>(std::min<ViAttrState>(value, VI_TMO_INFINITE));
    return noteIo(*session->transport, session->transport->setTimeout(ms));
}

ViStatus BuiltinVisa::write(ViSession vi, std::string_view bytes, ViUInt32& retCount) {
    retCount = 0;
    Session* session = find<Session>(vi);
    if (session == nullptr) {
        return VI_ERROR_INV_SESSION;
    }
    return noteIo(*session->transport, session->transport->write(bytes, retCount));
}

ViStatus BuiltinVisa::read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) {
    retCount = 0;
    Session* session = find<Session>(vi);
    if (session == nullptr) {
        return VI_ERROR_INV_SESSION;
    }
    return noteIo(*session->transport, session->transport->read(buffer, retCount));
}

ViStatus BuiltinVisa::statusDesc(ViObject vi, ViStatus status, std::string& desc) {
    if (status == failedStatus_ && !failure_.empty()) {
        desc = failure_;
        return VI_SUCCESS;
    }
    return VisaApi::statusDesc(vi, status, desc);
}

ViStatus BuiltinVisa::close(ViObject object) {
    if (object == VI_NULL) {
        return VI_WARN_NULL_OBJECT;
    }
    const auto it = objects_.find(object);
    if (it == objects_.end()) {
        return VI_ERROR_INV_OBJECT;
    }
    if (std::holds_alternative<ResourceManager>(it->second)) {
        std::erase_if(objects_, [object](const auto& entry) {
            if (const auto* session = std::get_if<Session>(&entry.second)) {
                return session->rm == object;
            }
            if (const auto* list = std::get_if<FindList>(&entry.second)) {
                return list->rm == object;
            }
            return false;
        });
    }
    objects_.erase(object);
    return VI_SUCCESS;
}

}  // namespace tq::visa
