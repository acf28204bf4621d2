#include "engine3d/Node3D.h"

namespace terrabo {

Mat4 Node3D::localTransform() const {
    return Mat4::translation(location_) * Mat4::rotationEuler(rotation_) * Mat4::scaling(scale_);
}

Mat4 Node3D::worldTransform() const {
    Mat4 t = localTransform();
    for (const Node3D* p = parent3D(); p; p = p->parent3D())
        t = p->localTransform() * t;
    return t;
}

Node3D* Node3D::getNodeNamed(const std::string& name) {
    if (this->name() == name)
        return this;
    for (const auto& child : children())
        if (auto* n = dynamic_cast<Node3D*>(child.get()))
            if (Node3D* found = n->getNodeNamed(name))
                return found;
    return nullptr;
}

} // namespace terrabo
