#pragma once

#include "engine/math/Vec.h"

#include <array>

namespace terrabo {

// Column-major 4x4 matrix acting on column vectors, laid out as GL expects.
struct Mat4 {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& at(int row, int col) { return m[static_cast<std::size_t>(col * 4 + row)]; }
    float at(int row, int col) const { return m[static_cast<std::size_t>(col * 4 + row)]; }
    const float* data() const { return m.data(); }

    static Mat4 identity() { return {}; }
    static Mat4 translation(Vec3 t);
    static Mat4 scaling(Vec3 s);
    // Right-handed elementary rotations, angles in degrees.
    static Mat4 rotationX(float degrees);
    static Mat4 rotationY(float degrees);
    static Mat4 rotationZ(float degrees);
    // Euler angles in degrees composed as Ry * Rx * Rz.
    static Mat4 rotationEuler(Vec3 degrees);
    static Mat4 perspective(float fovYDegrees, float aspect, float zNear, float zFar);
    static Mat4 orthographic(float left, float right, float bottom, float top, float zNear,
                             float zFar);

    Mat4 operator*(const Mat4& o) const;
    Vec3 transformPoint(Vec3 p) const;
    Vec3 transformDirection(Vec3 d) const;
    // Inverse of a rigid transform (rotation + translation), enough for cameras.
    Mat4 rigidInverse() const;
    // Upper-left 3x3 block's inverse transpose, for normals (column-major 9 floats).
    std::array<float, 9> normalMatrix() const;
};

// Degrees to radians with a 32-bit factor, as the engine's convention fixes.
float degreesToRadians(float degrees);

} // namespace terrabo
