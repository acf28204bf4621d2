// Frames that change nothing on screen leave the scene's revision alone, so
// the live view can skip drawing them; anything that moves changes it.
#include "WorldFixture.h"

#include "engine3d/RotateBy.h"

namespace terrabo {
namespace {

using StillFrames = WorldFrames;

TEST_F(StillFrames, OnlyFramesThatMoveSomethingChangeTheScene) {
    struct Case {
        const char* name;
        void (*before)(Node3D& globe);
        bool changes;
    };
    const Case cases[] = {
        {"spinning", [](Node3D&) { commandBoard().spinOn = 1; }, true},
        {"stopped, nothing asked", [](Node3D&) {}, false},
        {"a camera reset at home", [](Node3D&) { commandBoard().camResetPending = 1; }, false},
        {"a swipe that only changes the spin rate", [](Node3D&) { commandBoard().swipeRightPending = 1; },
         false},
        {"a zoom step", [](Node3D&) { commandBoard().zoomInPending = 1; }, true},
        {"a turn running",
         [](Node3D& globe) { globe.runAction(std::make_shared<RotateBy>(1.0f, Vec3{0, 30, 0})); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        commandBoard().spinOn = 0;
        frames(2);
        c.before(*world->globe);
        const auto before = sceneRevision();
        frames(2); // an action's first step is at its start
        EXPECT_EQ(sceneRevision() != before, c.changes);
        world->globe->stopAllActions();
    }
}

TEST(SceneRevision, SettersNoteRealChangesOnly) {
    Node node;
    node.setPosition({10, 20});
    const auto same = sceneRevision();
    node.setPosition({10, 20});
    node.setVisible(true);
    node.setOpacity(255);
    EXPECT_EQ(sceneRevision(), same) << "values as they were";
    node.setOpacity(128);
    EXPECT_NE(sceneRevision(), same);
    const auto added = sceneRevision();
    auto child = std::make_shared<Node>();
    node.addChild(child);
    EXPECT_NE(sceneRevision(), added);
    const auto removed = sceneRevision();
    node.removeChild(child.get());
    EXPECT_NE(sceneRevision(), removed);
}

} // namespace
} // namespace terrabo
