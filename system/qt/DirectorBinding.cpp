#include "system/qt/DirectorBinding.h"

#include "engine/render/Renderer.h"
#include "platform/Log.h"
#include "system/qt/QtGlApi.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>

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
    // In scripted runs the window system's repaints only show the last frame.
    view_->setPaintHandler([this](int w, int h, float r) {
        if (!manual_)
            paint(w, h, r);
    });
    view_->setTouchHandler([this](TouchPhaseQt p, Vec2 at, int taps, int id) { touch(p, at, taps, id); });
    // Start-up benchmark: report the first presented frame and leave.
    if (std::getenv("TERRABO_EXIT_AFTER_FIRST_FRAME"))
        QObject::connect(view_, &QOpenGLWidget::frameSwapped, view_, [] {
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

void DirectorBinding::paint(int pixelWidth, int pixelHeight, float ratio) {
    if (!renderer_ && !glFailed_) {
        if (loadGlApi(gl_)) {
            renderer_ = std::make_unique<Renderer>(gl_);
            director_.setRenderer(renderer_.get());
        } else {
            glFailed_ = true;
            logLine("OpenGL ES 3.0 is not available; nothing will be drawn");
        }
    }
    director_.setContentScale(ratio);
    if (renderer_)
        renderer_->beginFrame(pixelWidth, pixelHeight, director_.winSize());
    director_.mainLoop(renderer_.get());
}

void DirectorBinding::renderFrame() {
    // Paints into the widget's framebuffer without going through the window system.
    if (!view_)
        return;
    view_->makeCurrent();
    const qreal ratio = view_->devicePixelRatioF();
    paint(static_cast<int>(view_->width() * ratio), static_cast<int>(view_->height() * ratio),
          static_cast<float>(ratio));
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
