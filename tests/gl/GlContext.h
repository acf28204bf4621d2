#pragma once

#include "engine/render/Renderer.h"
#include "platform/GlApi.h"

#include <QColor>
#include <QImage>

#include <memory>
#include <string>

namespace terrabo::test {

// A GL ES 3.0 context with a 16-bit depth buffer, rendering off screen into a
// framebuffer of the given size in device pixels, and a renderer on it.
class GlContext {
  public:
    // Null, with `why` filled, when there is no display or no GL ES 3.0.
    static std::unique_ptr<GlContext> create(int pixelWidth, int pixelHeight, std::string& why);
    ~GlContext();

    Renderer& renderer() { return *renderer_; }
    // The frame as drawn; row 0 at the top.
    QImage frame();
    // Errors GL raised since the last call, as text; empty when none.
    std::string errors();

  private:
    GlContext() = default;
    struct Parts;
    std::unique_ptr<Parts> parts_;
    GlApi api_;
    std::unique_ptr<Renderer> renderer_;
};

} // namespace terrabo::test
