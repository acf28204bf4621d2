#include "system/qt/GlView.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTouchEvent>

#include <cmath>

namespace terrabo {

GlView::GlView(QWidget* parent) : QOpenGLWidget(parent) {
    setFormat(surfaceFormat());
    setAttribute(Qt::WA_AcceptTouchEvents);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

GlView::~GlView() = default;

QSurfaceFormat GlView::surfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGLES);
    format.setVersion(3, 0);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(16);
    return format;
}

void GlView::startFrames(double interval, int kind) {
    stopFrames();
    running_ = true;
    if (kind == 3) {
        vsync_ = connect(this, &QOpenGLWidget::frameSwapped, this, qOverload<>(&QWidget::update));
        update();
    } else {
        timer_.start(std::max(1, static_cast<int>(std::lround(interval * 1000.0))));
    }
}

void GlView::stopFrames() {
    running_ = false;
    timer_.stop();
    if (vsync_)
        disconnect(vsync_);
    vsync_ = {};
}

void GlView::initializeGL() {
    glReady_ = true;
    if (init_)
        init_();
}

void GlView::paintGL() {
    if (!paint_)
        return;
    const qreal ratio = devicePixelRatioF();
    paint_(static_cast<int>(std::lround(width() * ratio)),
           static_cast<int>(std::lround(height() * ratio)), static_cast<float>(ratio));
}

void GlView::deliverTouch(TouchPhaseQt phase, Vec2 point, int tapCount, int id) {
    if (touch_)
        touch_(phase, point, tapCount, id);
}

int GlView::countTap(QPointF where) {
    const auto* hints = QGuiApplication::styleHints();
    const QPointF delta = where - lastTapPoint_;
    const bool quick = lastTapClock_.isValid() &&
                       lastTapClock_.elapsed() <= hints->mouseDoubleClickInterval();
    const bool near = std::hypot(delta.x(), delta.y()) <= hints->mouseDoubleClickDistance();
    tapCount_ = (quick && near) ? tapCount_ + 1 : 1;
    lastTapClock_.start();
    lastTapPoint_ = where;
    return tapCount_;
}

static Vec2 toPoint(QPointF p) { return {static_cast<float>(p.x()), static_cast<float>(p.y())}; }

bool GlView::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel: {
        auto* touch = static_cast<QTouchEvent*>(e);
        for (const QEventPoint& p : touch->points()) {
            const Vec2 where = toPoint(p.position());
            const int id = p.id();
            if (e->type() == QEvent::TouchCancel) {
                deliverTouch(TouchPhaseQt::Cancelled, where, 1, id);
                continue;
            }
            switch (p.state()) {
            case QEventPoint::Pressed:
                deliverTouch(TouchPhaseQt::Began, where, countTap(p.position()), id);
                break;
            case QEventPoint::Updated:
                deliverTouch(TouchPhaseQt::Moved, where, tapCount_, id);
                break;
            case QEventPoint::Released:
                deliverTouch(TouchPhaseQt::Ended, where, tapCount_, id);
                break;
            default:
                break;
            }
        }
        // Accepting the touch stops Qt from synthesising mouse events for it.
        e->accept();
        return true;
    }
    default:
        return QOpenGLWidget::event(e);
    }
}

// Mouse events that Qt synthesised from a touch were already delivered as touches.
static bool synthesised(const QMouseEvent* e) {
    return e->source() != Qt::MouseEventNotSynthesized;
}

void GlView::mousePressEvent(QMouseEvent* e) {
    if (synthesised(e) || e->button() != Qt::LeftButton)
        return;
    mouseDown_ = true;
    deliverTouch(TouchPhaseQt::Began, toPoint(e->position()), countTap(e->position()), -1);
}

void GlView::mouseMoveEvent(QMouseEvent* e) {
    if (synthesised(e) || !mouseDown_)
        return;
    deliverTouch(TouchPhaseQt::Moved, toPoint(e->position()), tapCount_, -1);
}

void GlView::mouseReleaseEvent(QMouseEvent* e) {
    if (synthesised(e) || e->button() != Qt::LeftButton || !mouseDown_)
        return;
    mouseDown_ = false;
    deliverTouch(TouchPhaseQt::Ended, toPoint(e->position()), tapCount_, -1);
}

} // namespace terrabo
