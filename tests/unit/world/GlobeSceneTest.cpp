#include "WorldFixture.h"

#include "engine3d/MeshNode.h"
#include "tools/model/PodWriter.h"

#include <cstring>
#include <fstream>

namespace terrabo {
namespace {

void writeModel(const std::string& dir) {
    pod::Scene scene;
    pod::Mesh mesh;
    const float v[3][8] = {{0, 0, 0, 0, 0, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 1, 0}, {0, 1, 0, 0, 0, 1, 0, 1}};
    mesh.interleaved.resize(sizeof v);
    std::memcpy(mesh.interleaved.data(), v, sizeof v);
    mesh.numVertices = 3;
    mesh.numFaces = 1;
    mesh.indices = {0, 1, 2};
    mesh.positions = {pod::kFloat, 3, 32, 0};
    mesh.normals = {pod::kFloat, 3, 32, 12};
    mesh.uvs = {pod::kFloat, 2, 32, 24};
    scene.meshes = {mesh};
    scene.numMeshNodes = 1;
    pod::Node globe;
    globe.name = "Globe";
    globe.index = 0;
    globe.rotation = {0, 0, -0.5f, 0.8660254f}; // stored conjugate of 60 degrees about Z
    pod::Node ball;
    ball.name = "BeachBall";
    scene.nodes = {globe, ball};
    const auto bytes = pod::write(scene);
    std::ofstream(dir + "/Balls.pod", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class GlobeScene : public testing::Test {
protected:
    void SetUp() override {
        Director::reset();
        commandBoard() = CommandBoard{};
        setResourceDir(resources.path());
    }
    void TearDown() override {
        Director::reset();
        commandBoard() = CommandBoard{};
    }
    LogCapture log;
    TempDir resources;
};

TEST_F(GlobeScene, BuildsCameraLampModelAndBackdrop) {
    writeModel(resources.path());
    auto world = World::create<TerraboWorld>();

    ASSERT_NE(world->cam, nullptr);
    EXPECT_EQ(world->cam->name(), "Camera");
    EXPECT_EQ(world->cam->parent(), world.get());
    EXPECT_EQ(world->cam->location(), (Vec3{0, 0, 5}));
    EXPECT_EQ(world->activeCamera(), world->cam);
    EXPECT_FALSE(world->isPlaying());

    auto* lamp = dynamic_cast<Light*>(world->getNodeNamed("Lamp"));
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->parent(), world->cam) << "the lamp moves with the camera";
    EXPECT_FALSE(lamp->directionalOnly);

    auto* globe = dynamic_cast<MeshNode*>(world->globe);
    ASSERT_NE(globe, nullptr);
    EXPECT_EQ(globe, world->getNodeNamed("Globe"));
    EXPECT_EQ(globe->location(), (Vec3{0, 0, -5}));
    EXPECT_NEAR(globe->rotation().z, 60.0f, 1e-3f) << "the model's orientation is kept";
    EXPECT_TRUE(globe->mesh->wantGpuBuffers);
    ASSERT_NE(world->getNodeNamed("BeachBall"), nullptr);
    EXPECT_EQ(world->getNodeNamed("BeachBall")->location(), (Vec3{-500, -500, 100}));

    auto* ground = dynamic_cast<MeshNode*>(world->getNodeNamed("Ground"));
    ASSERT_NE(ground, nullptr);
    EXPECT_EQ(ground->parent(), world.get());
    EXPECT_EQ(ground->location(), (Vec3{0, 0, -800}));
    EXPECT_EQ(ground->rotation(), (Vec3{0, 0, 0}));
    ASSERT_TRUE(ground->mesh);
    ASSERT_EQ(ground->mesh->vertices.size(), 4u);
    EXPECT_EQ(ground->mesh->vertices[2].position[0], 480.0f);
    EXPECT_EQ(ground->mesh->vertices[2].position[1], 480.0f);
    EXPECT_FALSE(ground->mesh->wantGpuBuffers) << "the backdrop is added after the buffers";
    EXPECT_EQ(ground->material, nullptr) << "bg1.jpg is not there";

    EXPECT_EQ(world->xFactor, 0.5f);
    EXPECT_FALSE(world->swipeR || world->swipeL);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(GlobeScene, WithoutTheModelTheGlobeIsAbsentAndEveryRequestStillWorks) {
    auto world = World::create<TerraboWorld>();
    EXPECT_EQ(world->globe, nullptr);
    EXPECT_EQ(world->getNodeNamed("BeachBall"), nullptr);
    EXPECT_EQ(log.lines.size(), 1u) << "the missing model is logged once";
    world->play();

    CommandBoard& board = commandBoard();
    board.spinOn = 1;
    board.swipeRightPending = 1;
    board.turnPending = 1;
    board.targetLon = -30;
    board.autoZoomPending = 1;
    board.viewResetPending = 1;
    board.zoomInPending = 1;
    world->updateWorld(1.0f / 60);
    EXPECT_EQ(board.turnPending, 0);
    EXPECT_EQ(board.targetLon, 330.0f);
    EXPECT_EQ(board.viewResetPending, 0);
    EXPECT_EQ(world->cam->location(), (Vec3{0, 0, 5}));
    EXPECT_FLOAT_EQ(world->xFactor, 0.8f);
}

} // namespace
} // namespace terrabo
