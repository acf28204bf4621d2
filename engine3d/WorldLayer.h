#pragma once

#include "engine/Layer.h"
#include "engine3d/World.h"

namespace terrabo {

// A 2D layer whose own content is a 3D world: negative-z children behind it,
// the rest of its children on top.
class WorldLayer : public Layer {
public:
    template <class L> static std::shared_ptr<L> create() {
        auto layer = std::make_shared<L>();
        layer->initializeContols();
        return layer;
    }

    // Construction hook for the layer's controls.
    virtual void initializeContols() {}

    const std::shared_ptr<World>& world() const { return world_; }
    void setWorld(std::shared_ptr<World> world) { world_ = std::move(world); }

    void update(float dt) override;
    void onEnter() override;
    void onExit() override;
    void visit(Renderer* renderer, const Mat4& parentTransform) override;

private:
    std::shared_ptr<World> world_;
};

// Runs a scene holding one layer.
class ViewController {
public:
    bool autorotate = false;
    void runSceneOnNode(std::shared_ptr<Layer> layer);
    Layer* controlledNode() const { return controlled_.get(); }

private:
    std::shared_ptr<Layer> controlled_;
};

} // namespace terrabo
