#pragma once

#include "engine3d/World.h"

namespace terrabo {

class Camera;
class Node3D;

// The globe world: camera with its lamp, the globe and a far backdrop. Moves
// camera and globe once per frame from the command board.
class TerraboWorld : public World {
public:
    ~TerraboWorld() override;

    // One auto-zoom step toward the near limit.
    void zoomingAxn();
    void update(float dt) override;
    void initializeWorld() override;

    Camera* cam = nullptr;
    Node3D* globe = nullptr;
    float xFactor = 0.0f;
    bool swipeR = false;
    bool swipeL = false;
};

} // namespace terrabo
