#include "FakeGl.h"

#include <algorithm>
#include <cstring>

namespace terrabo::test {
namespace {
FakeGl* current = nullptr;
}

// The table's entries, as captureless lambdas reaching the one live fake.
struct FakeGlCalls {
    static FakeGl& gl() { return *current; }

    static void complain(std::string what) { gl().misuse.push_back(std::move(what)); }

    static void fill(GlApi& api) {
        api.ActiveTexture = [](GLenum) {};
        api.AttachShader = [](GLuint program, GLuint shader) {
            if (!gl().programs.count(program) || !gl().shaders.count(shader))
                complain("attach of an unknown program or shader");
        };
        api.BindBuffer = [](GLenum target, GLuint buffer) {
            if (buffer && !gl().buffers.count(buffer))
                complain("bind of a deleted buffer");
            gl().boundBuffer_[target] = buffer;
        };
        api.BindTexture = [](GLenum, GLuint texture) {
            if (texture && !gl().textures.count(texture))
                complain("bind of a deleted texture");
            gl().boundTexture_ = texture;
        };
        api.BlendFunc = [](GLenum, GLenum) {};
        api.BufferData = [](GLenum target, GLsizeiptr bytes, const void* data, GLenum usage) {
            const GLuint buffer = gl().boundBuffer_[target];
            if (!buffer)
                complain("buffer data with no buffer bound");
            if (bytes > 0 && !data)
                complain("buffer data from nowhere");
            gl().bufferBytes_[buffer] = bytes;
            gl().bufferUploads.push_back({target, buffer, bytes, usage});
        };
        api.Clear = [](GLbitfield) {};
        api.ClearColor = [](GLfloat, GLfloat, GLfloat, GLfloat) {};
        api.CompileShader = [](GLuint) {};
        api.CreateProgram = []() -> GLuint {
            const GLuint id = gl().nextId_++;
            gl().programs.insert(id);
            return id;
        };
        api.CreateShader = [](GLenum type) -> GLuint {
            const GLuint id = gl().nextId_++;
            gl().shaders.insert(id);
            gl().shaderType_[id] = type;
            return id;
        };
        api.CullFace = [](GLenum) {};
        api.DeleteBuffers = [](GLsizei n, const GLuint* ids) {
            for (GLsizei i = 0; i < n; ++i)
                if (ids[i] && !gl().buffers.erase(ids[i]))
                    complain("delete of an unknown buffer");
        };
        api.DeleteProgram = [](GLuint id) {
            if (id && !gl().programs.erase(id))
                complain("delete of an unknown program");
        };
        api.DeleteShader = [](GLuint id) {
            if (id && !gl().shaders.erase(id))
                complain("delete of an unknown shader");
        };
        api.DeleteTextures = [](GLsizei n, const GLuint* ids) {
            for (GLsizei i = 0; i < n; ++i)
                if (ids[i] && !gl().textures.erase(ids[i]))
                    complain("delete of an unknown texture");
        };
        api.DepthFunc = [](GLenum) {};
        api.DepthMask = [](GLboolean) {};
        api.Disable = [](GLenum cap) { gl().enabled_.erase(cap); };
        api.DisableVertexAttribArray = [](GLuint) {};
        api.DrawArrays = [](GLenum mode, GLint, GLsizei count) { record(false, mode, count); };
        api.DrawElements = [](GLenum mode, GLsizei count, GLenum type, const void* offset) {
            const GLuint buffer = gl().boundBuffer_[GL_ELEMENT_ARRAY_BUFFER];
            if (type != GL_UNSIGNED_SHORT)
                complain("indices not 16-bit");
            if (!buffer) {
                complain("indices from client memory");
            } else {
                const auto end = reinterpret_cast<std::uintptr_t>(offset) + std::size_t(count) * 2;
                if (end > std::size_t(gl().bufferBytes_[buffer]))
                    complain("indices past the end of their buffer");
            }
            record(true, mode, count);
        };
        api.Enable = [](GLenum cap) { gl().enabled_.insert(cap); };
        api.EnableVertexAttribArray = [](GLuint) {};
        api.FrontFace = [](GLenum) {};
        api.GenBuffers = [](GLsizei n, GLuint* ids) {
            for (GLsizei i = 0; i < n; ++i)
                gl().buffers.insert(ids[i] = gl().nextId_++);
        };
        api.GenerateMipmap = [](GLenum) {
            if (!gl().boundTexture_)
                complain("mipmaps with no texture bound");
            ++gl().generatedMipmaps;
        };
        api.GenTextures = [](GLsizei n, GLuint* ids) {
            for (GLsizei i = 0; i < n; ++i)
                gl().textures.insert(ids[i] = gl().nextId_++);
        };
        api.GetProgramInfoLog = [](GLuint, GLsizei size, GLsizei*, GLchar* log) {
            copyInfo("link failed", size, log);
        };
        api.GetProgramiv = [](GLuint, GLenum, GLint* value) {
            *value = gl().failLink ? GL_FALSE : GL_TRUE;
        };
        api.GetShaderInfoLog = [](GLuint, GLsizei size, GLsizei*, GLchar* log) {
            copyInfo("syntax error", size, log);
        };
        api.GetShaderiv = [](GLuint shader, GLenum, GLint* value) {
            const GLenum failing = gl().failCompileOf;
            *value = failing && gl().shaderType_[shader] == failing ? GL_FALSE : GL_TRUE;
        };
        api.GetUniformLocation = [](GLuint program, const GLchar*) -> GLint {
            if (!gl().programs.count(program))
                complain("uniform of an unknown program");
            return 0;
        };
        api.LinkProgram = [](GLuint) {};
        api.PixelStorei = [](GLenum, GLint) {};
        api.ShaderSource = [](GLuint, GLsizei, const GLchar* const*, const GLint*) {};
        api.TexImage2D = [](GLenum, GLint level, GLint, GLsizei width, GLsizei height, GLint,
                            GLenum, GLenum, const void*) {
            if (!gl().boundTexture_)
                complain("pixels with no texture bound");
            if (level == 0)
                ++gl().textureUploads;
            gl().levelUploads.push_back({gl().boundTexture_, level, width, height});
        };
        api.TexParameteri = [](GLenum, GLenum, GLint) {};
        api.Uniform1f = [](GLint, GLfloat) {};
        api.Uniform1i = [](GLint, GLint) {};
        api.Uniform2f = [](GLint, GLfloat, GLfloat) {};
        api.Uniform4fv = [](GLint, GLsizei, const GLfloat*) {};
        api.UniformMatrix3fv = [](GLint, GLsizei, GLboolean, const GLfloat*) {};
        api.UniformMatrix4fv = [](GLint, GLsizei, GLboolean, const GLfloat*) {};
        api.UseProgram = [](GLuint program) {
            if (program && !gl().programs.count(program))
                complain("use of an unknown program");
            gl().program_ = program;
        };
        api.VertexAttribPointer = [](GLuint index, GLint, GLenum, GLboolean, GLsizei,
                                     const void* offset) {
            if (!gl().boundBuffer_[GL_ARRAY_BUFFER])
                complain("vertices from client memory");
            gl().attributeOffsets[index] = reinterpret_cast<std::uintptr_t>(offset);
        };
        api.Viewport = [](GLint, GLint, GLsizei, GLsizei) {};
    }

    static void copyInfo(const char* text, GLsizei size, GLchar* log) {
        if (size > 0) {
            std::strncpy(log, text, std::size_t(size) - 1);
            log[size - 1] = '\0';
        }
    }

    static void record(bool indexed, GLenum mode, GLsizei count) {
        FakeGl& g = gl();
        if (!g.program_)
            complain("draw with no program");
        g.draws.push_back({indexed, mode, count, g.program_, g.boundTexture_,
                           g.boundBuffer_[GL_ARRAY_BUFFER], g.boundBuffer_[GL_ELEMENT_ARRAY_BUFFER],
                           g.enabled_.count(GL_DEPTH_TEST) > 0, g.enabled_.count(GL_CULL_FACE) > 0,
                           g.enabled_.count(GL_BLEND) > 0});
    }
};

FakeGl::FakeGl() : outer_(current) {
    current = this;
    FakeGlCalls::fill(api);
}

FakeGl::~FakeGl() {
    if (current == this)
        current = outer_;
}

int FakeGl::drawsOf(bool indexed) const {
    return static_cast<int>(std::count_if(
        draws.begin(), draws.end(), [indexed](const Draw& d) { return d.indexed == indexed; }));
}

} // namespace terrabo::test
