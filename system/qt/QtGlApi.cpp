#include "system/qt/QtGlApi.h"

#include <QOpenGLContext>

namespace terrabo {

// Qt's EGL and GLX contexts both resolve core entry points, not only extensions.
#define TERRABO_GL_RESOLVE(name, type)                                                             \
    api.name = reinterpret_cast<type>(context->getProcAddress("gl" #name));

bool loadGlApi(GlApi& api) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        return false;
    TERRABO_GL_ENTRIES(TERRABO_GL_RESOLVE)
    return api.complete();
}

#undef TERRABO_GL_RESOLVE

} // namespace terrabo
