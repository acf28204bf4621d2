#pragma once

#include "engine/Director.h"
#include "platform/GlApi.h"
#include "system/qt/GlView.h"
#include "system/qt/QtImageLoader.h"

#include <QOpenGLContext>
#include <QPointer>

#include <map>
#include <memory>

namespace terrabo {

class Renderer;

// Joins the GL view and the director: the view's frames run the director's
// main loop, its touches reach the engine, and the director starts and stops
// the view's frame trigger.
class DirectorBinding final : public FrameTrigger {
public:
    DirectorBinding(GlView& view, Director& director);
    ~DirectorBinding() override;

    void startFrames(double interval, int kind) override;
    void stopFrames() override;

    // Scripted runs drive frames themselves and keep the trigger quiet.
    void setManualFrames(bool manual) { manual_ = manual; }
    // Renders one frame now into the view's framebuffer.
    void renderFrame();

    Renderer* renderer() const { return renderer_.get(); }

private:
    bool frame();
    void paint(int pixelWidth, int pixelHeight, float ratio, bool tick);
    bool ensureRenderer();
    void dropRenderer();
    void touch(TouchPhaseQt phase, Vec2 point, int taps, int id);

    QPointer<GlView> view_;
    Director& director_;
    GlApi gl_;
    std::unique_ptr<Renderer> renderer_;
    QPointer<QOpenGLContext> watchedContext_;
    bool glFailed_ = false;
    bool manual_ = false;
    // The scene as last drawn; a frame after which it is the same is not drawn.
    std::uint64_t drawnRevision_ = ~std::uint64_t{0};
    QtTextRasterizer text_;
    std::map<int, Vec2> lastPoint_;
};

} // namespace terrabo
