#include "instrument/system_visa.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace tq::visa {

// The C signatures of visa.h on 64-bit Linux (ViString, ViRsrc and ViBuf
// are non-const pointers there; ViAttrState is 64-bit).
struct SystemVisa::Calls {
    ViStatus (*openDefaultRM)(ViSession*);
    ViStatus (*findRsrc)(ViSession, char*, ViFindList*, ViUInt32*, char*);
    ViStatus (*findNext)(ViFindList, char*);
    ViStatus (*open)(ViSession, char*, ViUInt32, ViUInt32, ViSession*);
    ViStatus (*setAttribute)(ViObject, ViAttr, ViAttrState);
    ViStatus (*write)(ViSession, unsigned char*, ViUInt32, ViUInt32*);
    ViStatus (*read)(ViSession, unsigned char*, ViUInt32, ViUInt32*);
    ViStatus (*close)(ViObject);
    // Not every library has it; the status's own words stand in.
    ViStatus (*statusDesc)(ViObject, ViStatus, char*) = nullptr;
};

namespace {

template <typename Function>
bool resolve(void* handle, const char* name, Function& function, std::string& problem) {
    dlerror();
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        const char* error = dlerror();
        problem = error != nullptr ? error : std::string(name) + ": not found";
        return false;
    }
    // POSIX guarantees that a dlsym result converts to a function pointer.
    function = reinterpret_cast<Function>(symbol);
    return true;
}

std::string descriptor(const std::array<char, VI_FIND_BUFLEN>& buffer) {
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

ViUInt32 clampCount(std::size_t size) {
    return static_cast<ViUInt32>(std::min<std::size_t>(size, 0xFFFFFFFFu));
}

}  // namespace

std::vector<std::string> systemVisaCandidates() {
    return {
        "libvisa.so",  // NI-VISA
        "libvisa.so.0",
        "/usr/local/vxipnp/linux/lib64/libvisa.so",
        "libivivisa.so.7",  // IVI shared components
        "/opt/keysight/iolibs/libktvisa32.so",
        "libiovisa.so",  // Keysight IO Libraries
        "librsvisa.so",  // Rohde & Schwarz
    };
}

std::unique_ptr<SystemVisa> SystemVisa::load(const std::string& path, std::string& problem) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = dlerror();
        problem = error != nullptr ? error : path + ": cannot be loaded";
        return nullptr;
    }
    auto calls = std::make_unique<Calls>();
    const bool complete = resolve(handle, "viOpenDefaultRM", calls->openDefaultRM, problem) &&
                          resolve(handle, "viFindRsrc", calls->findRsrc, problem) &&
                          resolve(handle, "viFindNext", calls->findNext, problem) &&
                          resolve(handle, "viOpen", calls->open, problem) &&
                          resolve(handle, "viSetAttribute", calls->setAttribute, problem) &&
                          resolve(handle, "viWrite", calls->write, problem) &&
                          resolve(handle, "viRead", calls->read, problem) &&
                          resolve(handle, "viClose", calls->close, problem);
    if (!complete) {
        dlclose(handle);
        return nullptr;
    }
    std::string optional;
    resolve(handle, "viStatusDesc", calls->statusDesc, optional);
    return std::unique_ptr<SystemVisa>(new SystemVisa(handle, path, std::move(calls)));
}

SystemVisa::SystemVisa(void* handle, std::string path, std::unique_ptr<Calls> calls)
    : handle_(handle), path_(std::move(path)), calls_(std::move(calls)) {}

SystemVisa::~SystemVisa() {
    dlclose(handle_);
}

ViStatus SystemVisa::openDefaultRM(ViSession& rm) {
    return calls_->openDefaultRM(&rm);
}

ViStatus SystemVisa::findRsrc(ViSession rm, std::string_view expr, ViFindList& list,
                              ViUInt32& count, std::string& desc) {
    std::string expression(expr);
    std::array<char, VI_FIND_BUFLEN> buffer{};
    const ViStatus status = calls_->findRsrc(rm, expression.data(), &list, &count, buffer.data());
    desc = descriptor(buffer);
    return status;
}

ViStatus SystemVisa::findNext(ViFindList list, std::string& desc) {
    std::array<char, VI_FIND_BUFLEN> buffer{};
    const ViStatus status = calls_->findNext(list, buffer.data());
    desc = descriptor(buffer);
    return status;
}

ViStatus SystemVisa::open(ViSession rm, std::string_view name, ViUInt32 mode, ViUInt32 openTimeout,
                          ViSession& vi) {
    std::string resource(name);
    return calls_->open(rm, resource.data(), mode, openTimeout, &vi);
}

ViStatus SystemVisa::setAttribute(ViObject vi, ViAttr attr, ViAttrState value) {
    return calls_->setAttribute(vi, attr, value);
}

ViStatus SystemVisa::write(ViSession vi, std::string_view bytes, ViUInt32& retCount) {
    std::vector<unsigned char> copy(bytes.begin(), bytes.end());
    retCount = 0;
    return calls_->write(vi, copy.data(), clampCount(copy.size()), &retCount);
}

ViStatus SystemVisa::read(ViSession vi, std::span<char> buffer, ViUInt32& retCount) {
    retCount = 0;
    const ViStatus status = calls_->read(vi, reinterpret_cast<unsigned char*>(buffer.data()),
                                         clampCount(buffer.size()), &retCount);
    retCount = std::min(retCount, clampCount(buffer.size()));
    return status;
}

ViStatus SystemVisa::close(ViObject object) {
    return calls_->close(object);
}

ViStatus SystemVisa::statusDesc(ViObject vi, ViStatus status, std::string& desc) {
    // VISA's description buffer holds 256 characters.
    std::array<char, VI_FIND_BUFLEN> buffer{};
    if (calls_->statusDesc == nullptr || failed(calls_->statusDesc(vi, status, buffer.data()))) {
        return VisaApi::statusDesc(vi, status, desc);
    }
    desc = descriptor(buffer);
    return VI_SUCCESS;
}

}  // namespace tq::visa
