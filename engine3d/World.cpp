#include "engine3d/World.h"

#include "engine/render/Renderer.h"

#include <algorithm>
#include <functional>

namespace terrabo {
namespace {
void forEachNode(Node& root, const std::function<void(Node&)>& f) {
    f(root);
    for (const auto& child : root.children())
        forEachNode(*child, f);
}

// One pass down the tree: each transform is built once, and a hidden node hides its subtree.
void drawMeshes(Renderer& renderer, Node& node, const Mat4& parentTransform) {
    if (!node.visible())
        return;
    auto* node3D = dynamic_cast<Node3D*>(&node);
    const Mat4 transform = node3D ? parentTransform * node3D->localTransform() : parentTransform;
    if (auto* mesh = dynamic_cast<MeshNode*>(&node); mesh && mesh->mesh)
        renderer.drawMesh(*mesh->mesh, transform, mesh->material.get());
    for (const auto& child : node.children())
        drawMeshes(renderer, *child, transform);
}
} // namespace

World::World() {
    setName("World");
}

void add3DChild(Node3D& parent, std::shared_ptr<Node3D> child) {
    parent.addChild(std::move(child));
}

void World::setActiveCamera(Camera* camera) {
    // Weak: a camera taken out of the tree and dropped must not be drawn through.
    activeCamera_ = camera ? std::static_pointer_cast<Camera>(camera->weak_from_this().lock())
                           : std::shared_ptr<Camera>();
    noteSceneChange();
}

void World::noteAdded(Node* node) {
    forEachNode(*node, [this](Node& n) {
        if (auto* camera = dynamic_cast<Camera*>(&n); camera && !activeCamera())
            setActiveCamera(camera);
    });
}

void World::updateWorld(float dt) {
    if (!playing_)
        return;
    dt = std::min(dt, maxUpdateInterval);
    update(dt);
    // Transforms are derived from locations and rotations when drawn, so
    // everything the hook set shows in this frame.
}

void World::createGLBuffers() {
    forEachNode(*this, [](Node& n) {
        if (auto* mesh = dynamic_cast<MeshNode*>(&n); mesh && mesh->mesh)
            mesh->mesh->wantGpuBuffers = true;
    });
}

void World::setViewportAspect(float aspect) {
    forEachNode(*this, [aspect](Node& n) {
        if (auto* camera = dynamic_cast<Camera*>(&n))
            camera->aspect = aspect;
    });
    noteSceneChange();
}

std::vector<Light*> World::lights() {
    std::vector<Light*> result;
    forEachNode(*this, [&](Node& n) {
        if (auto* light = dynamic_cast<Light*>(&n))
            result.push_back(light);
    });
    return result;
}

void World::drawWorld(Renderer* renderer) {
    const std::shared_ptr<Camera> camera = activeCamera_.lock();
    if (!renderer || !camera)
        return;
    const Mat4 view = camera->view();
    SceneLighting lighting;
    lighting.worldAmbient = ambientLight;
    for (Light* light : lights()) {
        LightState state;
        const Mat4 world = light->worldTransform();
        if (light->directionalOnly) {
            const Vec3 d = view.transformDirection(world.transformDirection({0, 0, 1}));
            state.eyePosition = {d.x, d.y, d.z, 0.0f};
        } else {
            const Vec3 p = view.transformPoint(world.transformPoint({0, 0, 0}));
            state.eyePosition = {p.x, p.y, p.z, 1.0f};
        }
        state.diffuse = light->diffuse;
        state.specular = light->specular;
        state.ambient = light->ambient;
        lighting.lights.push_back(state);
    }
    renderer->begin3D(camera->projection(), view, lighting);
    drawMeshes(*renderer, *this, Mat4::identity());
    renderer->end3D();
}

} // namespace terrabo
