#pragma once

#include "engine/Node.h"
#include "engine/math/Mat4.h"

namespace terrabo {

// A node of the 3D scene: location, Euler rotation (degrees, Ry * Rx * Rz,
// stored exactly as set) and scale, all relative to the parent.
class Node3D : public Node {
public:
    explicit Node3D(std::string name = {}) { setName(std::move(name)); }

    Vec3 location() const { return location_; }
    void setLocation(Vec3 l) { assign(location_, l); }
    Vec3 rotation3D() const { return rotation_; }
    void setRotation3D(Vec3 r) { assign(rotation_, r); }
    // The names the world's update uses.
    Vec3 rotation() const { return rotation_; }
    void setRotation(Vec3 r) { assign(rotation_, r); }
    Vec3 scale3D() const { return scale_; }
    void setScale3D(Vec3 s) { assign(scale_, s); }

    Mat4 localTransform() const;
    Mat4 worldTransform() const;
    Node3D* parent3D() const { return dynamic_cast<Node3D*>(parent()); }

    // Depth-first, this node included.
    Node3D* getNodeNamed(const std::string& name);

private:
    Vec3 location_;
    Vec3 rotation_;
    Vec3 scale_{1, 1, 1};
};

} // namespace terrabo
