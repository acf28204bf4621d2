#pragma once

#include "engine/math/Vec.h"
#include "platform/View.h"

#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <QPointF>
#include <QTimer>

#include <functional>

namespace terrabo {

enum class TouchPhaseQt { Began, Moved, Ended, Cancelled };

// The rendering view: a GL ES 3.0 widget (32-bit RGBA, 16-bit depth) that turns
// fingers and the mouse into touches and paints whenever its frame trigger asks.
class GlView final : public QOpenGLWidget {
    Q_OBJECT
public:
    using PaintHandler = std::function<void(int pixelWidth, int pixelHeight, float pixelRatio)>;
    using InitHandler = std::function<void()>;
    // One tick of the frame trigger; true when it asked for a paint.
    using FrameHandler = std::function<bool()>;
    // One touch of one phase, in the view's convention (points, origin top left).
    using TouchHandler = std::function<void(TouchPhaseQt, Vec2 point, int tapCount, int id)>;

    explicit GlView(QWidget* parent = nullptr);
    ~GlView() override;

    static QSurfaceFormat surfaceFormat();

    void setPaintHandler(PaintHandler h) { paint_ = std::move(h); }
    void setInitHandler(InitHandler h) { init_ = std::move(h); }
    void setFrameHandler(FrameHandler h) { frame_ = std::move(h); }
    void setTouchHandler(TouchHandler h) { touch_ = std::move(h); }

    // The path every touch takes into the engine, real or scripted.
    void deliverTouch(TouchPhaseQt phase, Vec2 point, int tapCount, int id = 0);

    // Frame trigger: kind 3 follows presented frames (vsync), kind 0 a precise
    // timer. Neither comes sooner than the interval after the last, as
    // presenting does not block everywhere (no vsync under X without a GPU).
    void startFrames(double interval, int kind);
    void stopFrames();
    bool framesRunning() const { return running_; }

    bool glReady() const { return glReady_; }

protected:
    void initializeGL() override;
    void paintGL() override;
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int countTap(QPointF where);
    void nextFrame();
    void scheduleFrame();

    PaintHandler paint_;
    InitHandler init_;
    FrameHandler frame_;
    TouchHandler touch_;
    QTimer timer_;
    QElapsedTimer pace_;
    qint64 due_ = 0; // nanoseconds on pace_ at which the next frame is due
    qint64 interval_ = 0;
    int kind_ = 0;
    bool awaitingSwap_ = false;
    bool running_ = false;
    bool glReady_ = false;
    bool mouseDown_ = false;
    // Tap counting: taps in quick succession at one place.
    QElapsedTimer lastTapClock_;
    QPointF lastTapPoint_;
    int tapCount_ = 0;
};

} // namespace terrabo
