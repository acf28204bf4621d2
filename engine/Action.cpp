#include "engine/Action.h"

#include <algorithm>

namespace terrabo {

bool Action::step(float dt) {
    if (done_)
        return true;
    if (firstStep_)
        firstStep_ = false;
    else
        elapsed_ += dt;
    const float t = duration_ > 0.0f ? std::min(1.0f, static_cast<float>(elapsed_ / duration_)) : 1.0f;
    update(t);
    done_ = elapsed_ >= duration_;
    return done_;
}

} // namespace terrabo
