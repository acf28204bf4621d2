#include "engine/Director.h"

#include "engine/Layer.h"
#include "engine/render/Renderer.h"
#include "platform/Clock.h"

#include <cstdlib>
#include <sstream>
#include <vector>

namespace terrabo {
namespace {
std::unique_ptr<Director>& instance() {
    static std::unique_ptr<Director> director;
    return director;
}

// Plain pointers, so nodes outliving the shared instance at exit find nothing.
Director* g_shared = nullptr;
Director* g_releasing = nullptr;

std::vector<long> versionParts(const std::string& v) {
    std::vector<long> parts;
    std::stringstream in(v);
    std::string part;
    while (std::getline(in, part, '.'))
        parts.push_back(std::strtol(part.c_str(), nullptr, 10));
    return parts;
}

constexpr double kPausedInterval = 0.25;
} // namespace

int compareVersions(const std::string& a, const std::string& b) {
    const auto pa = versionParts(a), pb = versionParts(b);
    for (std::size_t i = 0; i < std::max(pa.size(), pb.size()); ++i) {
        const long x = i < pa.size() ? pa[i] : 0, y = i < pb.size() ? pb[i] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

Director::Director()
    : scheduler_(std::make_unique<Scheduler>()),
      actions_(std::make_unique<ActionManager>(*scheduler_)) {}

Director::~Director() {
    // Nodes of the scene unregister from this director's scheduler while it still exists.
    Director* outer = g_releasing;
    g_releasing = this;
    next_.reset();
    running_.reset();
    g_releasing = outer;
    if (g_shared == this)
        g_shared = nullptr;
}

Director& Director::shared() {
    if (!instance()) {
        instance().reset(new Director());
        g_shared = instance().get();
    }
    return *instance();
}

void Director::reset() {
    instance().reset(new Director());
    g_shared = instance().get();
}

Director* Director::live() {
    return g_releasing ? g_releasing : g_shared;
}

bool Director::setDirectorType(int kind, const std::string& systemVersion) {
    if (kind < kTimer || kind > kDisplayLink)
        return false;
    if (kind == kDisplayLink && compareVersions(systemVersion, "3.1") < 0)
        return false;
    kind_ = kind;
    return true;
}

void Director::setDeviceOrientation(int orientation) {
    if (orientation >= 1 && orientation <= 4)
        orientation_ = orientation;
}

void Director::setAnimationInterval(double seconds) {
    // While paused the new interval waits for resume, which would otherwise lose it.
    if (paused_) {
        intervalBeforePause_ = seconds;
        return;
    }
    interval_ = seconds;
    if (animating_ && trigger_)
        trigger_->startFrames(interval_, kind_);
}

void Director::pause() {
    if (paused_)
        return;
    intervalBeforePause_ = interval_;
    setAnimationInterval(kPausedInterval);
    paused_ = true;
}

void Director::resume() {
    if (!paused_)
        return;
    paused_ = false;
    setAnimationInterval(intervalBeforePause_);
    // The paused time never shows up in a time step.
    haveLastTime_ = clock_ && clock_->now(lastTime_);
}

void Director::startAnimation() {
    animating_ = true;
    haveLastTime_ = clock_ && clock_->now(lastTime_);
    if (trigger_)
        trigger_->startFrames(interval_, kind_);
}

void Director::stopAnimation() {
    animating_ = false;
    if (trigger_)
        trigger_->stopFrames();
}

void Director::purgeCachedData() {
    images_.purge();
    if (renderer_)
        renderer_->purgeTextureCache();
}

void Director::end() {
    touches_.setEnabled(false);
    touches_.removeAll();
    if (running_) {
        running_->onExit();
        running_->cleanup();
    }
    running_.reset();
    next_.reset();
    stopAnimation();
    purgeCachedData();
    // Fresh ones in place before the old go, so nothing ever finds them missing.
    std::unique_ptr<Scheduler> oldScheduler = std::move(scheduler_);
    std::unique_ptr<ActionManager> oldActions = std::move(actions_);
    scheduler_ = std::make_unique<Scheduler>();
    actions_ = std::make_unique<ActionManager>(*scheduler_);
    oldActions.reset();
    oldScheduler.reset();
    trigger_ = nullptr;
}

void Director::setRenderer(Renderer* r) {
    renderer_ = r;
    if (r)
        r->setPixelSource([](const std::string& fileName, int halvings) -> std::optional<Image> {
            Director* director = Director::live();
            return director ? director->images_.pixels(fileName, halvings) : std::nullopt;
        });
}

void Director::runWithScene(std::shared_ptr<Scene> scene) {
    if (running_ || next_) {
        replaceScene(std::move(scene));
        return;
    }
    next_ = std::move(scene);
    startAnimation();
}

void Director::replaceScene(std::shared_ptr<Scene> scene) {
    next_ = std::move(scene);
}

float Director::computeDelta() {
    double now = 0.0;
    const bool readable = clock_ && clock_->now(now);
    float dt = 0.0f;
    if (nextDeltaZero_) {
        nextDeltaZero_ = false;
    } else if (readable && haveLastTime_) {
        dt = static_cast<float>(now - lastTime_);
        if (dt < 0.0f)
            dt = 0.0f;
    }
    if (readable) {
        lastTime_ = now;
        haveLastTime_ = true;
    }
    return dt;
}

void Director::tickFrame() {
    lastDelta_ = computeDelta();
    if (!paused_)
        scheduler_->tick(lastDelta_);
    if (next_) {
        if (running_) {
            running_->onExit();
            running_->cleanup();
        }
        running_ = std::move(next_);
        actions_->ensureRegistered();
        running_->onEnter();
        noteSceneChange();
    }
    ++frames_;
}

void Director::drawFrame(Renderer* renderer) {
    if (!renderer)
        return;
    renderer->clear(clearColor_);
    if (running_)
        running_->visit(renderer, Mat4::identity());
}

} // namespace terrabo
