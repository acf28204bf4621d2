// Touches on the scene: swipes change the spin, a tap in the stop band stops
// it, a double tap puts the view back. Touches on buttons never get here.
#include "engine/Director.h"
#include "engine/Menu.h"
#include "overlay/TerraboLayer.h"
#include "platform/Log.h"
#include "world/CommandBoard.h"

namespace terrabo {
namespace {

constexpr float kSwipeThreshold = 50.0f;
constexpr float kStopBandTop = 100.0f;
constexpr float kStopBandBottom = 430.0f;

} // namespace

// The touch's view point: into node space (flipped up), then through the
// director's view-to-engine flip again, which brings it back to y down.
static Vec2 storedPoint(const Node& layer, const Touch& touch) {
    return Director::shared().convertToGL(layer.convertTouchToNodeSpace(touch.location));
}

void TerraboLayer::hideFlag() {
    if (flagButt)
        flagButt->setPosition(kFlagHidden);
}

void TerraboLayer::touchesBegan(const TouchSet& touches) {
    if (touches.empty())
        return;
    const Touch& touch = touches.front();
    if (touch.tapCount == 2) {
        commandBoard().viewResetPending = 1;
        commandBoard().spinOn = 1;
        hideFlag();
        removePlaceLabel();
    }
    startLoc = storedPoint(*this, touch);
    closeSearchField();
    typing = true;
}

void TerraboLayer::touchesMoved(const TouchSet& touches) {
    if (touches.empty())
        return;
    endLoc = storedPoint(*this, touches.front());
    const float d = endLoc.x - startLoc.x;
    if (d > kSwipeThreshold) {
        logLine("good swipe  RRR");
        removePlaceLabel();
        left1 = false;
        right1 = true;
        commandBoard().spinOn = 1;
        hideFlag();
    } else if (d < -kSwipeThreshold) {
        logLine("good swipe  LLLL");
        removePlaceLabel();
        left1 = true;
        right1 = false;
        commandBoard().spinOn = 1;
        hideFlag();
    }
}

void TerraboLayer::touchesEnded(const TouchSet&) {
    if (left1) {
        commandBoard().swipeLeftPending = 1;
        left1 = false;
        return;
    }
    if (right1) {
        commandBoard().swipeRightPending = 1;
        right1 = false;
        return;
    }
    if (startLoc.y > kStopBandTop && startLoc.y < kStopBandBottom)
        stopAxn();
}

void TerraboLayer::stopAxn() { commandBoard().spinOn = 0; }

} // namespace terrabo
