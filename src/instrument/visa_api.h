#pragma once

#include <span>
#include <string>
#include <string_view>

#include "instrument/visa_types.h"

namespace tq::visa {

// The nine VISA calls the front panel makes, with VISA's arguments and
// status values. Every provider (a system VISA library, the built-in
// resource manager, the decorators around them) implements this and nothing
// more, so the session code reads like the VISA program it is.
//
// Differences from the C API, all of them about memory safety:
//  - a descriptor is a std::string of at most VI_FIND_BUFLEN - 1 characters
//    instead of a caller-supplied 256-byte array;
//  - read() takes the buffer as a span and the count is its size, so a count
//    can never exceed the buffer.
class VisaApi {
  public:
    virtual ~VisaApi() = default;

    virtual ViStatus openDefaultRM(ViSession& rm) = 0;
    // VI_ERROR_RSRC_NFOUND with count 0 when nothing matches.
    virtual ViStatus findRsrc(ViSession rm, std::string_view expr, ViFindList& list,
                              ViUInt32& count, std::string& desc) = 0;
    // VI_ERROR_RSRC_NFOUND after the last match.
    virtual ViStatus findNext(ViFindList list, std::string& desc) = 0;
    virtual ViStatus open(ViSession rm, std::string_view name, ViUInt32 mode, ViUInt32 openTimeout,
                          ViSession& vi) = 0;
    virtual ViStatus setAttribute(ViObject vi, ViAttr attr, ViAttrState value) = 0;
    // One write is one message; nothing is appended.
    virtual ViStatus write(ViSession vi, std::string_view bytes, ViUInt32& retCount) = 0;
    // Up to buffer.size() bytes; on VI_ERROR_TMO retCount holds what arrived.
    virtual ViStatus read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) = 0;
    // Closing a resource manager closes its sessions and find lists.
    virtual ViStatus close(ViObject object) = 0;
    // viStatusDesc: the status in words. A provider that knows more (the
    // system's reason a resource did not open) says so; the rest give the
    // status's own meaning.
    virtual ViStatus statusDesc(ViObject vi, ViStatus status, std::string& desc);
};

}  // namespace tq::visa
