#pragma once

#include "engine3d/Node3D.h"
#include "engine3d/pod/PodScene.h"

#include <memory>
#include <string>

namespace terrabo {

// Turns a model file into nodes under one resource node. Textures are looked up
// by file name in the director's image cache. A missing or damaged file logs one
// line; whatever could be read is returned, null when nothing could.
std::shared_ptr<Node3D> loadPodResource(const std::string& path);
std::shared_ptr<Node3D> buildPodResource(const pod::Scene& scene, const std::string& name);

// Euler angles (degrees, composed Ry * Rx * Rz) of a unit quaternion (x, y, z, w).
Vec3 eulerFromQuaternion(float x, float y, float z, float w);

} // namespace terrabo
