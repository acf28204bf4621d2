#include "world/GlobeTurn.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace terrabo {
namespace {

struct SinCos {
    double s, c;
};

// Exact at the quarter turns, so the meridians at 0, 90 and 180 degrees give
// exact angles instead of round-off residue.
SinCos sinCosDegrees(double degrees) {
    const double r = std::fmod(degrees, 360.0);
    if (r == 0.0)
        return {0.0, 1.0};
    if (r == 90.0 || r == -270.0)
        return {1.0, 0.0};
    if (r == 180.0 || r == -180.0)
        return {0.0, -1.0};
    if (r == 270.0 || r == -90.0)
        return {-1.0, 0.0};
    const double rad = degrees * std::numbers::pi / 180.0;
    return {std::sin(rad), std::cos(rad)};
}

} // namespace

// Rx(lat) * Ry(180 - lon) written as Ry * Rx * Rz. The model has longitude 0
// on -Z, east toward -X and north on +Y.
Vec3 facingRotation(double latitude, double longitude) {
    constexpr double toDeg = 180.0 / std::numbers::pi;
    const SinCos phi = sinCosDegrees(latitude), lambda = sinCosDegrees(longitude);
    const double x = std::asin(std::clamp(-phi.s * lambda.c, -1.0, 1.0)) * toDeg;
    double y = std::atan2(lambda.s, -phi.c * lambda.c) * toDeg;
    if (y <= -180.0)
        y += 360.0;
    const double z = std::atan2(phi.s * lambda.s, phi.c) * toDeg;
    return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

} // namespace terrabo
