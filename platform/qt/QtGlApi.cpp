#include "platform/qt/QtGlApi.h"

#include <QOpenGLContext>

namespace terrabo {

bool loadGlApi(GlApi& api) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        return false;
    auto resolve = [context](auto& slot, const char* name) {
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(context->getProcAddress(name));
    };
#define TERRABO_GL(name) resolve(api.name, "gl" #name)
    TERRABO_GL(ActiveTexture);
    TERRABO_GL(AttachShader);
    TERRABO_GL(BindAttribLocation);
    TERRABO_GL(BindBuffer);
    TERRABO_GL(BindTexture);
    TERRABO_GL(BlendFunc);
    TERRABO_GL(BufferData);
    TERRABO_GL(Clear);
    TERRABO_GL(ClearColor);
    TERRABO_GL(CompileShader);
    TERRABO_GL(CreateProgram);
    TERRABO_GL(CreateShader);
    TERRABO_GL(CullFace);
    TERRABO_GL(DeleteBuffers);
    TERRABO_GL(DeleteProgram);
    TERRABO_GL(DeleteShader);
    TERRABO_GL(DeleteTextures);
    TERRABO_GL(DepthFunc);
    TERRABO_GL(DepthMask);
    TERRABO_GL(Disable);
    TERRABO_GL(DisableVertexAttribArray);
    TERRABO_GL(DrawElements);
    TERRABO_GL(Enable);
    TERRABO_GL(EnableVertexAttribArray);
    TERRABO_GL(FrontFace);
    TERRABO_GL(GenBuffers);
    TERRABO_GL(GenerateMipmap);
    TERRABO_GL(GenTextures);
    TERRABO_GL(GetProgramInfoLog);
    TERRABO_GL(GetProgramiv);
    TERRABO_GL(GetShaderInfoLog);
    TERRABO_GL(GetShaderiv);
    TERRABO_GL(GetUniformLocation);
    TERRABO_GL(LinkProgram);
    TERRABO_GL(PixelStorei);
    TERRABO_GL(ShaderSource);
    TERRABO_GL(TexImage2D);
    TERRABO_GL(TexParameteri);
    TERRABO_GL(Uniform1f);
    TERRABO_GL(Uniform1i);
    TERRABO_GL(Uniform4fv);
    TERRABO_GL(UniformMatrix3fv);
    TERRABO_GL(UniformMatrix4fv);
    TERRABO_GL(UseProgram);
    TERRABO_GL(VertexAttribPointer);
    TERRABO_GL(Viewport);
#undef TERRABO_GL
    return api.complete();
}

} // namespace terrabo
