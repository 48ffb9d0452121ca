#pragma once

#include <cstdint>
#include <vector>

#include "platform/splitmix64.h"

namespace makerace {

// The sample race's draws, on the generator that repeats everywhere.
class Rng : public pado::SplitMix64 {
public:
    using SplitMix64::SplitMix64;

    // lo .. hi inclusive.
    int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    // 0 <= x < 1.
    double Real() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    bool Chance(double p) { return Real() < p; }
    template <class T> const T& Pick(const std::vector<T>& v) { return v[Next() % v.size()]; }
    template <class T> void Shuffle(std::vector<T>& v)
    {
        for (std::size_t i = v.size(); i > 1; --i) {
            std::size_t j = Next() % i;
            std::swap(v[i - 1], v[j]);
        }
    }
};

} // namespace makerace
