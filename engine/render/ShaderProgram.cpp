#include "engine/render/ShaderProgram.h"

#include "platform/GlApi.h"
#include "platform/Log.h"

namespace terrabo {
namespace {

unsigned compile(const GlApi& gl, const char* program, GLenum type, const char* source) {
    const GLuint shader = gl.CreateShader(type);
    if (!shader) {
        logLine("%s: no shader object", program);
        return 0;
    }
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    GLint ok = GL_FALSE;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok)
        return shader;
    char info[1024] = {};
    gl.GetShaderInfoLog(shader, sizeof info, nullptr, info);
    logLine("%s: the %s shader does not compile: %s", program,
            type == GL_VERTEX_SHADER ? "vertex" : "fragment", info);
    gl.DeleteShader(shader);
    return 0;
}

} // namespace

unsigned buildShaderProgram(const GlApi& gl, const char* name, const char* vertexSource,
                            const char* fragmentSource) {
    const unsigned vs = compile(gl, name, GL_VERTEX_SHADER, vertexSource);
    // One message is enough: a broken vertex stage says why.
    const unsigned fs = vs ? compile(gl, name, GL_FRAGMENT_SHADER, fragmentSource) : 0;
    if (!fs) {
        if (vs)
            gl.DeleteShader(vs);
        return 0;
    }
    const GLuint program = gl.CreateProgram();
    if (program) {
        gl.AttachShader(program, vs);
        gl.AttachShader(program, fs);
        gl.LinkProgram(program);
    }
    // Attached shaders live on with the program; ours are no longer needed.
    gl.DeleteShader(vs);
    gl.DeleteShader(fs);
    if (!program) {
        logLine("%s: no program object", name);
        return 0;
    }
    GLint ok = GL_FALSE;
    gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok)
        return program;
    char info[1024] = {};
    gl.GetProgramInfoLog(program, sizeof info, nullptr, info);
    logLine("%s: the program does not link: %s", name, info);
    gl.DeleteProgram(program);
    return 0;
}

} // namespace terrabo
