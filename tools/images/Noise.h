#pragma once

#include <cmath>
#include <cstdint>

namespace terrabo::images {

// Smooth value noise on an integer lattice, and its sum over octaves, for clouds.
class ValueNoise {
  public:
    explicit ValueNoise(std::uint32_t seed) : seed_(seed) {}

    // In [0, 1].
    double at(double x, double y) const {
        const double fx = std::floor(x), fy = std::floor(y);
        const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
        const double tx = fade(x - fx), ty = fade(y - fy);
        const double top = lerp(lattice(ix, iy), lattice(ix + 1, iy), tx);
        const double bottom = lerp(lattice(ix, iy + 1), lattice(ix + 1, iy + 1), tx);
        return lerp(top, bottom, ty);
    }

    // Octaves of halving weight and doubling frequency, normalised to [0, 1].
    double fractal(double x, double y, int octaves) const {
        double sum = 0, weight = 1, total = 0;
        for (int i = 0; i < octaves; ++i) {
            // A per-octave offset keeps the lattice corners of octaves apart.
            sum += weight * at(x + 17.3 * i, y - 9.1 * i);
            total += weight;
            weight *= 0.5;
            x *= 2.03;
            y *= 2.03;
        }
        return sum / total;
    }

  private:
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    static double lerp(double a, double b, double t) { return a + (b - a) * t; }

    double lattice(std::int32_t x, std::int32_t y) const {
        std::uint32_t h = seed_ ^ (static_cast<std::uint32_t>(x) * 0x27D4EB2Du) ^
                          (static_cast<std::uint32_t>(y) * 0x165667B1u);
        h ^= h >> 15;
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
        h *= 0xC2B2AE35u;
        h ^= h >> 16;
        return (h & 0xFFFFFF) / 16777215.0;
    }

    std::uint32_t seed_;
};

} // namespace terrabo::images
