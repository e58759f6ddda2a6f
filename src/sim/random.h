#pragma once

#include <cstdint>

// Deterministic pseudo-random numbers: the same seed gives the same signals
// and the same faults on every platform, which the standard distributions
// do not promise.
namespace tq::sim {

// SplitMix64's finaliser: a well-mixed 64-bit hash of a 64-bit value.
constexpr std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A hash as a double in [0, 1), from its top 53 bits.
constexpr double unitInterval(std::uint64_t hash) {
    return static_cast<double>(hash >> 11) * 0x1.0p-53;
}

class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        return mix(state_);
    }
    double uniform() { return unitInterval(next()); }
    // True with the given probability (0 never, 1 always).
    bool chance(double probability) { return probability > 0 && uniform() < probability; }
    // A whole number in [0, bound); bound > 0.
    std::uint64_t below(std::uint64_t bound) { return next() % bound; }

  private:
    std::uint64_t state_;
};

}  // namespace tq::sim
