#include "WorldFixture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace terrabo {
namespace {

using FrameUpdate = WorldFrames;

constexpr double kDegree = std::numbers::pi / 180;

TEST_F(FrameUpdate, ZoomStepsStopAtTheNearLimit) {
    // Each string is one frame's requests: i zoom in, o zoom out.
    struct Case {
        const char* what;
        float startZ;
        std::vector<std::string> frames;
        float expectedZ;
    };
    const Case cases[] = {
        {"sixteen steps land on the limit", 5.0f, std::vector<std::string>(16, "i"), -3.0f},
        {"at the limit zoom-in is dropped", -3.0f, {"i"}, -3.0f},
        {"a zoom-out after the limit", -3.0f, {"i", "o", "i"}, -3.0f},
        {"zoom-out from the limit", -3.0f, {"i", "o"}, -2.5f},
        {"just behind the limit steps past it", -2.9f, {"i", "i"}, -3.4f},
        {"in front of the limit", -3.1f, {"i"}, -3.1f},
        {"raised twice in one frame", 5.0f, {"ii"}, 4.5f},
        {"zoom-out has no limit", 5.0f, std::vector<std::string>(200, "o"), 105.0f},
        {"in and out in one frame", 2.0f, {"io"}, 2.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setCamZ(c.startZ);
        for (const std::string& requests : c.frames) {
            for (char r : requests)
                (r == 'i' ? commandBoard().zoomInPending : commandBoard().zoomOutPending) = 1;
            frame();
            EXPECT_EQ(commandBoard().zoomInPending, 0);
            EXPECT_EQ(commandBoard().zoomOutPending, 0);
        }
        EXPECT_FLOAT_EQ(camZ(), c.expectedZ);
        EXPECT_EQ(world->cam->location().x, 0.0f);
        EXPECT_EQ(world->cam->location().y, 0.0f);
    }
}

TEST_F(FrameUpdate, SixteenZoomStepsLandExactlyOnTheLimit) {
    for (int i = 0; i < 16; ++i) {
        commandBoard().zoomInPending = 1;
        frame();
    }
    EXPECT_EQ(camZ(), -3.0f);
}

TEST_F(FrameUpdate, FortyAutoZoomStepsEndExactlyAtTheLimitWithoutALogLine) {
    commandBoard().autoZoomPending = 1;
    frames(40);
    EXPECT_EQ(camZ(), -3.0f);
    EXPECT_EQ(commandBoard().autoZoomSteps, 40);
    EXPECT_EQ(commandBoard().autoZoomPending, 1);
    frames(5);
    EXPECT_EQ(camZ(), -3.0f) << "the step limit holds the camera";
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(FrameUpdate, AutoZoomTakesOneStepPerFrame) {
    commandBoard().autoZoomPending = 1;
    frame();
    EXPECT_FLOAT_EQ(camZ(), 4.8f);
    frame();
    EXPECT_FLOAT_EQ(camZ(), 4.6f);
    EXPECT_EQ(commandBoard().autoZoomSteps, 2);
}

TEST_F(FrameUpdate, AutoZoomMixedWithZoomInStepsStopsInFrontOfTheLimitAndLogs) {
    // k zoom-in steps first, then the auto-zoom as the timer keeps raising it.
    for (int k = 0; k <= 17; ++k) {
        SCOPED_TRACE(testing::Message() << k << " zoom-in steps");
        commandBoard() = CommandBoard{};
        setCamZ(5.0f);
        log.lines.clear();
        for (int i = 0; i < k; ++i) {
            commandBoard().zoomInPending = 1;
            frame();
        }
        int framesRun = 0;
        commandBoard().autoZoomPending = 1;
        while (commandBoard().autoZoomPending && commandBoard().autoZoomSteps < 40 && framesRun < 100) {
            frame();
            ++framesRun;
        }
        const int steps = commandBoard().autoZoomSteps;
        EXPECT_LE(camZ(), -3.0f + 1e-5f);
        if (k == 0) {
            EXPECT_EQ(steps, 40);
            EXPECT_EQ(commandBoard().autoZoomPending, 1);
            EXPECT_TRUE(log.lines.empty());
            continue;
        }
        EXPECT_GT(camZ(), -3.5f - 1e-5f) << "at most one step in front of the limit";
        EXPECT_LT(steps, 40);
        EXPECT_EQ(commandBoard().autoZoomPending, 0);
        EXPECT_EQ(log.lines, std::vector<std::string>{"i     " + std::to_string(steps)});

        // Every later raise logs again and moves nothing.
        const float stoppedAt = camZ();
        commandBoard().autoZoomPending = 1;
        frame();
        EXPECT_EQ(camZ(), stoppedAt);
        EXPECT_EQ(log.lines.size(), 2u);
        EXPECT_EQ(commandBoard().autoZoomPending, 0);
    }
}

TEST_F(FrameUpdate, NearLimitBranchLogsTheStepCount) {
    setCamZ(-3.1f);
    commandBoard().autoZoomSteps = 38;
    commandBoard().autoZoomPending = 1;
    frame();
    EXPECT_EQ(log.lines, std::vector<std::string>{"i     38"});
    EXPECT_EQ(commandBoard().autoZoomPending, 0);
    EXPECT_EQ(camZ(), -3.1f);
}

TEST_F(FrameUpdate, CameraResetDoesNotRestartAFinishedAutoZoomButAnUnfinishedOneStepsAgain) {
    setCamZ(-3.1f);
    commandBoard().autoZoomSteps = 38;
    commandBoard().autoZoomPending = 1;
    frame(); // stops at the limit
    commandBoard().camResetPending = 1;
    frame();
    EXPECT_EQ(camZ(), 5.0f);
    EXPECT_EQ(commandBoard().camResetPending, 0);
    frames(3);
    EXPECT_EQ(camZ(), 5.0f) << "nothing raised the auto-zoom";
    commandBoard().autoZoomPending = 1;
    frames(5);
    EXPECT_FLOAT_EQ(camZ(), 4.6f) << "two steps left to the fortieth";
    EXPECT_EQ(commandBoard().autoZoomSteps, 40);
}

struct SpinState {
    bool swipeR, swipeL;
    float xFactor;
};

TEST_F(FrameUpdate, SwipesChangeTheSpinRateByState) {
    struct Case {
        SpinState before;
        char swipe;
        SpinState after;
    };
    const Case cases[] = {
        {{false, false, 0.5f}, 'R', {true, false, 0.8f}},
        {{false, false, 0.5f}, 'L', {false, true, 0.2f}},
        {{true, false, 0.8f}, 'R', {true, false, 1.1f}},
        {{true, false, 1.1f}, 'L', {false, true, -0.5f}},
        {{false, true, 0.2f}, 'L', {false, true, -0.1f}},
        {{false, true, -0.5f}, 'R', {true, false, 0.5f}},
        {{false, true, -0.8f}, 'L', {false, true, -1.1f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.before.swipeR << c.before.swipeL << " " << c.before.xFactor
                                        << " " << c.swipe);
        world->swipeR = c.before.swipeR;
        world->swipeL = c.before.swipeL;
        world->xFactor = c.before.xFactor;
        (c.swipe == 'R' ? commandBoard().swipeRightPending : commandBoard().swipeLeftPending) = 1;
        frame();
        EXPECT_EQ(world->swipeR, c.after.swipeR);
        EXPECT_EQ(world->swipeL, c.after.swipeL);
        EXPECT_FLOAT_EQ(world->xFactor, c.after.xFactor);
        EXPECT_EQ(commandBoard().swipeRightPending, 0);
        EXPECT_EQ(commandBoard().swipeLeftPending, 0);
    }
}

TEST_F(FrameUpdate, LeftwardSwipesFromTheStartSlowThenReverseTheSpin) {
    const float expected[] = {0.2f, -0.1f, -0.4f};
    for (float x : expected) {
        commandBoard().swipeLeftPending = 1;
        frame();
        EXPECT_FLOAT_EQ(world->xFactor, x);
    }
}

TEST_F(FrameUpdate, OneSwipePerFrameTheRightwardFirst) {
    commandBoard().swipeRightPending = 1;
    commandBoard().swipeLeftPending = 1;
    frame();
    EXPECT_FLOAT_EQ(world->xFactor, 0.8f);
    EXPECT_EQ(commandBoard().swipeLeftPending, 1) << "waits for a frame without a rightward one";
    frame();
    EXPECT_FLOAT_EQ(world->xFactor, -0.5f);
    EXPECT_EQ(commandBoard().swipeLeftPending, 0);
    EXPECT_TRUE(world->swipeL);
}

TEST_F(FrameUpdate, SpinAddsTheRateToTheYAngleWithoutWrapping) {
    world->globe->setRotation({10, 350, -5});
    commandBoard().spinOn = 1;
    frames(40);
    EXPECT_FLOAT_EQ(globeRotation().y, 370.0f);
    EXPECT_EQ(globeRotation().x, 10.0f);
    EXPECT_EQ(globeRotation().z, -5.0f);
    commandBoard().spinOn = 0;
    frames(10);
    EXPECT_FLOAT_EQ(globeRotation().y, 370.0f);
}

TEST_F(FrameUpdate, TurnsRewriteWesternTargetsAndEndOnTheTarget) {
    struct Case {
        float lon, lat;
        float boardLon, boardLat;
        Vec3 end;
    };
    // At 90 degrees east or west and on the equator the end is exact.
    const Case cases[] = {
        {-90, 45, 270, -45, {0, -90, -45}},
        {90, 45, 90, 45, {0, 90, 45}},
        {0, 30, 0, 30, {-30, 180, 0}},
        {10, 0, 10, 0, {0, 170, 0}},
        {-10, 20, 350, -20, {-19.6835f, -169.3724f, -3.6164f}},
        {180, -20, 180, -20, {-20, 0, 0}},
        {-180, 10, 180, -10, {10, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "lon " << c.lon << " lat " << c.lat);
        setCamZ(-1.0f);
        world->globe->setRotation({3, 4, 5});
        commandBoard().targetLon = c.lon;
        commandBoard().targetLat = c.lat;
        commandBoard().turnPending = 1;
        frame();
        EXPECT_EQ(commandBoard().turnPending, 0);
        EXPECT_EQ(commandBoard().targetLon, c.boardLon);
        EXPECT_EQ(commandBoard().targetLat, c.boardLat);
        EXPECT_EQ(camZ(), 5.0f);
        EXPECT_EQ(globeRotation(), (Vec3{0, 180, 0})) << "the turn's first step is at its start";
        frames(30);
        EXPECT_NEAR(globeRotation().y, (180 + c.end.y) / 2, 0.5f) << "linear in the angles";
        EXPECT_NEAR(globeRotation().x, c.end.x / 2, 0.5f);
        frames(30);
        EXPECT_NEAR(globeRotation().x, c.end.x, 1e-3f) << "after one second of frames";
        EXPECT_NEAR(globeRotation().y, c.end.y, 1e-3f);
        EXPECT_NEAR(globeRotation().z, c.end.z, 1e-3f);
        if (c.lat == 0 || std::abs(c.lon) == 90) {
            EXPECT_EQ(globeRotation(), c.end);
        }
        EXPECT_EQ(runningTurns(), 0);
    }
}

// Where the model's mapping puts a place: longitude 0 on -Z, east toward -X,
// north on +Y.
Vec3 modelPoint(double lat, double lon) {
    const double p = lat * kDegree, l = lon * kDegree;
    return {static_cast<float>(-std::cos(p) * std::sin(l)), static_cast<float>(std::sin(p)),
            static_cast<float>(-std::cos(p) * std::cos(l))};
}

double arcDegrees(Vec3 a, Vec3 b) {
    const double d = double{a.x} * b.x + double{a.y} * b.y + double{a.z} * b.z;
    const double na = std::sqrt(double{a.x} * a.x + double{a.y} * a.y + double{a.z} * a.z);
    const double nb = std::sqrt(double{b.x} * b.x + double{b.y} * b.y + double{b.z} * b.z);
    return std::acos(std::clamp(d / (na * nb), -1.0, 1.0)) / kDegree;
}

TEST_F(FrameUpdate, TurnBringsThePlaceToTheViewCentreNorthUp) {
    struct Case {
        const char* what;
        double lat, lon;
    };
    const Case cases[] = {
        {"Paris", 48.8566, 2.3522},
        {"Reykjavik", 64.1466, -21.9426},
        {"Sydney", -33.8688, 151.2093},
        {"Tokyo", 35.6762, 139.6503},
        {"Anchorage", 61.2181, -149.9003},
        {"Cape Town", -33.9249, 18.4241},
        {"Quito", -0.1807, -78.4678},
        {"Greenwich", 51.4779, 0},
        {"just west of Greenwich", 51.4779, -0.0005},
        {"south on the prime meridian", -40, 0},
        {"east of the date line", -17.7134, 178.065},
        {"west of the date line", 51.88, -176.658},
        {"on the date line", 65, 180},
        {"near the north pole", 89.5, 45},
        {"near the south pole", -89.5, -120},
        {"45 N 90 W", 45, -90},
        {"southern, far west", -54.8, -68.3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        commandBoard().targetLat = static_cast<float>(c.lat);
        commandBoard().targetLon = static_cast<float>(c.lon);
        commandBoard().turnPending = 1;
        frames(61);
        ASSERT_EQ(runningTurns(), 0);
        EXPECT_LE(180 - globeRotation().y, 360) << "the Y angle went down by less than a turn";
        EXPECT_GE(180 - globeRotation().y, 0);

        // The camera looks down -Z from +Z: the point nearest it is the one
        // the globe's transform turns onto +Z.
        const Mat4 globe = world->globe->worldTransform();
        const Vec3 seen = globe.transformDirection(modelPoint(c.lat, c.lon));
        EXPECT_LT(arcDegrees(seen, {0, 0, 1}), 0.1) << "off the view's centre";
        const Vec3 north = globe.transformDirection({0, 1, 0});
        EXPECT_GT(north.y, 0) << "north points down";
        EXPECT_LT(std::abs(std::atan2(north.x, north.y)) / kDegree, 0.1) << "north leans";
    }
}

TEST_F(FrameUpdate, SecondTurnStartsFromHomeAndDecidesUntilItEnds) {
    commandBoard().targetLon = 90;
    commandBoard().targetLat = 0;
    commandBoard().turnPending = 1;
    frame();
    frames(30);
    commandBoard().targetLon = 40;
    commandBoard().targetLat = 10;
    commandBoard().turnPending = 1;
    frame();
    EXPECT_EQ(globeRotation(), (Vec3{0, 180, 0}));
    // The first turn ends in these frames, unseen.
    const Vec3 end{-7.64427f, 139.567539f, 6.466354f};
    for (int i = 1; i <= 59; ++i) {
        frame();
        const float t = static_cast<float>(i) / 60.0f;
        EXPECT_NEAR(globeRotation().x, end.x * t, 0.01f) << "frame " << i;
        EXPECT_NEAR(globeRotation().y, 180 + (end.y - 180) * t, 0.01f) << "frame " << i;
        EXPECT_NEAR(globeRotation().z, end.z * t, 0.01f) << "frame " << i;
    }
    frame();
    EXPECT_NEAR(globeRotation().x, end.x, 1e-4f);
    EXPECT_NEAR(globeRotation().y, end.y, 1e-4f);
    EXPECT_NEAR(globeRotation().z, end.z, 1e-4f);
    EXPECT_EQ(runningTurns(), 0);
}

TEST_F(FrameUpdate, ViewResetDuringATurnLeavesTheTurnInCharge) {
    commandBoard().targetLon = 90;
    commandBoard().targetLat = 45;
    commandBoard().turnPending = 1;
    frame();
    frames(20);
    commandBoard().zoomInPending = 1;
    frame();
    ASSERT_EQ(camZ(), 4.5f);
    const Vec3 before = globeRotation();
    commandBoard().viewResetPending = 1;
    frame();
    EXPECT_EQ(commandBoard().viewResetPending, 0);
    EXPECT_EQ(camZ(), 5.0f);
    EXPECT_NE(globeRotation(), (Vec3{0, 180, 0}));
    EXPECT_LT(globeRotation().y, before.y) << "the turn goes on";
    frames(38);
    EXPECT_EQ(globeRotation(), (Vec3{0, 90, 45}));
    EXPECT_EQ(runningTurns(), 0);
    commandBoard().spinOn = 1;
    frame();
    EXPECT_EQ(globeRotation(), (Vec3{0, 90.5f, 45})) << "the spin goes on from the turn's end";
}

TEST_F(FrameUpdate, RunningTurnOverwritesTheSpinWhichContinuesFromItsEnd) {
    commandBoard().spinOn = 1;
    commandBoard().targetLon = -90;
    commandBoard().targetLat = 45;
    commandBoard().turnPending = 1;
    frame();
    EXPECT_EQ(globeRotation(), (Vec3{0, 180, 0}));
    for (int i = 1; i <= 59; ++i) {
        frame();
        EXPECT_NEAR(globeRotation().y, 180 - 270 * static_cast<float>(i) / 60.0f, 0.05f) << "frame " << i;
    }
    frame();
    EXPECT_EQ(globeRotation(), (Vec3{0, -90, -45}));
    frame();
    EXPECT_EQ(globeRotation(), (Vec3{0, -89.5f, -45}));
}

TEST_F(FrameUpdate, TurnThenAutoZoomAsAFoundPlaceRunsThem) {
    commandBoard().targetLon = 77.6f;
    commandBoard().targetLat = 12.97f;
    commandBoard().autoZoomSteps = 0;
    commandBoard().turnPending = 1;
    setCamZ(-3.0f);
    frame();
    EXPECT_EQ(camZ(), 5.0f);
    commandBoard().autoZoomPending = 1;
    frames(60);
    EXPECT_NEAR(globeRotation().x, -2.7625f, 1e-3f);
    EXPECT_NEAR(globeRotation().y, 102.0931f, 1e-3f);
    EXPECT_NEAR(globeRotation().z, 12.6773f, 1e-3f);
    frames(5);
    EXPECT_EQ(camZ(), -3.0f);
    EXPECT_EQ(commandBoard().autoZoomPending, 1);
    EXPECT_TRUE(log.lines.empty());
}

TEST_F(FrameUpdate, ViewResetPutsCameraAndGlobeHome) {
    setCamZ(-2.0f);
    world->globe->setRotation({1, 2, 3});
    world->xFactor = 1.4f;
    commandBoard().viewResetPending = 1;
    frame();
    EXPECT_EQ(camZ(), 5.0f);
    EXPECT_EQ(globeRotation(), (Vec3{0, 180, 0}));
    EXPECT_EQ(world->xFactor, 1.4f) << "the reset leaves the spin rate";
}

TEST_F(FrameUpdate, NothingHappensWhileTheWorldIsNotPlaying) {
    world->pause();
    commandBoard().zoomInPending = 1;
    commandBoard().spinOn = 1;
    frames(3);
    EXPECT_EQ(camZ(), 5.0f);
    EXPECT_EQ(commandBoard().zoomInPending, 1);
}

TEST_F(FrameUpdate, PausedDirectorHoldsSpinTurnAndAutoZoom) {
    commandBoard().spinOn = 1;
    commandBoard().targetLon = 90;
    commandBoard().targetLat = 0;
    commandBoard().turnPending = 1;
    frame();
    frames(30);
    const Vec3 at = globeRotation();
    Director::shared().pause();
    commandBoard().autoZoomPending = 1;
    for (int i = 0; i < 8; ++i) {
        clock.advance(0.25);
        Director::shared().mainLoop(nullptr);
    }
    EXPECT_EQ(globeRotation(), at);
    EXPECT_EQ(camZ(), 5.0f);
    Director::shared().resume();
    frames(30);
    EXPECT_EQ(globeRotation(), (Vec3{0, 90, 0})) << "the turn continues where it stood";
}

} // namespace
} // namespace terrabo
