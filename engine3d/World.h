#pragma once

#include "engine/math/Vec.h"
#include "engine3d/Camera.h"
#include "engine3d/MeshNode.h"

#include <memory>
#include <vector>

namespace terrabo {

class Renderer;

// The root of a 3D scene. The first camera added becomes the active one.
class World : public Node3D {
  public:
    template <class W> static std::shared_ptr<W> create() {
        auto world = std::make_shared<W>();
        world->initializeWorld();
        return world;
    }
    World();

    // Construction hook, called once at the end of initialisation.
    virtual void initializeWorld() {}
    // Per-frame hook, called first in the world's frame update.
    virtual void update(float) override {}
    // The engine's cache-cleaning request; nothing to clean by default.
    virtual void cleanCaches() {}

    bool isPlaying() const { return playing_; }
    void play() { playing_ = true; }
    void pause() { playing_ = false; }

    // Null once the active camera is gone from memory.
    Camera* activeCamera() const { return activeCamera_.lock().get(); }
    void setActiveCamera(Camera* camera);
    Color4F ambientLight{0.2f, 0.2f, 0.2f, 1.0f};
    float maxUpdateInterval = 1.0f / 15.0f;

    // Called for every node added anywhere under the world.
    void noteAdded(Node* node);

    // Hook, then transforms, camera, lights.
    void updateWorld(float dt);
    // Marks every mesh now in the tree for GPU buffers.
    void createGLBuffers();
    void setViewportAspect(float aspect);

    void drawWorld(Renderer* renderer);
    std::vector<Light*> lights();

  protected:
    void descendantAdded(Node& node) override { noteAdded(&node); }

  private:
    bool playing_ = false;
    std::weak_ptr<Camera> activeCamera_;
};

// Adds a child to a 3D node; the same as addChild, which also tells the world.
void add3DChild(Node3D& parent, std::shared_ptr<Node3D> child);

} // namespace terrabo
