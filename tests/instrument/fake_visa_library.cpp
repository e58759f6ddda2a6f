// A stand-in for a system VISA library: the eight calls with the C
// signatures of visa.h, and a window into what they were given.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

using ViStatus = std::int32_t;
using ViUInt32 = std::uint32_t;
using ViAttrState = std::uint64_t;

namespace {

constexpr ViStatus kSuccess = 0;
constexpr ViStatus kNotFound = static_cast<ViStatus>(0xBFFF0011u);
constexpr ViUInt32 kRM = 0x100;
constexpr ViUInt32 kList = 0x200;
constexpr ViUInt32 kSession = 0x300;
const char* const kResources[] = {"USB0::0x3A6D::0x0E31::TW00000007::INSTR",
                                  "USB0::0x3A6D::0x0E31::TW00000008::INSTR"};

std::string lastWrite;
std::string lastOpen;
ViAttrState lastAttribute = 0;
unsigned next = 0;

}  // namespace

extern "C" {

ViStatus viOpenDefaultRM(ViUInt32* rm) {
    *rm = kRM;
    return kSuccess;
}

ViStatus viFindRsrc(ViUInt32 rm, char* expr, ViUInt32* list, ViUInt32* count, char* desc) {
    if (rm != kRM || std::strcmp(expr, "USB[0-9]*::0x3A6D::0x0E31::?*INSTR") != 0) {
        *count = 0;
        return kNotFound;
    }
    *list = kList;
    *count = 2;
    next = 1;
    std::strcpy(desc, kResources[0]);
    return kSuccess;
}

ViStatus viFindNext(ViUInt32 list, char* desc) {
    if (list != kList || next >= 2) {
        return kNotFound;
    }
    std::strcpy(desc, kResources[next++]);
    return kSuccess;
}

ViStatus viOpen(ViUInt32, char* name, ViUInt32, ViUInt32, ViUInt32* vi) {
    lastOpen = name;
    *vi = kSession;
    return kSuccess;
}

ViStatus viSetAttribute(ViUInt32, ViUInt32, ViAttrState value) {
    lastAttribute = value;
    return kSuccess;
}

ViStatus viWrite(ViUInt32, unsigned char* buf, ViUInt32 count, ViUInt32* retCount) {
    lastWrite.assign(reinterpret_cast<char*>(buf), count);
    *retCount = count;
    return kSuccess;
}

ViStatus viRead(ViUInt32, unsigned char* buf, ViUInt32 count, ViUInt32* retCount) {
    const std::string reply = "VARANDEL,TQ4700,TW00000007,2.01\n";
    const ViUInt32 n = count < reply.size() ? count : static_cast<ViUInt32>(reply.size());
    std::memcpy(buf, reply.data(), n);
    *retCount = n;
    return n < reply.size() ? 0x3FFF0006 : kSuccess;
}

#ifndef FAKE_VISA_WITHOUT_CLOSE
ViStatus viClose(ViUInt32) {
    return kSuccess;
}
#endif

ViStatus viStatusDesc(ViUInt32, ViStatus status, char* desc) {
    std::snprintf(desc, 256, "fake library: status %d", status);
    return kSuccess;
}

const char* fakeVisaLastWrite() {
    return lastWrite.c_str();
}
const char* fakeVisaLastOpen() {
    return lastOpen.c_str();
}
ViAttrState fakeVisaLastAttribute() {
    return lastAttribute;
}
}
