#pragma once

// Types and constants only: every GL call goes through the table below, so a
// fake can stand in and nothing links against a GL library directly.
#define GL_GLES_PROTOTYPES 0
#include <GLES3/gl3.h>

namespace terrabo {

// The GL ES 3.0 entry points the renderer uses.
struct GlApi {
    PFNGLACTIVETEXTUREPROC ActiveTexture = nullptr;
    PFNGLATTACHSHADERPROC AttachShader = nullptr;
    PFNGLBINDATTRIBLOCATIONPROC BindAttribLocation = nullptr;
    PFNGLBINDBUFFERPROC BindBuffer = nullptr;
    PFNGLBINDTEXTUREPROC BindTexture = nullptr;
    PFNGLBLENDFUNCPROC BlendFunc = nullptr;
    PFNGLBUFFERDATAPROC BufferData = nullptr;
    PFNGLCLEARPROC Clear = nullptr;
    PFNGLCLEARCOLORPROC ClearColor = nullptr;
    PFNGLCOMPILESHADERPROC CompileShader = nullptr;
    PFNGLCREATEPROGRAMPROC CreateProgram = nullptr;
    PFNGLCREATESHADERPROC CreateShader = nullptr;
    PFNGLCULLFACEPROC CullFace = nullptr;
    PFNGLDELETEBUFFERSPROC DeleteBuffers = nullptr;
    PFNGLDELETEPROGRAMPROC DeleteProgram = nullptr;
    PFNGLDELETESHADERPROC DeleteShader = nullptr;
    PFNGLDELETETEXTURESPROC DeleteTextures = nullptr;
    PFNGLDEPTHFUNCPROC DepthFunc = nullptr;
    PFNGLDEPTHMASKPROC DepthMask = nullptr;
    PFNGLDISABLEPROC Disable = nullptr;
    PFNGLDISABLEVERTEXATTRIBARRAYPROC DisableVertexAttribArray = nullptr;
    PFNGLDRAWELEMENTSPROC DrawElements = nullptr;
    PFNGLENABLEPROC Enable = nullptr;
    PFNGLENABLEVERTEXATTRIBARRAYPROC EnableVertexAttribArray = nullptr;
    PFNGLFRONTFACEPROC FrontFace = nullptr;
    PFNGLGENBUFFERSPROC GenBuffers = nullptr;
    PFNGLGENERATEMIPMAPPROC GenerateMipmap = nullptr;
    PFNGLGENTEXTURESPROC GenTextures = nullptr;
    PFNGLGETPROGRAMINFOLOGPROC GetProgramInfoLog = nullptr;
    PFNGLGETPROGRAMIVPROC GetProgramiv = nullptr;
    PFNGLGETSHADERINFOLOGPROC GetShaderInfoLog = nullptr;
    PFNGLGETSHADERIVPROC GetShaderiv = nullptr;
    PFNGLGETUNIFORMLOCATIONPROC GetUniformLocation = nullptr;
    PFNGLLINKPROGRAMPROC LinkProgram = nullptr;
    PFNGLPIXELSTOREIPROC PixelStorei = nullptr;
    PFNGLSHADERSOURCEPROC ShaderSource = nullptr;
    PFNGLTEXIMAGE2DPROC TexImage2D = nullptr;
    PFNGLTEXPARAMETERIPROC TexParameteri = nullptr;
    PFNGLUNIFORM1FPROC Uniform1f = nullptr;
    PFNGLUNIFORM1IPROC Uniform1i = nullptr;
    PFNGLUNIFORM4FVPROC Uniform4fv = nullptr;
    PFNGLUNIFORMMATRIX3FVPROC UniformMatrix3fv = nullptr;
    PFNGLUNIFORMMATRIX4FVPROC UniformMatrix4fv = nullptr;
    PFNGLUSEPROGRAMPROC UseProgram = nullptr;
    PFNGLVERTEXATTRIBPOINTERPROC VertexAttribPointer = nullptr;
    PFNGLVIEWPORTPROC Viewport = nullptr;

    // True when every entry is filled.
    bool complete() const;
};

} // namespace terrabo
