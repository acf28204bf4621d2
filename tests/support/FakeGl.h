#pragma once

#include "platform/GlApi.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace terrabo::test {

// A GL function table that keeps books instead of drawing: which objects are
// alive, what was uploaded, what each draw saw. Calls that real GL would
// reject or that would read past a buffer are written to `misuse`.
// The table's plain function pointers reach the newest live instance through
// a global; an inner one stands in for the outer until it goes.
class FakeGl {
  public:
    FakeGl();
    ~FakeGl();
    FakeGl(const FakeGl&) = delete;
    FakeGl& operator=(const FakeGl&) = delete;

    GlApi api;

    // Knobs.
    GLenum failCompileOf = 0; // GL_VERTEX_SHADER or GL_FRAGMENT_SHADER
    bool failLink = false;

    struct Draw {
        bool indexed = false;
        GLenum mode = 0;
        GLsizei count = 0;
        GLuint program = 0;
        GLuint texture = 0;
        GLuint arrayBuffer = 0;
        GLuint elementBuffer = 0;
        bool depthTest = false;
        bool cullFace = false;
        bool blend = false;
    };
    struct BufferUpload {
        GLenum target = 0;
        GLuint buffer = 0;
        GLsizeiptr bytes = 0;
        GLenum usage = 0;
    };

    // Books.
    std::set<GLuint> textures, buffers, programs, shaders; // alive
    std::vector<Draw> draws;
    std::vector<BufferUpload> bufferUploads;
    struct LevelUpload {
        GLuint texture = 0;
        GLint level = 0;
        GLsizei width = 0, height = 0;
    };
    int textureUploads = 0; // level 0 of a texture
    std::vector<LevelUpload> levelUploads;
    int generatedMipmaps = 0;
    std::map<GLuint, std::uintptr_t> attributeOffsets; // by attribute index, last pointed
    std::vector<std::string> misuse;

    int drawsOf(bool indexed) const;

  private:
    friend struct FakeGlCalls;
    FakeGl* outer_;
    GLuint nextId_ = 1;
    std::set<GLenum> enabled_;
    std::map<GLenum, GLuint> boundBuffer_;
    std::map<GLuint, GLsizeiptr> bufferBytes_;
    std::map<GLuint, GLenum> shaderType_;
    GLuint boundTexture_ = 0;
    GLuint program_ = 0;
};

} // namespace terrabo::test
