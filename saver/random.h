// The show's one pseudo-random generator: xorshift32, small and fast, and plenty for moving pumpkins
// and scattering stars. Seeded, so that a test can replay a night.
#pragma once

#include <cstdint>

class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x2545F491u) {}  // never 0: it would stay 0

    std::uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // 0 .. count - 1 (count > 0).
    std::uint32_t Below(std::uint32_t count) { return Next() % count; }
    // 0 <= x < 1.
    double Unit() { return (Next() >> 8) / static_cast<double>(1u << 24); }
    double Range(double low, double high) { return low + (high - low) * Unit(); }
    // low .. high, both included.
    int Int(int low, int high) { return low + static_cast<int>(Unit() * (high - low + 1)); }
    // -1 or +1.
    int Sign() { return Unit() < 0.5 ? -1 : 1; }
    // A seed for another generator: from another place in the sequence than this one's next numbers,
    // so that two generators seeded one after the other do not run in step.
    std::uint32_t Seed() { return Next() * 0x9E3779B9u; }

private:
    std::uint32_t state_;
};
