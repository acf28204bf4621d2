#pragma once

// Types and constants only: every GL call goes through the table below, so a
// fake can stand in and nothing links against a GL library directly.
#define GL_GLES_PROTOTYPES 0
#include <GLES3/gl3.h>

// The GL ES 3.0 entry points the renderer uses, as (name without "gl", pointer type).
// One list, so the table and whatever fills it cannot drift apart.
#define TERRABO_GL_ENTRIES(X)                                                                      \
    X(ActiveTexture, PFNGLACTIVETEXTUREPROC)                                                       \
    X(AttachShader, PFNGLATTACHSHADERPROC)                                                         \
    X(BindBuffer, PFNGLBINDBUFFERPROC)                                                             \
    X(BindTexture, PFNGLBINDTEXTUREPROC)                                                           \
    X(BlendFunc, PFNGLBLENDFUNCPROC)                                                               \
    X(BufferData, PFNGLBUFFERDATAPROC)                                                             \
    X(Clear, PFNGLCLEARPROC)                                                                       \
    X(ClearColor, PFNGLCLEARCOLORPROC)                                                             \
    X(CompileShader, PFNGLCOMPILESHADERPROC)                                                       \
    X(CreateProgram, PFNGLCREATEPROGRAMPROC)                                                       \
    X(CreateShader, PFNGLCREATESHADERPROC)                                                         \
    X(CullFace, PFNGLCULLFACEPROC)                                                                 \
    X(DeleteBuffers, PFNGLDELETEBUFFERSPROC)                                                       \
    X(DeleteProgram, PFNGLDELETEPROGRAMPROC)                                                       \
    X(DeleteShader, PFNGLDELETESHADERPROC)                                                         \
    X(DeleteTextures, PFNGLDELETETEXTURESPROC)                                                     \
    X(DepthFunc, PFNGLDEPTHFUNCPROC)                                                               \
    X(DepthMask, PFNGLDEPTHMASKPROC)                                                               \
    X(Disable, PFNGLDISABLEPROC)                                                                   \
    X(DisableVertexAttribArray, PFNGLDISABLEVERTEXATTRIBARRAYPROC)                                 \
    X(DrawArrays, PFNGLDRAWARRAYSPROC)                                                             \
    X(DrawElements, PFNGLDRAWELEMENTSPROC)                                                         \
    X(Enable, PFNGLENABLEPROC)                                                                     \
    X(EnableVertexAttribArray, PFNGLENABLEVERTEXATTRIBARRAYPROC)                                   \
    X(FrontFace, PFNGLFRONTFACEPROC)                                                               \
    X(GenBuffers, PFNGLGENBUFFERSPROC)                                                             \
    X(GenerateMipmap, PFNGLGENERATEMIPMAPPROC)                                                     \
    X(GenTextures, PFNGLGENTEXTURESPROC)                                                           \
    X(GetProgramInfoLog, PFNGLGETPROGRAMINFOLOGPROC)                                               \
    X(GetProgramiv, PFNGLGETPROGRAMIVPROC)                                                         \
    X(GetShaderInfoLog, PFNGLGETSHADERINFOLOGPROC)                                                 \
    X(GetShaderiv, PFNGLGETSHADERIVPROC)                                                           \
    X(GetUniformLocation, PFNGLGETUNIFORMLOCATIONPROC)                                             \
    X(LinkProgram, PFNGLLINKPROGRAMPROC)                                                           \
    X(PixelStorei, PFNGLPIXELSTOREIPROC)                                                           \
    X(ShaderSource, PFNGLSHADERSOURCEPROC)                                                         \
    X(TexImage2D, PFNGLTEXIMAGE2DPROC)                                                             \
    X(TexParameteri, PFNGLTEXPARAMETERIPROC)                                                       \
    X(Uniform1f, PFNGLUNIFORM1FPROC)                                                               \
    X(Uniform1i, PFNGLUNIFORM1IPROC)                                                               \
    X(Uniform2f, PFNGLUNIFORM2FPROC)                                                               \
    X(Uniform4fv, PFNGLUNIFORM4FVPROC)                                                             \
    X(UniformMatrix3fv, PFNGLUNIFORMMATRIX3FVPROC)                                                 \
    X(UniformMatrix4fv, PFNGLUNIFORMMATRIX4FVPROC)                                                 \
    X(UseProgram, PFNGLUSEPROGRAMPROC)                                                             \
    X(VertexAttribPointer, PFNGLVERTEXATTRIBPOINTERPROC)                                           \
    X(Viewport, PFNGLVIEWPORTPROC)

namespace terrabo {

struct GlApi {
#define TERRABO_GL_SLOT(name, type) type name = nullptr;
    TERRABO_GL_ENTRIES(TERRABO_GL_SLOT)
#undef TERRABO_GL_SLOT

    // True when every entry is filled.
    bool complete() const;
};

} // namespace terrabo
