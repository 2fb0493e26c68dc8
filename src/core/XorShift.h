#pragma once

#include <cstdint>

namespace velloran {

// A small deterministic generator (xorshift64) for drawings that must come out the same on
// every run: wood grain, groove texture, generated covers.
class XorShift {
public:
    explicit constexpr XorShift(std::uint64_t seed)
        : m_state(seed == 0 ? 0x9E3779B97F4A7C15ULL : seed)
    {
    }

    constexpr std::uint64_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return m_state;
    }

    // A number in [0, 1) in steps of 1 / resolution.
    constexpr double fraction(std::uint64_t resolution) { return double(next() % resolution) / double(resolution); }

private:
    std::uint64_t m_state;
};

} // namespace velloran
