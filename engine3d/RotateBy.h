#pragma once

#include "engine/Action.h"
#include "engine/math/Vec.h"

namespace terrabo {

// Turns a 3D node's Euler angles linearly by a difference over a duration,
// ending exactly on start + difference.
class RotateBy : public Action {
public:
    RotateBy(float duration, Vec3 difference) : Action(duration), difference_(difference) {}
    void startWithTarget(Node* target) override;
    Vec3 difference() const { return difference_; }

protected:
    void update(float t) override;

private:
    Vec3 difference_;
    Vec3 start_;
};

} // namespace terrabo
