#include "engine/Director.h"
#include "engine/Menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace terrabo {
namespace {

// A layer that writes down every touch phase it receives.
class RecordingLayer : public Layer {
  public:
    void touchesBegan(const TouchSet&) override { seen.push_back("began"); }
    void touchesMoved(const TouchSet&) override { seen.push_back("moved"); }
    void touchesEnded(const TouchSet&) override { seen.push_back("ended"); }
    void touchesCancelled(const TouchSet&) override { seen.push_back("cancelled"); }
    std::vector<std::string> seen;
};

std::shared_ptr<Sprite> square(float side) {
    auto image = std::make_shared<Image>();
    image->width = image->height = static_cast<int>(side);
    image->rgba.assign(static_cast<std::size_t>(side * side * 4), 255);
    return std::make_shared<Sprite>(Picture{"square", image});
}

// Two 40-point buttons side by side, centred at engine (100, 100) and (200, 100),
// in a menu over a touch-enabled layer; the screen is 320 x 480.
class TouchRoutingTest : public testing::Test {
  protected:
    void SetUp() override {
        Director::reset();
        Director::shared().setWinSize({320, 480});
        layer = std::make_shared<RecordingLayer>();
        layer->setTouchEnabled(true);
        left =
            std::make_shared<MenuItem>(square(40), square(40), [this] { fired.push_back("left"); });
        right =
            std::make_shared<MenuItem>(square(40), nullptr, [this] { fired.push_back("right"); });
        left->setPosition({100, 100});
        right->setPosition({200, 100});
        menu = std::make_shared<Menu>(std::vector<std::shared_ptr<MenuItem>>{left, right});
        menu->setPosition({0, 0});
        scene = std::make_shared<Scene>();
        scene->addChild(layer, 0);
        scene->addChild(menu, 1);
        Director::shared().runWithScene(scene);
        Director::shared().mainLoop(nullptr);
    }
    void TearDown() override { Director::reset(); }

    // Engine points, as the buttons are placed; touches carry view points.
    static void touch(TouchPhase phase, Vec2 enginePoint, int id = 1) {
        Touch t;
        t.id = id;
        t.location = {enginePoint.x, 480 - enginePoint.y};
        Director::shared().deliverTouches(phase, {t});
    }

    std::shared_ptr<RecordingLayer> layer;
    std::shared_ptr<MenuItem> left, right;
    std::shared_ptr<Menu> menu;
    std::shared_ptr<Scene> scene;
    std::vector<std::string> fired;
};

TEST_F(TouchRoutingTest, TouchClaimedByTheMenuNeverReachesTheLayer) {
    touch(TouchPhase::Began, {100, 100});
    EXPECT_TRUE(left->selected());
    touch(TouchPhase::Moved, {150, 300});
    touch(TouchPhase::Moved, {110, 90});
    touch(TouchPhase::Ended, {110, 90});
    EXPECT_TRUE(layer->seen.empty());
    EXPECT_EQ(fired, std::vector<std::string>{"left"});

    touch(TouchPhase::Began, {160, 300}, 2);
    touch(TouchPhase::Ended, {100, 100}, 2);
    EXPECT_EQ(layer->seen, (std::vector<std::string>{"began", "ended"}));
    EXPECT_EQ(fired, std::vector<std::string>{"left"}) << "an unclaimed touch fires no button";
}

TEST_F(TouchRoutingTest, ButtonFiresOnlyWhenLiftedOverIt) {
    struct Case {
        const char* what;
        std::vector<Vec2> path; // began, moves..., ended
        std::vector<std::string> fired;
    };
    const Case cases[] = {
        {"tap", {{100, 100}, {100, 100}}, {"left"}},
        {"lifted beside it", {{100, 100}, {100, 200}, {100, 200}}, {}},
        {"off and back on", {{100, 100}, {160, 100}, {95, 105}, {95, 105}}, {"left"}},
        {"lifted over the other button", {{100, 100}, {150, 100}, {200, 100}}, {"right"}},
        {"edge of the button", {{120, 120}, {120, 120}}, {"left"}},
        {"just outside", {{120.5f, 100}, {100, 100}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fired.clear();
        touch(TouchPhase::Began, c.path.front());
        for (std::size_t i = 1; i + 1 < c.path.size(); ++i)
            touch(TouchPhase::Moved, c.path[i]);
        touch(TouchPhase::Ended, c.path.back());
        EXPECT_EQ(fired, c.fired);
        EXPECT_FALSE(left->selected());
        EXPECT_FALSE(right->selected());
    }
}

TEST_F(TouchRoutingTest, PressedImageShowsWhileTheFingerIsOnTheButton) {
    touch(TouchPhase::Began, {100, 100});
    EXPECT_FALSE(left->normalSprite()->visible());
    EXPECT_TRUE(left->pressedSprite()->visible());
    touch(TouchPhase::Moved, {200, 100});
    EXPECT_TRUE(left->normalSprite()->visible());
    EXPECT_TRUE(right->selected());
    EXPECT_TRUE(right->normalSprite()->visible()) << "no pressed image: the normal one stays";
    touch(TouchPhase::Cancelled, {200, 100});
    EXPECT_FALSE(right->selected());
    EXPECT_TRUE(fired.empty());
}

TEST_F(TouchRoutingTest, HiddenOrDisabledButtonsClaimNothing) {
    left->setVisible(false);
    right->setEnabled(false);
    touch(TouchPhase::Began, {100, 100});
    touch(TouchPhase::Ended, {100, 100});
    touch(TouchPhase::Began, {200, 100});
    touch(TouchPhase::Ended, {200, 100});
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(layer->seen.size(), 4u);
}

TEST_F(TouchRoutingTest, LayerOffStageOrSwitchedOffGetsNoTouches) {
    layer->setTouchEnabled(false);
    touch(TouchPhase::Began, {160, 300});
    EXPECT_TRUE(layer->seen.empty());

    layer->setTouchEnabled(true);
    touch(TouchPhase::Began, {160, 300});
    EXPECT_EQ(layer->seen.size(), 1u);

    layer->removeFromParent();
    touch(TouchPhase::Began, {160, 300});
    EXPECT_EQ(layer->seen.size(), 1u);
}

TEST_F(TouchRoutingTest, MenuOffStageClaimsNothing) {
    menu->removeFromParent();
    touch(TouchPhase::Began, {100, 100});
    touch(TouchPhase::Ended, {100, 100});
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(layer->seen, (std::vector<std::string>{"began", "ended"}));
}

TEST_F(TouchRoutingTest, MenuLeavingMidTouchKeepsTheRestFromTheLayerAndListensAgainOnReturn) {
    touch(TouchPhase::Began, {100, 100});
    menu->removeFromParent(false);
    EXPECT_FALSE(left->selected());
    touch(TouchPhase::Moved, {160, 300});
    touch(TouchPhase::Ended, {100, 100});
    EXPECT_TRUE(layer->seen.empty()) << "the layer never saw this touch begin";
    EXPECT_TRUE(fired.empty());

    scene->addChild(menu, 1);
    touch(TouchPhase::Began, {200, 100}, 2);
    touch(TouchPhase::Ended, {200, 100}, 2);
    EXPECT_EQ(fired, std::vector<std::string>{"right"});
}

// Takes another layer off the stage when a touch begins on it.
class RemovingLayer : public Layer {
  public:
    void touchesBegan(const TouchSet&) override {
        if (victim)
            victim->removeFromParent();
    }
    Layer* victim = nullptr;
};

TEST_F(TouchRoutingTest, LayerTakenOffByAnEarlierOneGetsNothingMore) {
    auto remover = std::make_shared<RemovingLayer>();
    remover->setTouchEnabled(true);
    remover->victim = layer.get();
    layer->removeFromParent(false);
    scene->addChild(remover, 0);
    scene->addChild(layer, 0);
    touch(TouchPhase::Began, {160, 300});
    EXPECT_TRUE(layer->seen.empty());
}

} // namespace
} // namespace terrabo
