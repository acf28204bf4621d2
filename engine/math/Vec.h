#pragma once

#include <cstdint>

namespace terrabo {

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
    friend bool operator==(const Vec2&, const Vec2&) = default;
};

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    friend bool operator==(const Vec3&, const Vec3&) = default;
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
};

struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
    friend bool operator==(const Vec4&, const Vec4&) = default;
};

struct Color3B {
    std::uint8_t r = 255;
    std::uint8_t g = 255;
    std::uint8_t b = 255;
    friend bool operator==(const Color3B&, const Color3B&) = default;
};

struct Color4F {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
    friend bool operator==(const Color4F&, const Color4F&) = default;
};

struct Size {
    float width = 0.0f;
    float height = 0.0f;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    bool contains(Vec2 p) const {
        return p.x >= x && p.x <= x + width && p.y >= y && p.y <= y + height;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

} // namespace terrabo
