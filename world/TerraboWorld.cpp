#include "world/TerraboWorld.h"

#include "engine/Director.h"
#include "engine3d/Camera.h"
#include "engine3d/MeshNode.h"
#include "engine3d/PodModel.h"
#include "platform/Resources.h"

namespace terrabo {

TerraboWorld::~TerraboWorld() = default;

void TerraboWorld::initializeWorld() {
    auto camera = std::make_shared<Camera>("Camera");
    cam = camera.get();
    camera->setLocation({0.0f, 0.0f, 5.0f});
    add3DChild(*this, camera);

    auto lamp = std::make_shared<Light>("Lamp");
    lamp->setLocation({0.0f, 0.0f, 0.0f});
    lamp->directionalOnly = false;
    add3DChild(*camera, lamp);

    if (auto model = loadPodResource(resourcePath("Balls.pod")))
        add3DChild(*this, model);
    createGLBuffers();

    globe = getNodeNamed("Globe");
    if (globe)
        globe->setLocation({0.0f, 0.0f, -5.0f});
    if (Node3D* ball = getNodeNamed("BeachBall"))
        ball->setLocation({-500.0f, -500.0f, 100.0f});

    auto ground = std::make_shared<MeshNode>("Ground");
    Picture backdrop = Director::shared().imageCache().picture("bg1.jpg");
    // Nearest at the zoom limit, 797 units away, where the 60-degree view is
    // 2 x 797 x tan 30 = 920 units high: the texture need show no more texels.
    backdrop.screenSpan = 960.0f / 920.0f;
    ground->populateAsCenteredRectangle(960.0f, 960.0f, backdrop);
    ground->setLocation({0.0f, 0.0f, -800.0f});
    ground->setRotation({0.0f, 0.0f, 0.0f});
    add3DChild(*this, ground);

    xFactor = 0.5f;
}

} // namespace terrabo
