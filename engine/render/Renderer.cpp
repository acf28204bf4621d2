#include "engine/render/Renderer.h"

#include "engine/render/Shaders.h"
#include "platform/GlApi.h"
#include "platform/Log.h"

#include <algorithm>
#include <string>

namespace terrabo {
namespace {

unsigned compile(const GlApi& gl, GLenum type, const char* source) {
    const GLuint shader = gl.CreateShader(type);
    gl.ShaderSource(shader, 1, &source, nullptr);
    gl.CompileShader(shader);
    GLint ok = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char info[1024] = {};
        gl.GetShaderInfoLog(shader, sizeof info, nullptr, info);
        logLine("shader does not compile: %s", info);
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

unsigned link(const GlApi& gl, const char* vertex, const char* fragment) {
    const unsigned vs = compile(gl, GL_VERTEX_SHADER, vertex);
    const unsigned fs = compile(gl, GL_FRAGMENT_SHADER, fragment);
    if (!vs || !fs)
        return 0;
    const GLuint program = gl.CreateProgram();
    gl.AttachShader(program, vs);
    gl.AttachShader(program, fs);
    gl.LinkProgram(program);
    gl.DeleteShader(vs);
    gl.DeleteShader(fs);
    GLint ok = 0;
    gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char info[1024] = {};
        gl.GetProgramInfoLog(program, sizeof info, nullptr, info);
        logLine("shader program does not link: %s", info);
        gl.DeleteProgram(program);
        return 0;
    }
    return program;
}

// Premultiplied alpha keeps filtered edges free of dark fringes.
std::vector<std::uint8_t> premultiplied(const Image& image) {
    std::vector<std::uint8_t> out(image.rgba.size());
    for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        const unsigned a = image.rgba[i + 3];
        for (int c = 0; c < 3; ++c)
            out[i + c] = static_cast<std::uint8_t>((image.rgba[i + c] * a + 127) / 255);
        out[i + 3] = static_cast<std::uint8_t>(a);
    }
    return out;
}

void setColor(const GlApi& gl, int location, Color4F c) {
    const float v[4] = {c.r, c.g, c.b, c.a};
    gl.Uniform4fv(location, 1, v);
}

} // namespace

int Renderer::Program::uniform(const GlApi& gl, const char* name) {
    auto it = uniforms.find(name);
    if (it != uniforms.end())
        return it->second;
    const int location = gl.GetUniformLocation(id, name);
    uniforms.emplace(name, location);
    return location;
}

Renderer::Renderer(const GlApi& gl) : gl_(gl) { ready_ = buildPrograms(); }

Renderer::~Renderer() {
    purgeTextureCache();
    if (!meshBuffers_.empty())
        gl_.DeleteBuffers(static_cast<GLsizei>(meshBuffers_.size()), meshBuffers_.data());
    if (sprite_.id)
        gl_.DeleteProgram(sprite_.id);
    if (mesh_.id)
        gl_.DeleteProgram(mesh_.id);
}

bool Renderer::buildPrograms() {
    sprite_.id = link(gl_, shaders::kSpriteVertex, shaders::kSpriteFragment);
    mesh_.id = link(gl_, shaders::kMeshVertex, shaders::kMeshFragment);
    return sprite_.id && mesh_.id;
}

void Renderer::beginFrame(int pixelWidth, int pixelHeight, Size screenPoints) {
    drawCalls_ = 0;
    screen_ = screenPoints;
    gl_.Viewport(0, 0, pixelWidth, pixelHeight);
    projection2D_ = Mat4::orthographic(0, screenPoints.width, 0, screenPoints.height, -1024, 1024);
}

void Renderer::clear(Color4F color) {
    gl_.ClearColor(color.r, color.g, color.b, color.a);
    gl_.DepthMask(GL_TRUE);
    gl_.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

unsigned Renderer::textureFor(const Picture& picture) {
    auto it = textures_.find(picture.key);
    if (it != textures_.end()) {
        if (it->second.source.lock() == picture.image)
            return it->second.id;
        gl_.DeleteTextures(1, &it->second.id);
        textures_.erase(it);
    }
    const Image& image = *picture.image;
    GLuint id = 0;
    gl_.GenTextures(1, &id);
    gl_.BindTexture(GL_TEXTURE_2D, id);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const auto pixels = premultiplied(image);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, pixels.data());
    gl_.GenerateMipmap(GL_TEXTURE_2D);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    textures_[picture.key] = Texture{id, picture.image};
    return id;
}

void Renderer::purgeTextureCache() {
    for (auto& [key, texture] : textures_)
        gl_.DeleteTextures(1, &texture.id);
    textures_.clear();
}

void Renderer::drawPicture(const Picture& picture, const Mat4& transform, Size size, Color3B color,
                           std::uint8_t opacity, bool flipX, bool flipY) {
    if (!ready_ || !picture)
        return;
    const unsigned texture = textureFor(picture);
    const float u0 = flipX ? 1.0f : 0.0f, u1 = flipX ? 0.0f : 1.0f;
    // Image rows run top to bottom; the quad's top edge takes v = 0.
    const float vTop = flipY ? 1.0f : 0.0f, vBottom = flipY ? 0.0f : 1.0f;
    const float w = size.width, h = size.height;
    const float quad[] = {0, 0, u0, vBottom, w, 0, u1, vBottom, w, h, u1, vTop, 0, h, u0, vTop};
    static const GLushort indices[] = {0, 1, 2, 0, 2, 3};

    gl_.Disable(GL_DEPTH_TEST);
    gl_.Disable(GL_CULL_FACE);
    gl_.Enable(GL_BLEND);
    gl_.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    gl_.UseProgram(sprite_.id);
    const Mat4 mvp = projection2D_ * transform;
    gl_.UniformMatrix4fv(sprite_.uniform(gl_, "uMvp"), 1, GL_FALSE, mvp.data());
    const float a = opacity / 255.0f;
    setColor(gl_, sprite_.uniform(gl_, "uTint"),
             {color.r / 255.0f * a, color.g / 255.0f * a, color.b / 255.0f * a, a});
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindTexture(GL_TEXTURE_2D, texture);
    gl_.Uniform1i(sprite_.uniform(gl_, "uTexture"), 0);
    gl_.BindBuffer(GL_ARRAY_BUFFER, 0);
    gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gl_.EnableVertexAttribArray(0);
    gl_.EnableVertexAttribArray(1);
    gl_.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), quad);
    gl_.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(float), quad + 2);
    gl_.DrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, indices);
    gl_.DisableVertexAttribArray(0);
    gl_.DisableVertexAttribArray(1);
    ++drawCalls_;
}

void Renderer::begin3D(const Mat4& projection, const Mat4& view, const SceneLighting& lighting) {
    projection3D_ = projection;
    view3D_ = view;
    if (!ready_)
        return;
    gl_.Enable(GL_DEPTH_TEST);
    gl_.DepthFunc(GL_LEQUAL);
    gl_.DepthMask(GL_TRUE);
    gl_.Enable(GL_CULL_FACE);
    gl_.CullFace(GL_BACK);
    gl_.FrontFace(GL_CCW);
    gl_.Disable(GL_BLEND);
    gl_.UseProgram(mesh_.id);
    gl_.UniformMatrix4fv(mesh_.uniform(gl_, "uProjection"), 1, GL_FALSE, projection.data());
    setColor(gl_, mesh_.uniform(gl_, "uWorldAmbient"), lighting.worldAmbient);
    const int count = static_cast<int>(std::min<std::size_t>(lighting.lights.size(), 4));
    gl_.Uniform1i(mesh_.uniform(gl_, "uLightCount"), count);
    for (int i = 0; i < count; ++i) {
        const LightState& l = lighting.lights[static_cast<std::size_t>(i)];
        const std::string n = std::to_string(i);
        const float p[4] = {l.eyePosition.x, l.eyePosition.y, l.eyePosition.z, l.eyePosition.w};
        gl_.Uniform4fv(mesh_.uniform(gl_, ("uLightPosition[" + n + "]").c_str()), 1, p);
        setColor(gl_, mesh_.uniform(gl_, ("uLightDiffuse[" + n + "]").c_str()), l.diffuse);
        setColor(gl_, mesh_.uniform(gl_, ("uLightSpecular[" + n + "]").c_str()), l.specular);
        setColor(gl_, mesh_.uniform(gl_, ("uLightAmbient[" + n + "]").c_str()), l.ambient);
    }
}

void Renderer::uploadMesh(Mesh& mesh) {
    GLuint buffers[2] = {};
    gl_.GenBuffers(2, buffers);
    gl_.BindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    gl_.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
                   mesh.vertices.data(), GL_STATIC_DRAW);
    gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    gl_.BufferData(GL_ELEMENT_ARRAY_BUFFER,
                   static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint16_t)),
                   mesh.indices.data(), GL_STATIC_DRAW);
    mesh.vertexBuffer = buffers[0];
    mesh.indexBuffer = buffers[1];
    mesh.indexCount = static_cast<int>(mesh.indices.size());
    meshBuffers_.insert(meshBuffers_.end(), buffers, buffers + 2);
    // The GPU holds the only copy from now on.
    mesh.vertices.clear();
    mesh.vertices.shrink_to_fit();
    mesh.indices.clear();
    mesh.indices.shrink_to_fit();
}

void Renderer::drawMesh(Mesh& mesh, const Mat4& model, const MeshMaterial* material) {
    if (!ready_)
        return;
    if (mesh.wantGpuBuffers && !mesh.inGpu() && !mesh.indices.empty())
        uploadMesh(mesh);
    const int indexCount = mesh.inGpu() ? mesh.indexCount : static_cast<int>(mesh.indices.size());
    if (indexCount == 0)
        return;
    const Mat4 modelView = view3D_ * model;
    gl_.UniformMatrix4fv(mesh_.uniform(gl_, "uModelView"), 1, GL_FALSE, modelView.data());
    const auto normal = modelView.normalMatrix();
    gl_.UniformMatrix3fv(mesh_.uniform(gl_, "uNormalMatrix"), 1, GL_FALSE, normal.data());
    static const MeshMaterial plain{{0.6f, 0.6f, 0.6f, 1}, {0.6f, 0.6f, 0.6f, 1}, {0, 0, 0, 1}, 0, {}};
    const MeshMaterial& m = material ? *material : plain;
    setColor(gl_, mesh_.uniform(gl_, "uAmbient"), m.ambient);
    setColor(gl_, mesh_.uniform(gl_, "uDiffuse"), m.diffuse);
    setColor(gl_, mesh_.uniform(gl_, "uSpecular"), m.specular);
    gl_.Uniform1f(mesh_.uniform(gl_, "uShininess"), m.shininess);
    const bool textured = static_cast<bool>(m.texture);
    gl_.Uniform1i(mesh_.uniform(gl_, "uTextured"), textured ? 1 : 0);
    if (textured) {
        gl_.ActiveTexture(GL_TEXTURE0);
        gl_.BindTexture(GL_TEXTURE_2D, textureFor(m.texture));
        gl_.Uniform1i(mesh_.uniform(gl_, "uTexture"), 0);
    }
    const auto stride = static_cast<GLsizei>(sizeof(MeshVertex));
    const char* base = nullptr;
    const void* indices = nullptr;
    if (mesh.inGpu()) {
        gl_.BindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
        gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
    } else {
        gl_.BindBuffer(GL_ARRAY_BUFFER, 0);
        gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        base = reinterpret_cast<const char*>(mesh.vertices.data());
        indices = mesh.indices.data();
    }
    for (GLuint a = 0; a < 3; ++a)
        gl_.EnableVertexAttribArray(a);
    gl_.VertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, base + offsetof(MeshVertex, position));
    gl_.VertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, base + offsetof(MeshVertex, normal));
    gl_.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, base + offsetof(MeshVertex, uv));
    gl_.DrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, indices);
    for (GLuint a = 0; a < 3; ++a)
        gl_.DisableVertexAttribArray(a);
    gl_.BindBuffer(GL_ARRAY_BUFFER, 0);
    gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    ++drawCalls_;
}

void Renderer::end3D() {
    gl_.Disable(GL_DEPTH_TEST);
    gl_.Disable(GL_CULL_FACE);
}

} // namespace terrabo
