#include "engine/Action.h"
#include "engine/Director.h"
#include "engine/Layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace terrabo {
namespace {

// Draws by writing its name, so a visit shows the drawing order.
class NamedNode : public Node {
  public:
    NamedNode(std::string n, std::vector<std::string>& drawn) : drawn_(drawn) {
        setName(std::move(n));
    }
    void draw(Renderer*, const Mat4&) override { drawn_.push_back(name()); }

  private:
    std::vector<std::string>& drawn_;
};

constexpr float kPi = 3.14159265f;

// Runs for ever.
class Idle : public Action {
  public:
    Idle() : Action(1e9f) {}

  protected:
    void update(float) override {}
};

class NodeTreeTest : public testing::Test {
  protected:
    void SetUp() override { Director::reset(); }
    void TearDown() override { Director::reset(); }

    std::shared_ptr<NamedNode> make(const char* n) { return std::make_shared<NamedNode>(n, drawn); }
    std::vector<std::string> childNames(const Node& parent) {
        std::vector<std::string> names;
        for (const auto& c : parent.children())
            names.push_back(c->name());
        return names;
    }
    std::vector<std::string> drawn;
};

TEST_F(NodeTreeTest, ChildrenOrderByZThenArrivalAndDrawNegativeZBehindTheParent) {
    auto parent = make("parent");
    const std::pair<const char*, int> adds[] = {{"a", 1},  {"b", 0}, {"c", 1},
                                                {"d", -1}, {"e", 0}, {"f", -1}};
    for (const auto& [n, z] : adds)
        parent->addChild(make(n), z);
    EXPECT_EQ(childNames(*parent), (std::vector<std::string>{"d", "f", "b", "e", "a", "c"}));

    parent->visit(nullptr, Mat4::identity());
    EXPECT_EQ(drawn, (std::vector<std::string>{"d", "f", "parent", "b", "e", "a", "c"}));
}

TEST_F(NodeTreeTest, ReAddedChildGoesBehindItsEqualsInOrder) {
    auto parent = make("parent");
    auto a = make("a");
    parent->addChild(a, 0);
    parent->addChild(make("b"), 0);
    a->removeFromParent();
    parent->addChild(a, 0);
    EXPECT_EQ(childNames(*parent), (std::vector<std::string>{"b", "a"}));
}

TEST_F(NodeTreeTest, ChildWithAParentIsNotAddedTwice) {
    auto first = make("first");
    auto second = make("second");
    auto child = make("child");
    first->addChild(child);
    second->addChild(child);
    EXPECT_EQ(child->parent(), first.get());
    EXPECT_TRUE(second->children().empty());
}

TEST_F(NodeTreeTest, RemovalWithCleanupEndsUpdatesAndWithoutOnlyPausesThem) {
    auto scene = std::make_shared<Scene>();
    auto kept = make("kept");
    auto dropped = make("dropped");
    scene->addChild(kept);
    scene->addChild(dropped);
    scene->onEnter();
    kept->scheduleUpdate();
    dropped->scheduleUpdate();
    Scheduler& scheduler = Director::shared().scheduler();

    kept->removeFromParent(false);
    dropped->removeFromParent(true);
    EXPECT_TRUE(scheduler.hasUpdate(kept.get()));
    EXPECT_TRUE(scheduler.isUpdatePaused(kept.get()));
    EXPECT_FALSE(scheduler.hasUpdate(dropped.get()));
    EXPECT_FALSE(kept->isRunning());
}

TEST_F(NodeTreeTest, NodeGoneWithoutCleanupLeavesNothingScheduled) {
    auto scene = std::make_shared<Scene>();
    scene->onEnter();
    auto node = make("dropped");
    scene->addChild(node);
    node->scheduleUpdate();
    node->schedule(
        "timer", [] {}, 0.1f);
    node->runAction(std::make_shared<Idle>());
    const Node* address = node.get();
    node->removeFromParent(false);
    node.reset();

    // Another node at the same address would wake paused leftovers on entering.
    Director& director = Director::shared();
    EXPECT_FALSE(director.scheduler().hasUpdate(address));
    EXPECT_EQ(director.scheduler().timerCount(address, "timer"), 0);
    EXPECT_EQ(director.actionManager().runningActionCount(), 0);
}

TEST_F(NodeTreeTest, TouchPointsMapThroughPositionScaleAndAnchor) {
    Director::shared().setWinSize({320, 480});
    auto parent = make("parent");
    parent->setAnchor({0, 0});
    parent->setPosition({100, 50});
    auto child = make("child");
    child->setContentSize({40, 20});
    child->setPosition({10, 10});
    child->setScale(2.0f);
    parent->addChild(child);
    // View point (110, 420) is engine point (110, 60): parent space (10, 10), the child's anchor.
    const Vec2 p = child->convertTouchToNodeSpace({110, 420});
    EXPECT_FLOAT_EQ(p.x, 20.0f);
    EXPECT_FLOAT_EQ(p.y, 10.0f);
    EXPECT_EQ(child->boundingBox(), (Rect{-30, -10, 80, 40}));
    // Turned by 30 degrees the 80 x 40 box spans 80 cos 30 + 40 sin 30 by 80 sin 30 + 40 cos 30.
    child->setRotation(30);
    const Rect turned = child->boundingBox();
    const float w = 80 * std::cos(kPi / 6) + 20, h = 40 + 40 * std::cos(kPi / 6);
    EXPECT_NEAR(turned.width, w, 1e-3);
    EXPECT_NEAR(turned.height, h, 1e-3);
    EXPECT_NEAR(turned.x, 10 - w / 2, 1e-3);
    EXPECT_NEAR(turned.y, 10 - h / 2, 1e-3);
}

} // namespace
} // namespace terrabo
