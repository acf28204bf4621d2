// The world's per-frame reaction to the command board.
#include "engine3d/Camera.h"
#include "engine3d/RotateBy.h"
#include "platform/Log.h"
#include "world/CommandBoard.h"
#include "world/GlobeTurn.h"
#include "world/TerraboWorld.h"

namespace terrabo {
namespace {

constexpr Vec3 kHomeCamera{0.0f, 0.0f, 5.0f};
constexpr Vec3 kHomeGlobeRotation{0.0f, 180.0f, 0.0f};
constexpr float kNearLimit = -3.0f;
constexpr float kZoomStep = 0.5f;
constexpr double kAutoZoomStep = 0.2;
constexpr int kAutoZoomStepLimit = 40;
constexpr float kBaseSpin = 0.5f;
constexpr double kSpinIncrement = 0.3;
constexpr float kTurnSeconds = 1.0f;

} // namespace

void TerraboWorld::update(float) {
    CommandBoard& board = commandBoard();

    if (board.zoomInPending) {
        if (cam) {
            const float z = cam->location().z;
            if (z > kNearLimit)
                cam->setLocation({0.0f, 0.0f, z - kZoomStep});
        }
        board.zoomInPending = 0;
    }

    if (board.zoomOutPending) {
        if (cam) {
            const float z = cam->location().z;
            cam->setLocation({0.0f, 0.0f, z + kZoomStep});
        }
        board.zoomOutPending = 0;
    }

    // One swipe a frame; a leftward one waits while a rightward one is pending.
    if (board.swipeRightPending) {
        if (swipeL) {
            xFactor = kBaseSpin;
            swipeL = false;
        } else {
            xFactor = static_cast<float>(static_cast<double>(xFactor) + kSpinIncrement);
        }
        board.swipeRightPending = 0;
        swipeR = true;
    } else if (board.swipeLeftPending) {
        if (swipeR) {
            xFactor = -kBaseSpin;
            swipeR = false;
        } else {
            xFactor = static_cast<float>(static_cast<double>(xFactor) - kSpinIncrement);
        }
        board.swipeLeftPending = 0;
        swipeL = true;
    }

    if (board.spinOn && globe) {
        const Vec3 r = globe->rotation();
        globe->setRotation({r.x, r.y + xFactor, r.z});
    }

    if (board.turnPending) {
        // Western targets are kept on the board as lon + 360 and -lat; the
        // place itself is the one asked for.
        const double latitude = board.targetLat, longitude = board.targetLon;
        if (board.targetLon < 0.0f) {
            board.targetLon = board.targetLon + 360.0f;
            board.targetLat = -board.targetLat;
        }
        if (cam)
            cam->setLocation(kHomeCamera);
        if (globe) {
            globe->setRotation(kHomeGlobeRotation);
            // Ends with the place facing the camera, north up; the Y angle
            // only ever decreases, by less than a full turn.
            const Vec3 end = facingRotation(latitude, longitude);
            const Vec3 by{end.x - kHomeGlobeRotation.x, end.y - kHomeGlobeRotation.y,
                          end.z - kHomeGlobeRotation.z};
            globe->runAction(std::make_shared<RotateBy>(kTurnSeconds, by));
        }
        board.turnPending = 0;
    }

    if (board.autoZoomPending && board.autoZoomSteps < kAutoZoomStepLimit)
        zoomingAxn();

    if (board.viewResetPending) {
        if (cam)
            cam->setLocation(kHomeCamera);
        if (globe)
            globe->setRotation(kHomeGlobeRotation);
        board.viewResetPending = 0;
    }

    if (board.camResetPending) {
        if (cam)
            cam->setLocation(kHomeCamera);
        board.camResetPending = 0;
    }
}

void TerraboWorld::zoomingAxn() {
    if (!cam)
        return;
    CommandBoard& board = commandBoard();
    const float z = cam->location().z;
    if (z > kNearLimit) {
        cam->setLocation({0.0f, 0.0f, static_cast<float>(static_cast<double>(z) - kAutoZoomStep)});
        board.autoZoomSteps += 1;
    } else {
        logLine("i     %d", board.autoZoomSteps);
        board.autoZoomPending = 0;
    }
}

} // namespace terrabo
