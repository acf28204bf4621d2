#include "system/qt/DirectorBinding.h"

#include "engine/render/Renderer.h"
#include "platform/Log.h"
#include "system/qt/QtGlApi.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <utility>

namespace terrabo {
namespace {

// Milliseconds since the process was started, from the kernel's own records.
double millisecondsSinceExec() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) {
    }
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    return (uptime - std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

} // namespace

DirectorBinding::DirectorBinding(GlView& view, Director& director) : view_(&view), director_(director) {
    director_.setFrameTrigger(this);
    director_.setTextRasterizer(&text_);
    // Live frames tick at the trigger and draw here, once something changed;
    // in scripted runs the window system's repaints only show the last frame.
    view_->setFrameHandler([this] { return frame(); });
    view_->setPaintHandler([this](int w, int h, float r) {
        if (!manual_)
            paint(w, h, r, false);
    });
    // A new context (the view moved to another window) starts with no GL
    // objects: the renderer goes with the old one and pictures are made again.
    auto watchContext = [this] {
        QOpenGLContext* context = view_ ? view_->context() : nullptr;
        if (!context || context == watchedContext_)
            return;
        watchedContext_ = context;
        QObject::connect(context, &QOpenGLContext::aboutToBeDestroyed, view_, [this] { dropRenderer(); });
    };
    view_->setInitHandler(watchContext);
    watchContext();
    view_->setTouchHandler([this](TouchPhaseQt p, Vec2 at, int taps, int id) { touch(p, at, taps, id); });
    // Start-up benchmark: report the first presented frame and leave.
    if (std::getenv("TERRABO_EXIT_AFTER_FIRST_FRAME"))
        QObject::connect(view_, &QOpenGLWidget::frameSwapped, view_, [] {
            static bool reported = false;
            if (!std::exchange(reported, true))
                std::fprintf(stderr, "first frame presented %.0f ms after exec\n", millisecondsSinceExec());
            QCoreApplication::exit(0);
        });
}

DirectorBinding::~DirectorBinding() {
    if (director_.frameTrigger() == this)
        director_.setFrameTrigger(nullptr);
    if (director_.renderer() == renderer_.get())
        director_.setRenderer(nullptr);
    if (director_.textRasterizer() == &text_)
        director_.setTextRasterizer(nullptr);
    if (!view_) {
        // The GL context went with the view; its objects went with it.
        (void)renderer_.release();
        return;
    }
    view_->setPaintHandler({});
    view_->setFrameHandler({});
    view_->setInitHandler({});
    view_->setTouchHandler({});
    if (renderer_ && view_->context()) {
        view_->makeCurrent();
        renderer_.reset();
        view_->doneCurrent();
    }
}

void DirectorBinding::startFrames(double interval, int kind) {
    if (!manual_ && view_)
        view_->startFrames(interval, kind);
}

void DirectorBinding::stopFrames() {
    if (view_)
        view_->stopFrames();
}

bool DirectorBinding::ensureRenderer() {
    if (!renderer_ && !glFailed_) {
        if (loadGlApi(gl_)) {
            renderer_ = std::make_unique<Renderer>(gl_);
            director_.setRenderer(renderer_.get());
        } else {
            glFailed_ = true;
            logLine("OpenGL ES 3.0 is not available; nothing will be drawn");
        }
    }
    return renderer_ != nullptr;
}

void DirectorBinding::dropRenderer() {
    if (!renderer_ || !view_)
        return;
    view_->makeCurrent();
    if (director_.renderer() == renderer_.get())
        director_.setRenderer(nullptr);
    renderer_.reset();
    view_->doneCurrent();
    drawnRevision_ = ~std::uint64_t{0};
}

bool DirectorBinding::frame() {
    if (manual_ || !view_)
        return false;
    director_.tickFrame();
    if (sceneRevision() == drawnRevision_)
        return false;
    view_->update();
    return true;
}

void DirectorBinding::paint(int pixelWidth, int pixelHeight, float ratio, bool tick) {
    ensureRenderer();
    director_.setContentScale(ratio);
    if (renderer_)
        renderer_->beginFrame(pixelWidth, pixelHeight, director_.winSize());
    // A paint the window system asks for before the trigger's first tick
    // shows the first frame, not an empty stage.
    if (tick || director_.frameCount() == 0)
        director_.tickFrame();
    drawnRevision_ = sceneRevision();
    director_.drawFrame(renderer_.get());
}

void DirectorBinding::renderFrame() {
    // Paints into the widget's framebuffer without going through the window system.
    if (!view_)
        return;
    view_->makeCurrent();
    const qreal ratio = view_->devicePixelRatioF();
    paint(static_cast<int>(view_->width() * ratio), static_cast<int>(view_->height() * ratio),
          static_cast<float>(ratio), true);
    // Scripted runs and benchmarks count a frame as done once it is drawn,
    // not once it is queued for the rasteriser's threads.
    if (QOpenGLContext* context = view_->context())
        context->functions()->glFinish();
    view_->doneCurrent();
}

void DirectorBinding::touch(TouchPhaseQt phase, Vec2 point, int taps, int id) {
    Touch t;
    t.id = id;
    t.location = point;
    t.tapCount = taps;
    auto it = lastPoint_.find(id);
    t.previousLocation = it != lastPoint_.end() ? it->second : point;
    lastPoint_[id] = point;
    TouchPhase engine = TouchPhase::Began;
    switch (phase) {
    case TouchPhaseQt::Began: engine = TouchPhase::Began; break;
    case TouchPhaseQt::Moved: engine = TouchPhase::Moved; break;
    case TouchPhaseQt::Ended: engine = TouchPhase::Ended; break;
    case TouchPhaseQt::Cancelled: engine = TouchPhase::Cancelled; break;
    }
    if (phase == TouchPhaseQt::Ended || phase == TouchPhaseQt::Cancelled)
        lastPoint_.erase(id);
    director_.deliverTouches(engine, {t});
}

} // namespace terrabo
