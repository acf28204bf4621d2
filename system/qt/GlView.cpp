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
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &GlView::nextFrame);
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (awaitingSwap_) {
            awaitingSwap_ = false;
            scheduleFrame();
        }
    });
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
    kind_ = kind;
    interval_ = std::max<qint64>(1'000'000, std::llround(interval * 1e9));
    pace_.start();
    due_ = 0;
    timer_.start(0);
}

void GlView::stopFrames() {
    running_ = false;
    awaitingSwap_ = false;
    timer_.stop();
}

void GlView::nextFrame() {
    if (!running_)
        return;
    awaitingSwap_ = false;
    const bool painting = frame_ && frame_();
    if (painting && kind_ == 3) {
        // The presented frame schedules the next; should none come (a hidden
        // window paints nothing), the timer goes on after a few intervals.
        awaitingSwap_ = true;
        timer_.start(static_cast<int>(4 * interval_ / 1'000'000));
        return;
    }
    scheduleFrame();
}

void GlView::scheduleFrame() {
    if (!running_)
        return;
    const qint64 now = pace_.nsecsElapsed();
    // Due one interval after the last was due; a late frame moves the beat
    // instead of bringing a burst of frames to catch up.
    due_ = std::max(due_ + interval_, now);
    const qint64 wait = due_ - now;
    timer_.start(static_cast<int>((wait + 999'999) / 1'000'000));
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
