#include "engine/Action.h"
#include "engine/Director.h"
#include "engine/Layer.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace terrabo {
namespace {

constexpr double kFrame = 1.0 / 60.0;

using Trace = std::vector<std::string>;

// Writes every step it takes, with its t, into a shared trace.
class TracingAction : public Action {
  public:
    TracingAction(float duration, Trace& trace) : Action(duration), trace_(trace) {}

  protected:
    void update(float t) override { trace_.push_back("action " + std::to_string(t)); }

  private:
    Trace& trace_;
};

// A node whose per-frame update is recorded, and that may start an action once.
class TracingNode : public Node {
  public:
    explicit TracingNode(Trace& trace) : trace_(trace) {}
    void update(float dt) override {
        trace_.push_back("update");
        deltas.push_back(dt);
        if (startActionOnNextUpdate) {
            startActionOnNextUpdate = false;
            runAction(std::make_shared<TracingAction>(1.0f, trace_));
        }
    }
    bool startActionOnNextUpdate = false;
    std::vector<float> deltas;

  private:
    Trace& trace_;
};

class FrameLoopTest : public testing::Test {
  protected:
    void SetUp() override {
        Director::reset();
        director().setClock(&clock);
        node = std::make_shared<TracingNode>(trace);
    }
    void TearDown() override { Director::reset(); }

    static Director& director() { return Director::shared(); }

    void frame(double dt = kFrame) {
        clock.advance(dt);
        director().mainLoop(nullptr);
    }

    // Schedules the node's update and puts it on stage in a first frame.
    void startScene() {
        node->scheduleUpdate(0);
        auto scene = std::make_shared<Scene>();
        scene->addChild(node);
        director().runWithScene(scene);
        frame();
    }

    ManualClock clock;
    Trace trace;
    std::shared_ptr<TracingNode> node;
};

TEST_F(FrameLoopTest, ActionStartedByAnUpdateStepsAtZeroInTheSameTickAndTimersFireAfter) {
    startScene();
    int target = 0;
    director().scheduler().schedule(
        &target, "timer", [&] { trace.push_back("timer"); }, 0.0f, false);
    frame(); // the timer's first tick only starts its count
    trace.clear();

    node->startActionOnNextUpdate = true;
    frame();
    EXPECT_EQ(trace, (Trace{"update", "action 0.000000", "timer"}));
}

TEST_F(FrameLoopTest, FirstFrameOfANewSceneTicksNothingOfIt) {
    node->scheduleUpdate(0);
    EXPECT_TRUE(director().scheduler().isUpdatePaused(node.get()));
    frame();
    EXPECT_TRUE(trace.empty()) << "off stage, the update is registered paused";

    auto scene = std::make_shared<Scene>();
    scene->addChild(node);
    director().runWithScene(scene);
    frame();
    EXPECT_TRUE(trace.empty()) << "the tick comes before the scene switch";
    EXPECT_FALSE(director().scheduler().isUpdatePaused(node.get()));

    frame();
    EXPECT_EQ(trace, Trace{"update"});
}

TEST_F(FrameLoopTest, PausedTimeIsNotCounted) {
    startScene();
    frame();
    node->runAction(std::make_shared<TracingAction>(1.0f, trace));
    frame();
    const double interval = director().animationInterval();

    director().pause();
    EXPECT_DOUBLE_EQ(director().animationInterval(), 0.25);
    trace.clear();
    for (int i = 0; i < 20; ++i)
        frame(0.25);
    EXPECT_TRUE(trace.empty()) << "no updates, actions or timers while paused";
    EXPECT_EQ(director().frameCount(), 23) << "frames still come while paused";

    clock.advance(3.0); // time between the last paused frame and resuming
    director().resume();
    EXPECT_DOUBLE_EQ(director().animationInterval(), interval);
    node->deltas.clear();
    frame();
    ASSERT_EQ(node->deltas.size(), 1u);
    EXPECT_FLOAT_EQ(node->deltas[0], static_cast<float>(kFrame));
    EXPECT_EQ(trace.back(), "action " + std::to_string(static_cast<float>(kFrame)))
        << "the action goes on where it stood";
}

TEST_F(FrameLoopTest, TimeStep) {
    struct Case {
        const char* what;
        void (*prepare)(ManualClock&);
        double advance;
        float expected;
    };
    const Case cases[] = {
        {"elapsed time", [](ManualClock&) {}, 0.5, 0.5f},
        {"zero step requested", [](ManualClock&) { Director::shared().setNextDeltaTimeZero(true); },
         0.5, 0.0f},
        {"clock cannot be read", [](ManualClock& c) { c.setReadable(false); }, 0.5, 0.0f},
        {"clock went back", [](ManualClock&) {}, -2.0, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Director::reset();
        ManualClock local;
        local.set(10.0);
        director().setClock(&local);
        director().startAnimation();
        c.prepare(local);
        local.advance(c.advance);
        director().mainLoop(nullptr);
        EXPECT_EQ(director().lastDelta(), c.expected);
    }
}

TEST_F(FrameLoopTest, ZeroStepRequestHoldsForOneFrameOnly) {
    startScene();
    director().setNextDeltaTimeZero(true);
    node->deltas.clear();
    frame(1.0);
    frame(0.5);
    EXPECT_EQ(node->deltas, (std::vector<float>{0.0f, 0.5f}));
}

// Records what the director asks of the platform's frame source.
class RecordingTrigger : public FrameTrigger {
  public:
    void startFrames(double interval, int kind) override {
        calls.push_back("start " + std::to_string(interval) + " kind " + std::to_string(kind));
    }
    void stopFrames() override { calls.push_back("stop"); }
    std::vector<std::string> calls;
};

TEST_F(FrameLoopTest, FrameTriggerFollowsRunPauseResumeAndStop) {
    RecordingTrigger trigger;
    director().setFrameTrigger(&trigger);
    director().setDirectorType(Director::kDisplayLink, "3.1");
    director().setAnimationInterval(1.0 / 60.0);
    EXPECT_TRUE(trigger.calls.empty()) << "no frames before a scene runs";

    director().runWithScene(std::make_shared<Scene>());
    director().pause();
    director().setAnimationInterval(1.0 / 30.0); // waits for resume
    EXPECT_DOUBLE_EQ(director().animationInterval(), 0.25);
    director().resume();
    director().stopAnimation();
    EXPECT_FALSE(director().isAnimating());
    EXPECT_EQ(trigger.calls, (Trace{"start 0.016667 kind 3", "start 0.250000 kind 3",
                                    "start 0.033333 kind 3", "stop"}));
}

TEST(DirectorKind, DisplayLinkNeedsSystemVersionThreePointOne) {
    struct Case {
        int kind;
        const char* version;
        bool accepted;
    };
    const Case cases[] = {
        {Director::kDisplayLink, "3.0", false},
        {Director::kDisplayLink, "3.1", true},
        {Director::kDisplayLink, "10.2", true},
        {Director::kDisplayLink, "3.0.9", false},
        {Director::kDisplayLink, "3.1.0", true},
        {Director::kDisplayLink, "2.9.9", false},
        {Director::kTimer, "3.0", true},
        {Director::kTimer, "1.0", true},
        {-1, "10.0", false},
        {4, "10.0", false},
    };
    for (const Case& c : cases) {
        Director::reset();
        Director& director = Director::shared();
        EXPECT_EQ(director.setDirectorType(c.kind, c.version), c.accepted)
            << "kind " << c.kind << " on " << c.version;
        EXPECT_EQ(director.kind(), c.accepted ? c.kind : Director::kTimer);
    }
    Director::reset();
}

} // namespace
} // namespace terrabo
