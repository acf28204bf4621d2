#pragma once

#include "engine/math/Vec.h"
#include "engine3d/pod/PodScene.h"

namespace terrabo::pod {

// A node's rest pose as the engine sets it: location, Euler angles in degrees
// (composed Ry * Rx * Rz) and scale.
struct NodeTransform {
    Vec3 location;
    Vec3 rotation;
    Vec3 scale{1, 1, 1};
};

// From the matrix when the node has one, else from position, rotation and
// scale. Values that are not finite count as absent.
NodeTransform restTransform(const Node& node);

// Euler angles of the rotation of quaternion (x, y, z, w), normalised first.
Vec3 eulerFromQuaternion(float x, float y, float z, float w);
// Euler angles of a rotation matrix given row by row.
Vec3 eulerFromRotation(const double r[3][3]);

} // namespace terrabo::pod
