#pragma once

#include "engine/Node.h"
#include "engine/Touch.h"

namespace terrabo {

// The root of what a director runs.
class Scene : public Node {};

// A full-screen node that can receive the touches nobody claimed.
class Layer : public Node, public LayerTouchHandler {
public:
    Layer();
    void setTouchEnabled(bool enabled);
    bool touchEnabled() const { return touchEnabled_; }
    void onEnter() override;
    void onExit() override;

private:
    bool touchEnabled_ = false;
};

} // namespace terrabo
