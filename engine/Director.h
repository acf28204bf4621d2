#pragma once

#include "engine/ActionManager.h"
#include "engine/ImageCache.h"
#include "engine/Node.h"
#include "engine/Scheduler.h"
#include "engine/TouchDispatcher.h"
#include "engine/math/Vec.h"

#include <memory>
#include <string>

namespace terrabo {

class Clock;
class Renderer;
class Scene;
class TextRasterizer;

// What starts and stops the frames: the platform's vsync or timer.
class FrameTrigger {
  public:
    virtual ~FrameTrigger() = default;
    virtual void startFrames(double interval, int kind) = 0;
    virtual void stopFrames() = 0;
};

// Owns the frame loop, the running scene, the scheduler, the action runner and
// touch delivery. One shared instance; tests start a fresh one with reset().
class Director {
  public:
    enum Kind { kTimer = 0, kMainLoop = 1, kThreadMainLoop = 2, kDisplayLink = 3 };

    static Director& shared();
    static void reset();
    // The director nodes unregister from when they go: the one releasing its
    // scene, else the shared one; null once none is left. Never creates one.
    static Director* live();
    ~Director();
    Director(const Director&) = delete;
    Director& operator=(const Director&) = delete;

    // False when the kind is not available on this system version.
    bool setDirectorType(int kind, const std::string& systemVersion);
    int kind() const { return kind_; }

    void setClock(Clock* clock) { clock_ = clock; }
    void setFrameTrigger(FrameTrigger* trigger) { trigger_ = trigger; }
    FrameTrigger* frameTrigger() const { return trigger_; }

    int deviceOrientation() const { return orientation_; }
    void setDeviceOrientation(int orientation);
    double animationInterval() const { return interval_; }
    void setAnimationInterval(double seconds);
    bool displayFPS() const { return displayFPS_; }
    void setDisplayFPS(bool on) { displayFPS_ = on; }
    int defaultPixelFormat() const { return pixelFormat_; }
    void setDefaultPixelFormat(int format) { pixelFormat_ = format; }

    // Screen in points, and device pixels per point.
    Size winSize() const { return winSize_; }
    void setWinSize(Size s) { winSize_ = s; }
    float contentScale() const { return contentScale_; }
    void setContentScale(float s) { contentScale_ = s; }
    // View convention (y down) to engine convention (y up), portrait.
    Vec2 convertToGL(Vec2 viewPoint) const { return {viewPoint.x, winSize_.height - viewPoint.y}; }

    void pause();
    void resume();
    bool isPaused() const { return paused_; }
    void startAnimation();
    void stopAnimation();
    bool isAnimating() const { return animating_; }
    void setNextDeltaTimeZero(bool zero) { nextDeltaZero_ = zero; }
    void purgeCachedData();
    void end();

    void runWithScene(std::shared_ptr<Scene> scene);
    void replaceScene(std::shared_ptr<Scene> scene);
    Scene* runningScene() const { return running_.get(); }

    // One frame: time step, tick unless paused, scene switch, draw.
    void mainLoop(Renderer* renderer) {
        tickFrame();
        drawFrame(renderer);
    }
    // The frame's two halves, for triggers that draw only when something changed.
    void tickFrame();
    void drawFrame(Renderer* renderer);
    float lastDelta() const { return lastDelta_; }
    long long frameCount() const { return frames_; }

    Scheduler& scheduler() { return *scheduler_; }
    ActionManager& actionManager() { return *actions_; }
    TouchDispatcher& touchDispatcher() { return touches_; }
    ImageCache& imageCache() { return images_; }
    void setTextRasterizer(TextRasterizer* r) { rasterizer_ = r; }
    TextRasterizer* textRasterizer() const { return rasterizer_; }
    void setRenderer(Renderer* r);
    Renderer* renderer() const { return renderer_; }
    Color4F clearColor() const { return clearColor_; }
    void setClearColor(Color4F c) {
        clearColor_ = c;
        noteSceneChange();
    }

    void deliverTouches(TouchPhase phase, const TouchSet& touches) {
        touches_.dispatch(phase, touches);
    }

  private:
    Director();
    float computeDelta();

    int kind_ = kTimer;
    Clock* clock_ = nullptr;
    FrameTrigger* trigger_ = nullptr;
    int orientation_ = 1;
    double interval_ = 1.0 / 60.0;
    double intervalBeforePause_ = 1.0 / 60.0;
    bool displayFPS_ = false;
    int pixelFormat_ = 1;
    Size winSize_{320, 480};
    float contentScale_ = 1.0f;
    bool paused_ = false;
    bool animating_ = false;
    bool nextDeltaZero_ = false;
    bool haveLastTime_ = false;
    double lastTime_ = 0.0;
    float lastDelta_ = 0.0f;
    long long frames_ = 0;
    std::unique_ptr<Scheduler> scheduler_;
    std::unique_ptr<ActionManager> actions_;
    TouchDispatcher touches_;
    ImageCache images_;
    TextRasterizer* rasterizer_ = nullptr;
    Renderer* renderer_ = nullptr;
    Color4F clearColor_{0, 0, 0, 0};
    std::shared_ptr<Scene> running_;
    std::shared_ptr<Scene> next_;
};

// "3.1" against "3.0.9": numbers compared part by part, missing parts as 0.
int compareVersions(const std::string& a, const std::string& b);

} // namespace terrabo
