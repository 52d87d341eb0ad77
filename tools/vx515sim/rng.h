#pragma once

#include <cstdint>

namespace vx::sim {

// A small generator whose sequence depends on the seed only, not on the standard library, so that a
// seeded run drifts the same way on every build.
class Rng {
public:
    explicit Rng(std::uint64_t seed)
        : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // 0 .. n-1; the slight bias of the modulo does not matter here.
    std::uint64_t below(std::uint64_t n) { return next() % n; }

private:
    std::uint64_t m_state;
};

} // namespace vx::sim
