// Building the overlay's bars and buttons, and letting them go.
#include "engine/Director.h"
#include "engine/Label.h"
#include "engine/Menu.h"
#include "overlay/TerraboLayer.h"
#include "platform/Log.h"
#include "world/CommandBoard.h"

namespace terrabo {
namespace {

// The top row sits 25 points below the top edge of the two phone heights.
float topRow() { return Director::shared().winSize().height == 568.0f ? 543.0f : 455.0f; }

std::shared_ptr<MenuItem> button(const char* normal, const char* pressed, std::function<void()> action) {
    return std::make_shared<MenuItem>(Sprite::create(normal), pressed ? Sprite::create(pressed) : nullptr,
                                      std::move(action));
}

} // namespace

void TerraboLayer::initializeContols() {
    logLine("adding sprites, buttons and other 2D objects");
    setTouchEnabled(true);
    arr = std::make_unique<std::vector<std::string>>();
    reading();

    auto searchSprite = Sprite::create("b1.png");

    auto top = Sprite::create("buttbg.png");
    top->setPosition({160.0f, topRow()});
    top->setScaleY(0.5f);
    top->setScaleX(0.7f);
    addChild(top, 0);
    buttbg = top.get();

    auto bottom = Sprite::create("buttbg.png");
    bottom->setPosition({160.0f, 25.0f});
    bottom->setScaleY(0.5f);
    bottom->setScaleX(0.7f);
    addChild(bottom, 0);
    bottom->setFlipY(true);
    buttbg1 = bottom.get();

    auto headerSprite = Sprite::create("done.jpg");
    headerSprite->setPosition({160.0f, 215.0f});
    headerSprite->setOpacity(0);
    addChild(headerSprite, 2);
    header = headerSprite.get();

    auto zoomIn = button("Zoom In.png", "Zoom In1.png", [this] { zoomInAxn(); });
    auto zoomOut = button("Zoom Out.png", "Zoom Out1.png", [this] { zoomOutAxn(); });
    auto moreButton = button("more1.png", "more2.png", [this] { moreAxn(); });
    auto search = std::make_shared<MenuItem>(searchSprite, nullptr, [this] { serAxn(); });
    auto flag = button("blue1.png", "blue2.png", [this] { mapAxn(); });
    auto home = button("h1.png", "h2.png", [this] { homeLocAxn(); });
    zoomInButton = zoomIn.get();
    zoomOutButton = zoomOut.get();
    serButt = search.get();
    flagButt = flag.get();
    homeLocButt = home.get();

    auto menu = std::make_shared<Menu>(std::vector<std::shared_ptr<MenuItem>>{zoomIn, zoomOut, search, moreButton, flag, home});
    menu->setPosition({0.0f, 0.0f});

    zoomIn->setPosition({30.0f, 25.0f});
    zoomIn->setScale(0.25f);
    zoomOut->setPosition({290.0f, 25.0f});
    zoomOut->setScale(0.25f);
    moreButton->setPosition({160.0f, 25.0f});
    moreButton->setScale(0.5f);
    const float row = topRow();
    search->setPosition({175.0f, row});
    home->setPosition({30.0f, row});
    search->setScaleY(0.5f);
    search->setScaleX(0.55f);
    flag->setPosition(kFlagHidden);
    flag->setScale(0.5f);
    home->setScale(0.3f);

    addChild(menu, 1);
    typing = true;
    callAd();
    commandBoard().spinOn = 1;
}

TerraboLayer::~TerraboLayer() {
    arr.reset();
    placeArr.reset();
    locationGetter.reset();
}

} // namespace terrabo
