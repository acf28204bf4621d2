#include "GlContext.h"

#include "system/qt/QtGlApi.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>

#include <cstdlib>

namespace terrabo::test {

struct GlContext::Parts {
    QOpenGLContext context;
    QOffscreenSurface surface;
    std::unique_ptr<QOpenGLFramebufferObject> fbo;
};

namespace {

QGuiApplication* application() {
    static int argc = 1;
    static char name[] = "gl_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return app;
}

} // namespace

std::unique_ptr<GlContext> GlContext::create(int pixelWidth, int pixelHeight, std::string& why) {
    // Without a display Qt would abort instead of failing.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        why = "no display; run under xvfb-run";
        return nullptr;
    }
    application();
    std::unique_ptr<GlContext> gl(new GlContext);
    gl->parts_ = std::make_unique<Parts>();
    Parts& p = *gl->parts_;

    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGLES);
    format.setVersion(3, 0);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(16);
    p.context.setFormat(format);
    if (!p.context.create() || !p.context.isOpenGLES() || p.context.format().majorVersion() < 3) {
        why = "no OpenGL ES 3.0 context";
        return nullptr;
    }
    p.surface.setFormat(p.context.format());
    p.surface.create();
    if (!p.context.makeCurrent(&p.surface)) {
        why = "the context cannot be made current";
        return nullptr;
    }

    QOpenGLFramebufferObjectFormat fboFormat;
    fboFormat.setAttachment(QOpenGLFramebufferObject::Depth);
    p.fbo = std::make_unique<QOpenGLFramebufferObject>(pixelWidth, pixelHeight, fboFormat);
    if (!p.fbo->isValid() || !p.fbo->bind()) {
        why = "no framebuffer object";
        return nullptr;
    }
    if (!loadGlApi(gl->api_)) {
        why = "the GL function table is incomplete";
        return nullptr;
    }
    gl->renderer_ = std::make_unique<Renderer>(gl->api_);
    return gl;
}

GlContext::~GlContext() {
    if (!parts_)
        return;
    parts_->context.makeCurrent(&parts_->surface);
    renderer_.reset();
    parts_->fbo.reset();
    parts_->context.doneCurrent();
}

QImage GlContext::frame() {
    return parts_->fbo->toImage().convertToFormat(QImage::Format_RGBA8888);
}

std::string GlContext::errors() {
    std::string out;
    QOpenGLFunctions* f = parts_->context.functions();
    for (GLenum e = f->glGetError(); e != GL_NO_ERROR; e = f->glGetError())
        out += QString::asprintf("0x%04x ", e).toStdString();
    return out;
}

} // namespace terrabo::test
