#include "engine/Layer.h"

#include "engine/Director.h"

namespace terrabo {

Layer::Layer() {
    // Covers the screen from the origin, unscaled: node space is screen space.
    setAnchor({0.0f, 0.0f});
    setContentSize(Director::shared().winSize());
}

void Layer::setTouchEnabled(bool enabled) {
    if (touchEnabled_ == enabled)
        return;
    touchEnabled_ = enabled;
    if (!isRunning())
        return;
    if (enabled)
        Director::shared().touchDispatcher().addLayerHandler(this, 0);
    else
        Director::shared().touchDispatcher().removeHandler(this);
}

void Layer::onEnter() {
    if (touchEnabled_)
        Director::shared().touchDispatcher().addLayerHandler(this, 0);
    Node::onEnter();
}

void Layer::onExit() {
    if (touchEnabled_)
        Director::shared().touchDispatcher().removeHandler(this);
    Node::onExit();
}

} // namespace terrabo
