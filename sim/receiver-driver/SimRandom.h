#pragma once
// A small, fast and reproducible random source: O'Neill's PCG32 (XSH-RR output). The simulated
// radios use one per handle and one per audio stream, so no generator is shared between threads.
#include <cstdint>

class SimRandom {
public:
    explicit SimRandom(uint64_t seed, uint64_t sequence = 0x5851F42D4C957F2DULL)
        : increment_((sequence << 1U) | 1U) {
        next();
        state_ += seed;
        next();
    }

    uint32_t next() {
        const uint64_t old = state_;
        state_ = old * 6364136223846793005ULL + increment_;
        const auto shifted = static_cast<uint32_t>(((old >> 18U) ^ old) >> 27U);
        const auto rotation = static_cast<uint32_t>(old >> 59U);
        return (shifted >> rotation) | (shifted << ((32U - rotation) & 31U));
    }

    // Uniform in [low, high).
    double uniform(double low, double high) {
        return low + (high - low) * (static_cast<double>(next()) / 4294967296.0);
    }

private:
    uint64_t state_ = 0;
    uint64_t increment_;
};
