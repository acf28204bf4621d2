#include "engine3d/WorldLayer.h"

#include "engine/Director.h"
#include "engine/render/Renderer.h"

namespace terrabo {

void WorldLayer::update(float dt) {
    if (world_)
        world_->updateWorld(dt);
}

void WorldLayer::onEnter() {
    Director& director = Director::shared();
    director.setClearColor({0, 0, 0, 1});
    const Size size = contentSize();
    if (world_ && size.height > 0)
        world_->setViewportAspect(size.width / size.height);
    Layer::onEnter();
    // The world is not a child in the 2D tree, but its actions live with the layer.
    if (world_ && !world_->isRunning())
        world_->onEnter();
}

void WorldLayer::onExit() {
    if (world_ && world_->isRunning())
        world_->onExit();
    Layer::onExit();
}

void WorldLayer::visit(Renderer* renderer, const Mat4& parentTransform) {
    if (!visible())
        return;
    const Mat4 transform = parentTransform * nodeToParentTransform();
    std::size_t i = 0;
    const auto& kids = children();
    for (; i < kids.size() && kids[i]->zOrder() < 0; ++i)
        kids[i]->visit(renderer, transform);
    if (world_)
        world_->drawWorld(renderer);
    for (; i < kids.size(); ++i)
        kids[i]->visit(renderer, transform);
}

void ViewController::runSceneOnNode(std::shared_ptr<Layer> layer) {
    controlled_ = layer;
    auto scene = std::make_shared<Scene>();
    scene->addChild(std::move(layer));
    Director& director = Director::shared();
    if (director.runningScene())
        director.replaceScene(std::move(scene));
    else
        director.runWithScene(std::move(scene));
}

} // namespace terrabo
