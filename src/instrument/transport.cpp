#include "instrument/transport.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tq::visa {

ViStatus MessageRemainder::take(std::span<char> buffer, ViUInt32& retCount) {
    const std::size_t count = std::min(buffer.size(), bytes_.size());
    std::copy_n(bytes_.begin(), count, buffer.begin());
    bytes_.erase(0, count);
    retCount = static_cast<ViUInt32>(count);
    return bytes_.empty() ? VI_SUCCESS : VI_SUCCESS_MAX_CNT;
}

std::string systemWords(int error) {
    std::string words = std::strerror(error);
    if (!words.empty()) {
        words.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(words.front())));
    }
    return words;
}

bool sameResourceName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace tq::visa
