#include "engine3d/pod/NodeTransform.h"

#include <algorithm>
#include <cmath>

namespace terrabo::pod {
namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

template <std::size_t N> bool finite(const std::array<float, N>& v) {
    return std::all_of(v.begin(), v.end(), [](float f) { return std::isfinite(f); });
}

NodeTransform fromMatrix(const std::array<float, 16>& m) {
    NodeTransform t;
    t.location = {m[12], m[13], m[14]};
    // Columns 0-2 are the scaled axes; a mirrored basis shows as a negative x scale.
    double axes[3][3];
    double length[3];
    for (int c = 0; c < 3; ++c) {
        for (int r = 0; r < 3; ++r)
            axes[c][r] = m[static_cast<std::size_t>(c * 4 + r)];
        length[c] =
            std::sqrt(axes[c][0] * axes[c][0] + axes[c][1] * axes[c][1] + axes[c][2] * axes[c][2]);
    }
    const double det = axes[0][0] * (axes[1][1] * axes[2][2] - axes[1][2] * axes[2][1]) -
                       axes[1][0] * (axes[0][1] * axes[2][2] - axes[0][2] * axes[2][1]) +
                       axes[2][0] * (axes[0][1] * axes[1][2] - axes[0][2] * axes[1][1]);
    if (det < 0)
        length[0] = -length[0];
    t.scale = {static_cast<float>(length[0]), static_cast<float>(length[1]),
               static_cast<float>(length[2])};
    if (length[0] == 0 || length[1] == 0 || length[2] == 0)
        return t; // no rotation to be had from a flattened basis
    double r[3][3];
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 3; ++c)
            r[row][c] = axes[c][row] / length[c];
    t.rotation = eulerFromRotation(r);
    return t;
}

} // namespace

Vec3 eulerFromRotation(const double r[3][3]) {
    // R = Ry(b) * Rx(a) * Rz(c): r12 = -sin a, r02 / r22 = tan b, r10 / r11 = tan c.
    const double sinA = std::clamp(-r[1][2], -1.0, 1.0);
    const double a = std::asin(sinA);
    double b, c;
    if (std::abs(sinA) < 0.9999995) {
        b = std::atan2(r[0][2], r[2][2]);
        c = std::atan2(r[1][0], r[1][1]);
    } else {
        // Looking straight up or down only b - c (or b + c) is fixed: put it all in b.
        c = 0;
        b = std::atan2(-r[2][0], r[0][0]);
    }
    return {static_cast<float>(a * kDegrees), static_cast<float>(b * kDegrees),
            static_cast<float>(c * kDegrees)};
}

Vec3 eulerFromQuaternion(float qx, float qy, float qz, float qw) {
    double x = qx, y = qy, z = qz, w = qw;
    const double n = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(n > 0) || !std::isfinite(n))
        return {};
    x /= n, y /= n, z /= n, w /= n;
    const double r[3][3] = {
        {1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
        {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
        {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)},
    };
    return eulerFromRotation(r);
}

NodeTransform restTransform(const Node& node) {
    if (node.matrix && finite(*node.matrix))
        return fromMatrix(*node.matrix);
    NodeTransform t;
    if (finite(node.position))
        t.location = {node.position[0], node.position[1], node.position[2]};
    // The file stores the conjugate of the rotation it means; (x, y, z, -w) is
    // the same rotation as (-x, -y, -z, w).
    if (finite(node.rotation))
        t.rotation = eulerFromQuaternion(node.rotation[0], node.rotation[1], node.rotation[2],
                                         -node.rotation[3]);
    if (finite(node.scale))
        t.scale = {node.scale[0], node.scale[1], node.scale[2]};
    return t;
}

} // namespace terrabo::pod
