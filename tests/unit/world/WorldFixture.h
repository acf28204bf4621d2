#pragma once

#include "engine/Director.h"
#include "engine3d/WorldLayer.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/Resources.h"
#include "world/CommandBoard.h"
#include "world/TerraboWorld.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace terrabo {

// Collects log lines for the length of a test.
class LogCapture {
public:
    LogCapture() {
        setLogToStderr(false);
        setLogSink([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() {
        setLogSink({});
        setLogToStderr(true);
    }
    std::vector<std::string> lines;
};

// A resource folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("terrabo-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// The world as the app runs it: a playing world inside a layer whose update is
// scheduled before the scene starts, driven frame by frame at 1/60 s. The
// model file is absent, so the test gives the world a globe of its own.
class WorldFrames : public testing::Test {
protected:
    static constexpr double kFrame = 1.0 / 60.0;

    void SetUp() override {
        commandBoard() = CommandBoard{};
        Director::reset();
        Director::shared().setClock(&clock);
        setResourceDir(resources.path());
        world = World::create<TerraboWorld>();
        auto globeNode = std::make_shared<Node3D>("Globe");
        add3DChild(*world, globeNode);
        world->globe = globeNode.get();
        layer = std::make_shared<WorldLayer>();
        layer->setWorld(world);
        world->play();
        layer->scheduleUpdate(0);
        controller.runSceneOnNode(layer);
        frame(); // puts the layer on stage; the world's first update is in the next frame
        log.lines.clear();
    }
    void TearDown() override {
        Director::reset();
        commandBoard() = CommandBoard{};
    }

    void frame() {
        clock.advance(kFrame);
        Director::shared().mainLoop(nullptr);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i)
            frame();
    }
    float camZ() const { return world->cam->location().z; }
    void setCamZ(float z) { world->cam->setLocation({0, 0, z}); }
    Vec3 globeRotation() const { return world->globe->rotation(); }
    int runningTurns() const { return world->globe->runningActionCount(); }

    LogCapture log;
    TempDir resources;
    ManualClock clock;
    ViewController controller;
    std::shared_ptr<TerraboWorld> world;
    std::shared_ptr<WorldLayer> layer;
};

} // namespace terrabo
