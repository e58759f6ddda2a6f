#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// A property that failed stops the fuzzer with a message; libFuzzer keeps the
// input that caused it as a crash artifact.
namespace tq::fuzz {

[[noreturn]] inline void fail(std::string_view what, std::string_view detail = {}) {
    std::fprintf(stderr, "property failed: %.*s %.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void check(bool holds, std::string_view what, std::string_view detail = {}) {
    if (!holds) {
        fail(what, detail);
    }
}

}  // namespace tq::fuzz
