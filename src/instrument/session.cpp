#include "instrument/session.h"

#include <algorithm>

#include "instrument/usb_resource.h"

namespace tq {

using visa::ViUInt32;

InstrumentSession::InstrumentSession(visa::VisaApi& visa) : visa_(visa) {
    blankReply();
}

void InstrumentSession::takeResourceName(const std::string& name) {
    ResourceName = name.substr(0, kResourceNameChars);
}

visa::ViStatus InstrumentSession::openResourceManager() {
    VisaStatus = visa_.openDefaultRM(DefaultRM);
    return VisaStatus;
}

void InstrumentSession::findMeters() {
    ViUInt32 count = 0;
    std::string first;
    VisaStatus = visa_.findRsrc(DefaultRM, kMeterPattern, FindList, count, first);
    FoundCount = static_cast<std::int32_t>(std::min<ViUInt32>(count, INT32_MAX));
    if (!visa::failed(VisaStatus)) {
        takeResourceName(first);
    }
}

void InstrumentSession::closeResourceManager() {
    VisaStatus = visa_.close(DefaultRM);
}

void InstrumentSession::openMeter() {
    VisaStatus = visa_.open(DefaultRM, ResourceName, visa::VI_NO_LOCK, 0, InstrSession);
}

void InstrumentSession::setIoTimeout() {
    VisaStatus = visa_.setAttribute(InstrSession, visa::VI_ATTR_TMO_VALUE, kIoTimeoutMs);
}

void InstrumentSession::writeLine(std::string_view line) {
    // One call, one command: a line feed inside the line (a field pasted as
    // "0.001\n*RST") would end it early, and a ";" ("0.1;*RST") would join
    // another command to it; either way the rest would reach the meter as a
    // command of its own. None of the program's own lines holds either.
    std::string message(line.substr(0, line.find_first_of("\n;")));
    message += '\n';
    writeBytes(message);
}

void InstrumentSession::writeBytes(std::string_view bytes) {
    ViUInt32 written = 0;
    VisaStatus = visa_.write(InstrSession, bytes, written);
    WriteCount = static_cast<std::int32_t>(std::min<std::size_t>(written, bytes.size()));
}

void InstrumentSession::readReply() {
    std::array<char, kReplyReadCount> received{};
    ViUInt32 count = 0;
    VisaStatus = visa_.read(InstrSession, received, count);
    const std::size_t kept = std::min<std::size_t>(count, received.size());
    ReadCount = static_cast<std::int32_t>(kept);
    std::copy_n(received.begin(), std::min(kept, ReplyBuf.size()), ReplyBuf.begin());
    ReceivedReply.assign(received.data(), kept);
}

void InstrumentSession::readFetch() {
    std::array<char, kFetchReadCount> received{};
    ViUInt32 count = 0;
    VisaStatus = visa_.read(InstrSession, received, count);
    const std::size_t kept = std::min<std::size_t>(count, received.size());
    ReadCount = static_cast<std::int32_t>(kept);
    FetchBuf.assign(received.data(), kept);
}

std::string InstrumentSession::describe(visa::ViStatus status) const {
    std::string desc;
    if (visa::failed(visa_.statusDesc(DefaultRM, status, desc)) || desc.empty()) {
        desc = visa::statusWords(status);
    }
    return desc;
}

void InstrumentSession::blankReply() {
    ReplyBuf.fill(' ');
}

void InstrumentSession::clearFetch() {
    FetchBuf.clear();
}

void InstrumentSession::release() {
    for (std::int32_t k = 1; k <= FoundCount; ++k) {
        VisaStatus = visa_.open(DefaultRM, ResourceName, visa::VI_NO_LOCK, 0, InstrSession);
        writeBytes(kLocalCommand);
        VisaStatus = visa_.close(InstrSession);
        std::string next;
        VisaStatus = visa_.findNext(FindList, next);
        if (visa::failed(VisaStatus)) {
            break;
        }
        takeResourceName(next);
    }
    VisaStatus = visa_.close(DefaultRM);
}

std::string serialLabel(std::string_view resourceName) {
    const auto at = resourceName.find("TW");
    if (at != std::string_view::npos) {
        return std::string(resourceName.substr(at, 10));
    }
    if (const auto usb = visa::parseUsbResource(resourceName)) {
        return usb->serial;
    }
    return {};
}

}  // namespace tq
