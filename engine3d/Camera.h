#pragma once

#include "engine3d/Node3D.h"

namespace terrabo {

// Looks along its own -Z with +Y up; a perspective lens.
class Camera : public Node3D {
public:
    using Node3D::Node3D;
    float fieldOfView = 60.0f; // vertical, degrees
    float nearClip = 0.5f;
    float farClip = 1000.0f;
    float aspect = 320.0f / 480.0f;

    Mat4 projection() const { return Mat4::perspective(fieldOfView, aspect, nearClip, farClip); }
    Mat4 view() const { return worldTransform().rigidInverse(); }
};

// A lamp: no ambient part, white diffuse and specular, no spot cone.
class Light : public Node3D {
public:
    using Node3D::Node3D;
    bool directionalOnly = true;
    Color4F diffuse{1, 1, 1, 1};
    Color4F specular{1, 1, 1, 1};
    Color4F ambient{0, 0, 0, 1};
};

} // namespace terrabo
