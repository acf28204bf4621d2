#include "engine3d/RotateBy.h"

#include "engine3d/Node3D.h"

namespace terrabo {

void RotateBy::startWithTarget(Node* target) {
    Action::startWithTarget(target);
    if (auto* node = dynamic_cast<Node3D*>(target))
        start_ = node->rotation3D();
}

void RotateBy::update(float t) {
    auto* node = dynamic_cast<Node3D*>(target());
    if (!node)
        return;
    if (t >= 1.0f) {
        node->setRotation3D(start_ + difference_);
        return;
    }
    node->setRotation3D(start_ + difference_ * t);
}

} // namespace terrabo
