// The backdrop: dark sky, a faint band of the galaxy with dust lanes, two pale
// nebulae and thousands of stars, built up as light in floating point.
#include "Drawings.h"
#include "Noise.h"
#include "Random.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace terrabo::images {
namespace {

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb operator*(Rgb c, double k) {
    return {c.r * k, c.g * k, c.b * k};
}
Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Light in 8-bit levels per channel; values above 255 saturate on output.
class Sky {
  public:
    explicit Sky(int size) : size_(size), light_(static_cast<size_t>(size) * size) {}

    int size() const { return size_; }
    Rgb& at(int x, int y) { return light_[static_cast<size_t>(y) * size_ + x]; }

    void add(int x, int y, Rgb c) {
        if (x < 0 || y < 0 || x >= size_ || y >= size_)
            return;
        Rgb& p = at(x, y);
        p.r += c.r;
        p.g += c.g;
        p.b += c.b;
    }

    // A round Gaussian spot of the given peak.
    void splat(double cx, double cy, double sigma, Rgb peak) {
        const int reach = static_cast<int>(std::ceil(sigma * 3.2));
        const int x0 = static_cast<int>(std::floor(cx)), y0 = static_cast<int>(std::floor(cy));
        const double k = -0.5 / (sigma * sigma);
        for (int y = y0 - reach; y <= y0 + reach; ++y)
            for (int x = x0 - reach; x <= x0 + reach; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                add(x, y, peak * std::exp((dx * dx + dy * dy) * k));
            }
    }

    // Thin cross of light through the brightest stars, fading outward.
    void spikes(double cx, double cy, double length, Rgb peak) {
        const int reach = static_cast<int>(length);
        for (int i = -reach; i <= reach; ++i) {
            const double fall = std::pow(1.0 - std::abs(i) / length, 2.0);
            for (int side = -1; side <= 1; ++side) {
                const double across = side == 0 ? 1.0 : 0.25;
                add(static_cast<int>(cx) + i, static_cast<int>(cy) + side, peak * (fall * across));
                add(static_cast<int>(cx) + side, static_cast<int>(cy) + i, peak * (fall * across));
            }
        }
    }

  private:
    int size_;
    std::vector<Rgb> light_;
};

// Where the galaxy's band runs, in texture units.
struct Band {
    double px = 0.52, py = 0.47;    // a point on its middle line
    double dx = 0.407, dy = -0.914; // along it, up and to the right
    double across(double u, double v) const { return (u - px) * -dy + (v - py) * dx; }
    double along(double u, double v) const { return (u - px) * dx + (v - py) * dy; }
};

void paintSky(Sky& sky, const Band& band) {
    const ValueNoise haze(11), clouds(23), dust(37), width(41), nebula(53);
    const Rgb deepCentre{6, 9, 24}, deepEdge{1, 2, 7};
    const Rgb bandOuter{48, 60, 104}, bandCore{118, 110, 122};
    const Rgb violet{46, 22, 66}, teal{14, 48, 66};
    const int n = sky.size();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double u = (x + 0.5) / n, v = (y + 0.5) / n;
            const double r = std::hypot(u - 0.5, v - 0.45);
            Rgb c = mix(deepCentre, deepEdge, smoothstep(0.0, 0.75, r));
            const double grain = (haze.fractal(u * 3, v * 3, 4) - 0.5) * 3;
            c = {c.r + grain * 0.6, c.g + grain * 0.7, c.b + grain};

            const double d = band.across(u, v), t = band.along(u, v);
            const double halfWidth = 0.075 * (0.75 + 0.6 * width.at(t * 3 + 5, 0.5));
            const double profile = std::exp(-(d * d) / (halfWidth * halfWidth));
            if (profile > 1e-3) {
                const double cloud = smoothstep(0.3, 0.78, clouds.fractal(u * 6, v * 6, 6));
                const double lane = std::exp(-std::pow((d - 0.01) / 0.024, 2));
                const double dark =
                    lane * smoothstep(0.38, 0.66, dust.fractal(u * 9 + 40, v * 9, 5));
                const double glow = profile * (0.3 + 0.9 * cloud) * (1 - 0.8 * dark);
                const Rgb light = mix(bandOuter, bandCore, profile * profile) * (glow * 0.32);
                c = {c.r + light.r, c.g + light.g, c.b + light.b};
            }

            const auto patch = [&](double cu, double cv, double radius, Rgb tint, double seed) {
                const double fall =
                    std::exp(-(std::pow(u - cu, 2) + std::pow(v - cv, 2)) / (radius * radius));
                if (fall < 1e-3)
                    return;
                const double shape = smoothstep(0.42, 0.8, nebula.fractal(u * 5 + seed, v * 5, 5));
                const Rgb light = tint * (fall * shape * 0.35);
                c = {c.r + light.r, c.g + light.g, c.b + light.b};
            };
            patch(0.3, 0.22, 0.16, violet, 0);
            patch(0.74, 0.8, 0.14, teal, 71);
            sky.at(x, y) = c;
        }
}

// Star colours by temperature, with how common each is among the visible ones.
struct Tint {
    Rgb colour;
    double share;
};
constexpr std::array<Tint, 5> kTints{{{{170, 196, 255}, 0.18},
                                      {{255, 255, 255}, 0.42},
                                      {{255, 244, 222}, 0.2},
                                      {{255, 222, 170}, 0.12},
                                      {{255, 182, 148}, 0.08}}};

Rgb pickTint(Random& random) {
    double pick = random.unit();
    for (const Tint& t : kTints) {
        if (pick < t.share)
            return t.colour * (1.0 / 255);
        pick -= t.share;
    }
    return kTints.back().colour * (1.0 / 255);
}

// Brightness follows a power law, as in the real sky: a few bright stars over
// a great many faint ones. Levels are the peak of the core before saturation.
void star(Sky& sky, Random& random, double x, double y) {
    constexpr double faintest = 20, brightest = 9000;
    const double peak = std::min(brightest, faintest * std::pow(1.0 - random.unit(), -1 / 1.1));
    const Rgb tint = pickTint(random);
    const double sigma = 0.55 + 0.33 * std::log10(peak / faintest);
    // Bright cores burn white; the colour shows in the fringe.
    sky.splat(x, y, sigma, mix(tint, Rgb{1, 1, 1}, 0.35) * peak);
    if (peak > 700)
        sky.splat(x, y, sigma * 5, tint * std::min(40.0, peak * 0.03));
    if (peak > 5000)
        sky.spikes(x, y, 8 + peak / 600, tint * 55.0);
}

void scatterStars(Sky& sky, const Band& band) {
    Random random(20261211);
    const int n = sky.size();
    for (int i = 0; i < 16000; ++i)
        star(sky, random, random.unit() * n, random.unit() * n);
    // More of them crowd into the band.
    for (int i = 0; i < 9000; ++i) {
        const double t = (random.unit() - 0.5) * 1.6, d = random.normal() * 0.045;
        const double u = band.px + t * band.dx - d * band.dy,
                     v = band.py + t * band.dy + d * band.dx;
        if (u >= 0 && u < 1 && v >= 0 && v < 1)
            star(sky, random, u * n, v * n);
    }
}

QImage toImage(Sky& sky) {
    // Dither before rounding, so the dark gradients do not band in the JPEG.
    Random random(7);
    const int n = sky.size();
    QImage image(n, n, QImage::Format_RGB32);
    const auto level = [&](double value) {
        return std::clamp(static_cast<int>(std::floor(value + random.unit())), 0, 255);
    };
    for (int y = 0; y < n; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < n; ++x) {
            const Rgb& c = sky.at(x, y);
            row[x] = qRgb(level(c.r), level(c.g), level(c.b));
        }
    }
    return image;
}

} // namespace

QImage starField(int size) {
    Sky sky(size);
    const Band band;
    paintSky(sky, band);
    scatterStars(sky, band);
    return toImage(sky);
}

} // namespace terrabo::images
