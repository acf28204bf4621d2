#include "engine/Director.h"
#include "engine3d/RotateBy.h"
#include "engine3d/World.h"
#include "engine3d/WorldLayer.h"

#include <gtest/gtest.h>

#include <vector>

namespace terrabo {
namespace {

// A node on stage, its actions stepped by ticks of the director's scheduler.
class RotateByTest : public testing::Test {
  protected:
    void SetUp() override {
        Director::reset();
        node = std::make_shared<Node3D>("globe");
        node->onEnter();
    }
    void TearDown() override { Director::reset(); }
    void tick(float dt) { Director::shared().scheduler().tick(dt); }

    std::shared_ptr<Node3D> node;
};

TEST_F(RotateByTest, EndsExactlyOnStartPlusDifference) {
    struct Case {
        float duration;
        float dt;
        Vec3 start;
        Vec3 difference;
    };
    const Case cases[] = {
        {1.0f, 1.0f / 60.0f, {0, 180, 0}, {0, -270, -45}},
        {1.0f, 1.0f / 60.0f, {0, 180, 0}, {0, -90, 45}},
        {1.0f, 0.3f, {12.5f, -7, 3}, {0.1f, 359.9f, -0.7f}},
        {0.7f, 1.0f / 15.0f, {1, 2, 3}, {-1.1f, 2.2f, -3.3f}},
        {0.0f, 0.5f, {0, 0, 0}, {0, 45, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "duration " << c.duration << " dt " << c.dt);
        node->setRotation3D(c.start);
        node->runAction(std::make_shared<RotateBy>(c.duration, c.difference));
        int ticks = 0;
        while (node->runningActionCount() > 0 && ticks < 1000) {
            tick(c.dt);
            ++ticks;
        }
        EXPECT_EQ(node->rotation3D(), c.start + c.difference);
    }
}

TEST_F(RotateByTest, OneSecondIsSixtyStepsOfASixtiethAfterTheStartingOne) {
    node->runAction(std::make_shared<RotateBy>(1.0f, Vec3{0, -270, -45}));
    int ticks = 0;
    while (node->runningActionCount() > 0 && ticks < 100) {
        tick(1.0f / 60.0f);
        ++ticks;
    }
    EXPECT_EQ(ticks, 61);
}

TEST_F(RotateByTest, StepsLinearlyFromZeroAndEndsAtTheStepThatReachesTheDuration) {
    node->setRotation3D({0, 180, 0});
    node->runAction(std::make_shared<RotateBy>(1.0f, Vec3{0, -100, 40}));
    const float expectedY[] = {180, 155, 130, 105, 80};
    for (float y : expectedY) {
        EXPECT_EQ(node->runningActionCount(), 1);
        tick(0.25f);
        EXPECT_FLOAT_EQ(node->rotation3D().y, y);
    }
    EXPECT_EQ(node->runningActionCount(), 0);
    EXPECT_EQ(node->rotation3D(), (Vec3{0, 80, 40}));
}

TEST_F(RotateByTest, TheLaterOfTwoDecidesTheRotation) {
    node->setRotation3D({0, 180, 0});
    node->runAction(std::make_shared<RotateBy>(1.0f, Vec3{0, -90, 0}));
    tick(0.25f);
    tick(0.25f);
    node->setRotation3D({0, 180, 0}); // as a second turn does before it starts
    node->runAction(std::make_shared<RotateBy>(1.0f, Vec3{0, 40, 20}));
    const float expectedY[] = {180, 190, 200, 210, 220};
    for (float y : expectedY) {
        tick(0.25f);
        EXPECT_FLOAT_EQ(node->rotation3D().y, y);
    }
    EXPECT_EQ(node->runningActionCount(), 0);
    EXPECT_EQ(node->rotation3D(), (Vec3{0, 220, 20}));
}

TEST_F(RotateByTest, OffStageActionsWait) {
    node->onExit();
    node->setRotation3D({0, 0, 0});
    node->runAction(std::make_shared<RotateBy>(0.5f, Vec3{0, 10, 0}));
    tick(1.0f);
    EXPECT_EQ(node->rotation3D(), (Vec3{0, 0, 0}));
    node->onEnter();
    tick(1.0f);
    tick(1.0f);
    EXPECT_EQ(node->rotation3D(), (Vec3{0, 10, 0}));
}

class CountingWorld : public World {
  public:
    void update(float dt) override { deltas.push_back(dt); }
    std::vector<float> deltas;
};

TEST(World, SkipsItsUpdateUnlessPlayingAndLimitsTheTimeStep) {
    Director::reset();
    auto world = World::create<CountingWorld>();
    world->updateWorld(0.01f);
    EXPECT_TRUE(world->deltas.empty());
    world->play();
    world->updateWorld(0.01f);
    world->updateWorld(1.0f);
    world->pause();
    world->updateWorld(0.01f);
    EXPECT_EQ(world->deltas, (std::vector<float>{0.01f, 1.0f / 15.0f}));
}

TEST(World, FirstCameraAddedAnywhereBecomesActive) {
    Director::reset();
    auto world = World::create<World>();
    EXPECT_EQ(world->activeCamera(), nullptr);

    auto group = std::make_shared<Node3D>("group");
    auto nested = std::make_shared<Camera>("nested");
    add3DChild(*group, nested); // not in a world yet
    EXPECT_EQ(world->activeCamera(), nullptr);
    add3DChild(*world, group);
    EXPECT_EQ(world->activeCamera(), nested.get());

    world->addChild(std::make_shared<Camera>("second"));
    EXPECT_EQ(world->activeCamera(), nested.get());

    nested->removeFromParent();
    group.reset();
    nested.reset();
    EXPECT_EQ(world->activeCamera(), nullptr) << "a dropped camera is not drawn through";
}

TEST(World, LayerFitsTheCameraToItsRectangleWhenItEnters) {
    Director::reset();
    Director::shared().setWinSize({320, 568});
    auto layer = std::make_shared<WorldLayer>();
    auto world = World::create<World>();
    auto camera = std::make_shared<Camera>("Camera");
    camera->aspect = 1.0f;
    add3DChild(*world, camera);
    layer->setWorld(world);
    layer->onEnter();
    EXPECT_FLOAT_EQ(camera->aspect, 320.0f / 568.0f);
    EXPECT_TRUE(world->isRunning()) << "the world's actions live with the layer";
    layer->onExit();
    EXPECT_FALSE(world->isRunning());
    Director::reset();
}

} // namespace
} // namespace terrabo
