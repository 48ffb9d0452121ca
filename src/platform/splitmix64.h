#pragma once

#include <cstdint>

namespace pado {

// splitmix64, a small generator of our own: the standard distributions differ between library vendors, and
// whatever is seeded (the committed sample race, a tuning run) must come out byte for byte the same wherever
// it runs.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed)
        : state_(seed)
    {
    }

    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1.
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

} // namespace pado
