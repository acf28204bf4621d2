#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace terrabo::images {

// A fixed generator (splitmix64), so the backdrop comes out byte for byte the same
// on every build; the standard distributions may differ between libraries.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t bits() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(bits() >> 11) * 0x1.0p-53; }

    // Standard normal, by Box and Muller.
    double normal() {
        const double u = 1.0 - unit(), v = unit();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * std::numbers::pi * v);
    }

  private:
    std::uint64_t state_;
};

} // namespace terrabo::images
