#include "WorldFixture.h"

#include "app/AppContext.h"
#include "engine/Label.h"
#include "engine/Menu.h"
#include "overlay/TerraboLayer.h"

#include <algorithm>

namespace terrabo {
namespace {

// Every text becomes a small white block; the texts asked for are kept.
class FakeRasterizer : public TextRasterizer {
public:
    Image render(const std::string& text, const std::string& font, float size, float) override {
        requests.push_back(text + "|" + font + "|" + std::to_string(static_cast<int>(size)));
        Image image;
        image.width = 8;
        image.height = 4;
        image.rgba.assign(8 * 4 * 4, 255);
        return image;
    }
    std::vector<std::string> requests;
};

// Every image file decodes to a 64-point square.
class SquareImages : public ImageLoader {
public:
    std::optional<Image> load(const std::string&) override {
        Image image;
        image.width = image.height = 64;
        image.rgba.assign(64 * 64 * 4, 200);
        return image;
    }
};

// The overlay as the app starts it, on a screen of the given height.
class OverlayFixture {
public:
    explicit OverlayFixture(float height, bool withImages = false) {
        commandBoard() = CommandBoard{};
        appContext() = AppContext{};
        Director::reset();
        Director& director = Director::shared();
        director.setClock(&clock);
        director.setWinSize({320, height});
        director.setTextRasterizer(&rasterizer);
        if (withImages)
            director.imageCache().setLoader(&images);
        setResourceDir(resources.path());
        world = World::create<TerraboWorld>();
        overlay = WorldLayer::create<TerraboLayer>();
        overlay->setWorld(world);
        world->play();
        overlay->scheduleUpdate(0);
        controller.runSceneOnNode(overlay);
        frame();
        log.lines.clear();
    }
    ~OverlayFixture() {
        Director::reset();
        commandBoard() = CommandBoard{};
    }

    void frame() {
        clock.advance(1.0 / 60.0);
        Director::shared().mainLoop(nullptr);
    }
    // Touches in the view's convention, as the platform delivers them.
    void touch(TouchPhase phase, float x, float y, int taps = 1) {
        Touch t;
        t.id = 1;
        t.location = {x, y};
        t.tapCount = taps;
        Director::shared().deliverTouches(phase, {t});
    }
    void tap(float x, float y, int taps = 1) {
        touch(TouchPhase::Began, x, y, taps);
        touch(TouchPhase::Ended, x, y, taps);
    }
    // A touch from its start through its moves to where it is lifted.
    void drag(std::vector<Vec2> path) {
        touch(TouchPhase::Began, path.front().x, path.front().y);
        for (std::size_t i = 1; i < path.size(); ++i)
            touch(TouchPhase::Moved, path[i].x, path[i].y);
        touch(TouchPhase::Ended, path.back().x, path.back().y);
    }
    // Engine point of a button to the view point a finger touches.
    Vec2 viewPointOf(const Node& node) const {
        return {node.position().x, Director::shared().winSize().height - node.position().y};
    }
    int labelCount() const {
        int n = 0;
        for (const auto& child : overlay->children())
            n += dynamic_cast<Label*>(child.get()) != nullptr;
        return n;
    }
    Menu* menu() const {
        for (const auto& child : overlay->children())
            if (auto* m = dynamic_cast<Menu*>(child.get()))
                return m;
        return nullptr;
    }
    void markPlace(const std::string& place, std::optional<std::string> details = {}) {
        overlay->result1 = place;
        overlay->str = std::move(details);
        overlay->placeFlag();
    }

    LogCapture log;
    TempDir resources;
    ManualClock clock;
    FakeRasterizer rasterizer;
    SquareImages images;
    ViewController controller;
    std::shared_ptr<TerraboWorld> world;
    std::shared_ptr<TerraboLayer> overlay;
};

// --- Layout

class OverlayLayout : public testing::TestWithParam<float> {};

TEST_P(OverlayLayout, ControlsSitAtTheirPositionsAndScales) {
    const float height = GetParam();
    OverlayFixture app(height);
    TerraboLayer& o = *app.overlay;
    const float topRow = height == 568.0f ? 543.0f : 455.0f;

    Menu* menu = app.menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->position(), (Vec2{0, 0}));
    ASSERT_EQ(o.children().size(), 4u);
    EXPECT_EQ(o.children()[0].get(), o.buttbg);
    EXPECT_EQ(o.children()[1].get(), o.buttbg1);
    EXPECT_EQ(o.children()[2].get(), menu);
    EXPECT_EQ(o.children()[3].get(), o.header);
    EXPECT_EQ(menu->zOrder(), 1);
    EXPECT_EQ(o.header->zOrder(), 2);

    struct Expected {
        const char* what;
        const Node* node;
        const char* image;
        Vec2 position;
        float scaleX, scaleY;
    };
    ASSERT_EQ(menu->children().size(), 6u);
    const Node* more = menu->children()[3].get();
    const Expected layout[] = {
        {"top bar", o.buttbg, "buttbg.png", {160, topRow}, 0.7f, 0.5f},
        {"bottom bar", o.buttbg1, "buttbg.png", {160, 25}, 0.7f, 0.5f},
        {"header", o.header, "done.jpg", {160, 215}, 1.0f, 1.0f},
        {"zoom in", o.zoomInButton, "Zoom In.png", {30, 25}, 0.25f, 0.25f},
        {"zoom out", o.zoomOutButton, "Zoom Out.png", {290, 25}, 0.25f, 0.25f},
        {"search", o.serButt, "b1.png", {175, topRow}, 0.55f, 0.5f},
        {"more", more, "more1.png", {160, 25}, 0.5f, 0.5f},
        {"flag", o.flagButt, "blue1.png", {190, -275}, 0.5f, 0.5f},
        {"home", o.homeLocButt, "h1.png", {30, topRow}, 0.3f, 0.3f},
    };
    for (const Expected& e : layout) {
        SCOPED_TRACE(e.what);
        ASSERT_NE(e.node, nullptr);
        EXPECT_EQ(e.node->position(), e.position);
        EXPECT_EQ(e.node->scaleX(), e.scaleX);
        EXPECT_EQ(e.node->scaleY(), e.scaleY);
        const auto* sprite = dynamic_cast<const Sprite*>(e.node);
        const auto* item = dynamic_cast<const MenuItem*>(e.node);
        const std::string image = sprite ? sprite->fileName() : item->normalSprite()->fileName();
        EXPECT_EQ(image, e.image);
    }

    // Menu order, which is also the items' z-order.
    const Node* items[] = {o.zoomInButton, o.zoomOutButton, o.serButt, more, o.flagButt, o.homeLocButt};
    for (int z = 0; z < 6; ++z) {
        EXPECT_EQ(menu->children()[static_cast<std::size_t>(z)].get(), items[z]);
        EXPECT_EQ(items[z]->zOrder(), z);
    }
    const char* pressed[] = {"Zoom In1.png", "Zoom Out1.png", nullptr, "more2.png", "blue2.png", "h2.png"};
    for (int i = 0; i < 6; ++i) {
        const Sprite* p = static_cast<const MenuItem*>(items[i])->pressedSprite();
        if (pressed[i])
            EXPECT_EQ(p ? p->fileName() : "", pressed[i]);
        else
            EXPECT_EQ(p, nullptr) << "the search button keeps its one image";
    }

    EXPECT_TRUE(o.buttbg1->flipY());
    EXPECT_FALSE(o.buttbg->flipY());
    EXPECT_EQ(o.header->opacity(), 0);
    EXPECT_EQ(o.label, nullptr);
    EXPECT_TRUE(o.typing);
    EXPECT_TRUE(o.touchEnabled());
    EXPECT_FALSE(o.left1 || o.right1);
    EXPECT_TRUE(o.arr && o.arr->empty());
    EXPECT_EQ(commandBoard().spinOn, 1);
}

INSTANTIATE_TEST_SUITE_P(ScreenHeights, OverlayLayout, testing::Values(480.0f, 568.0f, 600.0f));

TEST(Overlay, GlobeSpinsFromTheSecondFrame) {
    OverlayFixture app(480);
    auto globe = std::make_shared<Node3D>("Globe");
    add3DChild(*app.world, globe);
    app.world->globe = globe.get();
    app.frame();
    app.frame();
    EXPECT_FLOAT_EQ(globe->rotation().y, 1.0f);
}

// --- Zoom buttons, flag and label

TEST(Overlay, ZoomButtonsWriteTheBoardHideTheFlagAndRemoveTheLabel) {
    struct Case {
        const char* button;
        MenuItem* TerraboLayer::*item;
        std::uint8_t CommandBoard::*cell;
        const char* logLine;
    };
    const Case cases[] = {
        {"zoom in", &TerraboLayer::zoomInButton, &CommandBoard::zoomInPending, "zoom in !!!!!"},
        {"zoom out", &TerraboLayer::zoomOutButton, &CommandBoard::zoomOutPending, "zoom out !!!!!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        OverlayFixture app(480, true);
        app.markPlace("Paris");
        ASSERT_EQ(app.overlay->flagButt->position(), TerraboLayer::kFlagShown);
        ASSERT_EQ(app.labelCount(), 1);
        app.log.lines.clear();

        const Vec2 at = app.viewPointOf(*(app.overlay.get()->*c.item));
        app.tap(at.x, at.y);
        EXPECT_EQ(commandBoard().*c.cell, 1);
        EXPECT_EQ(app.overlay->flagButt->position(), TerraboLayer::kFlagHidden);
        EXPECT_EQ(app.overlay->label, nullptr);
        EXPECT_EQ(app.labelCount(), 0);
        EXPECT_EQ(app.log.lines, std::vector<std::string>{c.logLine});
    }
}

TEST(Overlay, ZoomButtonWithNoPlaceMarkedOnlyWritesTheRequest) {
    OverlayFixture app(568, true);
    app.overlay->zoomOutAxn();
    EXPECT_EQ(commandBoard().zoomOutPending, 1);
    EXPECT_EQ(app.overlay->flagButt->position(), TerraboLayer::kFlagHidden);
    EXPECT_EQ(app.labelCount(), 0);
    app.frame();
    EXPECT_FLOAT_EQ(app.world->cam->location().z, 5.5f);
}

TEST(Overlay, TouchOnAButtonNeverReachesTheGestures) {
    OverlayFixture app(480, true);
    TerraboLayer& o = *app.overlay;
    o.startLoc = {-1, -1};
    o.typing = false;
    const Vec2 at = app.viewPointOf(*o.zoomInButton);
    app.drag({at, {at.x + 80, at.y}, {at.x + 80, at.y}});
    EXPECT_EQ(o.startLoc, (Vec2{-1, -1}));
    EXPECT_FALSE(o.typing);
    EXPECT_FALSE(o.right1);
    EXPECT_EQ(commandBoard().swipeRightPending, 0);
    EXPECT_EQ(commandBoard().zoomInPending, 0) << "lifted beside the button";
    EXPECT_EQ(commandBoard().spinOn, 1);
}

TEST(Overlay, PlaceLabelTextFollowsTheDetailsMarker) {
    struct Case {
        std::optional<std::string> details;
        std::string shown;
        bool logsEntered;
    };
    const Case cases[] = {
        {"Paris%2C%20France%20Extra%20details", "Paris%2C%20France%20Extra%20details", false},
        {"Extra%20details", "Extra%20details", false},
        {"Extra details", "Paris", true},
        {"extra%20details", "Paris", true},
        {"Extra%20Details", "Paris", true},
        {"Extra%2details", "Paris", true},
        {"", "Paris", true},
        {std::nullopt, "Paris", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.details.value_or("(none)"));
        OverlayFixture app(480);
        app.markPlace("Paris", c.details);
        ASSERT_NE(app.overlay->label, nullptr);
        const Label& label = *app.overlay->label;
        EXPECT_EQ(label.text(), c.shown);
        EXPECT_EQ(label.fontName(), "Arial");
        EXPECT_EQ(label.fontSize(), 14.0f);
        EXPECT_EQ(label.position(), (Vec2{205, 270}));
        EXPECT_EQ(label.color(), (Color3B{255, 0, 0}));
        EXPECT_EQ(label.zOrder(), 1);
        const auto& kids = app.overlay->children();
        const auto at = [&](const Node* n) {
            return std::find_if(kids.begin(), kids.end(), [n](const auto& k) { return k.get() == n; });
        };
        EXPECT_EQ(at(&label), at(app.menu()) + 1) << "drawn right above the menu";
        std::vector<std::string> expectedLog{"flag"};
        if (c.logsEntered)
            expectedLog.push_back("entered: Paris");
        EXPECT_EQ(app.log.lines, expectedLog);
    }
}

TEST(Overlay, SecondPlaceFlagLeavesOneLabelWithTheSecondText) {
    OverlayFixture app(480);
    app.markPlace("Paris");
    app.markPlace("12.972,77.595");
    EXPECT_EQ(app.labelCount(), 1);
    ASSERT_NE(app.overlay->label, nullptr);
    EXPECT_EQ(app.overlay->label->text(), "12.972,77.595");
    EXPECT_EQ(app.overlay->flagButt->position(), TerraboLayer::kFlagShown);
}

// --- Gestures

TEST(OverlayGestures, SwipeNeedsMoreThanFiftyPointsSideways) {
    struct Case {
        float dx;
        std::uint8_t right, left, spinOn;
    };
    const Case cases[] = {
        {50.0f, 0, 0, 0},  {50.5f, 1, 0, 1}, {-50.0f, 0, 0, 0},
        {-50.5f, 0, 1, 1}, {0.0f, 0, 0, 0},  {200.0f, 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dx);
        OverlayFixture app(480);
        app.drag({{130, 200}, {130 + c.dx, 260}});
        EXPECT_EQ(commandBoard().swipeRightPending, c.right);
        EXPECT_EQ(commandBoard().swipeLeftPending, c.left);
        EXPECT_EQ(commandBoard().spinOn, c.spinOn);
        EXPECT_FALSE(app.overlay->left1 || app.overlay->right1) << "delivered and cleared";
    }
}

TEST(OverlayGestures, LastThresholdCrossingDecides) {
    struct Case {
        const char* what;
        std::vector<Vec2> path;
        std::uint8_t right, left;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"past +50 and back", {{100, 200}, {160, 200}, {120, 200}}, 1, 0, {"good swipe  RRR"}},
        {"past +50 then -50", {{100, 200}, {160, 200}, {40, 200}}, 0, 1, {"good swipe  RRR", "good swipe  LLLL"}},
        {"every move past it", {{100, 200}, {151, 200}, {152, 200}}, 1, 0, {"good swipe  RRR", "good swipe  RRR"}},
        {"vertical travel", {{100, 100}, {100, 400}}, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OverlayFixture app(480);
        app.drag(c.path);
        EXPECT_EQ(commandBoard().swipeRightPending, c.right);
        EXPECT_EQ(commandBoard().swipeLeftPending, c.left);
        EXPECT_EQ(app.log.lines, c.log);
    }
}

TEST(OverlayGestures, SwipeHidesTheFlagAndLabelAtOnceAndTheRateChangesAfterTheLift) {
    OverlayFixture app(480);
    app.markPlace("Paris");
    commandBoard().spinOn = 0;
    app.touch(TouchPhase::Began, 100, 200);
    app.touch(TouchPhase::Moved, 151, 200);
    EXPECT_EQ(commandBoard().spinOn, 1) << "the spin restarts while the finger moves";
    EXPECT_EQ(app.labelCount(), 0);
    EXPECT_EQ(app.overlay->flagButt->position(), TerraboLayer::kFlagHidden);
    app.frame();
    EXPECT_FLOAT_EQ(app.world->xFactor, 0.5f);
    app.touch(TouchPhase::Ended, 151, 200);
    app.frame();
    EXPECT_FLOAT_EQ(app.world->xFactor, 0.8f);
}

TEST(OverlayGestures, PlainTapStopsTheSpinOnlyInsideTheBand) {
    struct Case {
        float height;
        float y;
        bool stops;
    };
    const Case cases[] = {
        {480, 100, false}, {480, 101, true}, {480, 429, true}, {480, 430, false},
        {480, 20, false},  {568, 431, false}, {568, 250, true}, {600, 550, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "screen " << c.height << " y " << c.y);
        OverlayFixture app(c.height);
        app.markPlace("Paris");
        app.tap(120, c.y);
        EXPECT_EQ(commandBoard().spinOn, c.stops ? 0 : 1);
        EXPECT_EQ(app.labelCount(), 1) << "a plain tap leaves the label";
        EXPECT_EQ(app.overlay->flagButt->position(), TerraboLayer::kFlagShown);
        EXPECT_EQ(app.overlay->startLoc, (Vec2{120, c.y})) << "stored in the view's convention";
    }
}

TEST(OverlayGestures, TapStopsByWhereItBegan) {
    struct Case {
        Vec2 from, to;
        bool stops;
    };
    const Case cases[] = {
        {{120, 200}, {120, 460}, true},
        {{120, 460}, {120, 200}, false},
        {{120, 50}, {140, 250}, false},
    };
    for (const Case& c : cases) {
        OverlayFixture app(480);
        app.drag({c.from, c.to});
        EXPECT_EQ(commandBoard().spinOn, c.stops ? 0 : 1) << c.from.y << " -> " << c.to.y;
    }
}

TEST(OverlayGestures, DoubleTapResetsTheViewTripleTapIsPlain) {
    struct Case {
        int taps;
        float y;
        std::uint8_t viewReset, spinOnAfter;
    };
    const Case cases[] = {
        {2, 200, 1, 0}, // reset, then its lift stops the spin in the band
        {2, 50, 1, 1},
        {2, 450, 1, 1},
        {3, 200, 0, 0},
        {3, 50, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.taps << " taps at y " << c.y);
        OverlayFixture app(480);
        app.markPlace("Paris");
        commandBoard().spinOn = 0;
        app.touch(TouchPhase::Began, 120, c.y, c.taps);
        EXPECT_EQ(commandBoard().viewResetPending, c.viewReset);
        if (c.viewReset) {
            EXPECT_EQ(commandBoard().spinOn, 1);
            EXPECT_EQ(app.labelCount(), 0);
            EXPECT_EQ(app.overlay->flagButt->position(), TerraboLayer::kFlagHidden);
        } else {
            EXPECT_EQ(app.labelCount(), 1);
        }
        commandBoard().spinOn = 1;
        app.touch(TouchPhase::Ended, 120, c.y, c.taps);
        EXPECT_EQ(commandBoard().spinOn, c.spinOnAfter);
    }
}

TEST(OverlayGestures, CancelledSwipeIsDeliveredByTheNextTouch) {
    OverlayFixture app(480);
    app.touch(TouchPhase::Began, 100, 200);
    app.touch(TouchPhase::Moved, 40, 200);
    app.touch(TouchPhase::Cancelled, 40, 200);
    EXPECT_TRUE(app.overlay->left1);
    EXPECT_EQ(commandBoard().swipeLeftPending, 0);

    app.tap(120, 250); // in the band, yet no stop
    EXPECT_EQ(commandBoard().swipeLeftPending, 1);
    EXPECT_EQ(commandBoard().spinOn, 1);
    EXPECT_FALSE(app.overlay->left1);
}

} // namespace
} // namespace terrabo
