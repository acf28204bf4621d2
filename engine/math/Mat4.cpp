#include "engine/math/Mat4.h"

#include <cmath>

namespace terrabo {

float degreesToRadians(float degrees) {
    constexpr float factor = static_cast<float>(3.14159265358979323846 / 180.0);
    return degrees * factor;
}

Mat4 Mat4::translation(Vec3 t) {
    Mat4 r;
    r.at(0, 3) = t.x;
    r.at(1, 3) = t.y;
    r.at(2, 3) = t.z;
    return r;
}

Mat4 Mat4::scaling(Vec3 s) {
    Mat4 r;
    r.at(0, 0) = s.x;
    r.at(1, 1) = s.y;
    r.at(2, 2) = s.z;
    return r;
}

Mat4 Mat4::rotationX(float degrees) {
    const float a = degreesToRadians(degrees);
    const float c = std::cos(a), s = std::sin(a);
    Mat4 r;
    r.at(1, 1) = c;
    r.at(1, 2) = -s;
    r.at(2, 1) = s;
    r.at(2, 2) = c;
    return r;
}

Mat4 Mat4::rotationY(float degrees) {
    const float a = degreesToRadians(degrees);
    const float c = std::cos(a), s = std::sin(a);
    Mat4 r;
    r.at(0, 0) = c;
    r.at(0, 2) = s;
    r.at(2, 0) = -s;
    r.at(2, 2) = c;
    return r;
}

Mat4 Mat4::rotationZ(float degrees) {
    const float a = degreesToRadians(degrees);
    const float c = std::cos(a), s = std::sin(a);
    Mat4 r;
    r.at(0, 0) = c;
    r.at(0, 1) = -s;
    r.at(1, 0) = s;
    r.at(1, 1) = c;
    return r;
}

Mat4 Mat4::rotationEuler(Vec3 d) { return rotationY(d.y) * rotationX(d.x) * rotationZ(d.z); }

Mat4 Mat4::perspective(float fovYDegrees, float aspect, float zNear, float zFar) {
    const float f = 1.0f / std::tan(degreesToRadians(fovYDegrees) * 0.5f);
    Mat4 r;
    r.m.fill(0.0f);
    r.at(0, 0) = f / aspect;
    r.at(1, 1) = f;
    r.at(2, 2) = (zFar + zNear) / (zNear - zFar);
    r.at(2, 3) = 2.0f * zFar * zNear / (zNear - zFar);
    r.at(3, 2) = -1.0f;
    return r;
}

Mat4 Mat4::orthographic(float left, float right, float bottom, float top, float zNear,
                        float zFar) {
    Mat4 r;
    r.at(0, 0) = 2.0f / (right - left);
    r.at(1, 1) = 2.0f / (top - bottom);
    r.at(2, 2) = -2.0f / (zFar - zNear);
    r.at(0, 3) = -(right + left) / (right - left);
    r.at(1, 3) = -(top + bottom) / (top - bottom);
    r.at(2, 3) = -(zFar + zNear) / (zFar - zNear);
    return r;
}

Mat4 Mat4::operator*(const Mat4& o) const {
    Mat4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += at(row, k) * o.at(k, col);
            r.at(row, col) = sum;
        }
    return r;
}

Vec3 Mat4::transformPoint(Vec3 p) const {
    return {at(0, 0) * p.x + at(0, 1) * p.y + at(0, 2) * p.z + at(0, 3),
            at(1, 0) * p.x + at(1, 1) * p.y + at(1, 2) * p.z + at(1, 3),
            at(2, 0) * p.x + at(2, 1) * p.y + at(2, 2) * p.z + at(2, 3)};
}

Vec3 Mat4::transformDirection(Vec3 d) const {
    return {at(0, 0) * d.x + at(0, 1) * d.y + at(0, 2) * d.z,
            at(1, 0) * d.x + at(1, 1) * d.y + at(1, 2) * d.z,
            at(2, 0) * d.x + at(2, 1) * d.y + at(2, 2) * d.z};
}

Mat4 Mat4::rigidInverse() const {
    Mat4 r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.at(row, col) = at(col, row);
    const Vec3 t{at(0, 3), at(1, 3), at(2, 3)};
    const Vec3 it = r.transformDirection(t);
    r.at(0, 3) = -it.x;
    r.at(1, 3) = -it.y;
    r.at(2, 3) = -it.z;
    return r;
}

std::array<float, 9> Mat4::normalMatrix() const {
    const float a = at(0, 0), b = at(0, 1), c = at(0, 2);
    const float d = at(1, 0), e = at(1, 1), f = at(1, 2);
    const float g = at(2, 0), h = at(2, 1), i = at(2, 2);
    const float A = e * i - f * h, B = -(d * i - f * g), C = d * h - e * g;
    const float D = -(b * i - c * h), E = a * i - c * g, F = -(a * h - b * g);
    const float G = b * f - c * e, H = -(a * f - c * d), I = a * e - b * d;
    const float det = a * A + b * B + c * C;
    const float inv = det != 0.0f ? 1.0f / det : 0.0f;
    // Inverse transpose = cofactor matrix / det; stored column-major.
    return {A * inv, D * inv, G * inv, B * inv, E * inv, H * inv, C * inv, F * inv, I * inv};
}

} // namespace terrabo
