#pragma once

#include <cstdint>
#include <vector>

namespace makerace {

// A small generator of our own: the standard distributions differ between library vendors, and the
// committed sample race must come out byte for byte the same wherever it is regenerated.
class Rng {
public:
    explicit Rng(std::uint64_t seed)
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

private:
    std::uint64_t state_;
};

} // namespace makerace
