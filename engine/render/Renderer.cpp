#include "engine/render/Renderer.h"

#include "engine/render/LightingBound.h"
#include "engine/render/ShaderProgram.h"
#include "engine/render/Shaders.h"
#include "platform/GlApi.h"
#include "platform/Log.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace terrabo {
namespace {

void setColor(const GlApi& gl, int location, Color4F c) {
    const float v[4] = {c.r, c.g, c.b, c.a};
    gl.Uniform4fv(location, 1, v);
}

// A triangle strip over the unit square; the shader scales it to the content size.
constexpr float kUnitQuad[] = {0, 0, 1, 0, 0, 1, 1, 1};

} // namespace

Renderer::Renderer(const GlApi& gl) : gl_(gl), textures_(gl) {
    tableComplete_ = gl.complete();
    if (!tableComplete_) {
        logLine("the GL function table is incomplete; nothing will be drawn");
        return;
    }
    ready_ = buildPrograms();
    if (ready_)
        createBuffers();
}

Renderer::~Renderer() {
    if (!tableComplete_)
        return;
    if (!meshBuffers_.empty())
        gl_.DeleteBuffers(static_cast<GLsizei>(meshBuffers_.size()), meshBuffers_.data());
    const GLuint own[] = {quadBuffer_, streamVertices_, streamIndices_};
    for (GLuint b : own)
        if (b)
            gl_.DeleteBuffers(1, &b);
    for (GLuint program : {sprite_.id, mesh_.id, unlit_.id})
        if (program)
            gl_.DeleteProgram(program);
}

bool Renderer::buildPrograms() {
    sprite_.id =
        buildShaderProgram(gl_, "picture shader", shaders::kSpriteVertex, shaders::kSpriteFragment);
    mesh_.id = buildShaderProgram(gl_, "mesh shader", shaders::kMeshVertex, shaders::kMeshFragment);
    if (!sprite_.id || !mesh_.id)
        return false;
    unlit_.id =
        buildShaderProgram(gl_, "unlit mesh shader", shaders::kUnlitVertex, shaders::kUnlitFragment);
    if (!unlit_.id)
        return false;

    auto at = [this](unsigned program, const char* name) {
        return gl_.GetUniformLocation(program, name);
    };
    SpriteProgram& s = sprite_;
    s.mvp = at(s.id, "uMvp");
    s.size = at(s.id, "uSize");
    s.uv = at(s.id, "uUv");
    s.tint = at(s.id, "uTint");
    s.texture = at(s.id, "uTexture");
    MeshProgram& m = mesh_;
    m.modelView = at(m.id, "uModelView");
    m.projection = at(m.id, "uProjection");
    m.normalMatrix = at(m.id, "uNormalMatrix");
    m.worldAmbient = at(m.id, "uWorldAmbient");
    m.ambient = at(m.id, "uAmbient");
    m.diffuse = at(m.id, "uDiffuse");
    m.specular = at(m.id, "uSpecular");
    m.shininess = at(m.id, "uShininess");
    m.lightCount = at(m.id, "uLightCount");
    m.lightPosition = at(m.id, "uLightPosition[0]");
    m.lightAmbient = at(m.id, "uLightAmbient[0]");
    m.lightDiffuse = at(m.id, "uLightDiffuse[0]");
    m.lightSpecular = at(m.id, "uLightSpecular[0]");
    m.textured = at(m.id, "uTextured");
    m.texture = at(m.id, "uTexture");
    UnlitProgram& u = unlit_;
    u.modelView = at(u.id, "uModelView");
    u.projection = at(u.id, "uProjection");
    u.alpha = at(u.id, "uAlpha");
    u.textured = at(u.id, "uTextured");
    u.texture = at(u.id, "uTexture");

    // Every program samples texture unit 0, for good.
    const std::pair<unsigned, int> samplers[] = {{s.id, s.texture}, {m.id, m.texture}, {u.id, u.texture}};
    for (auto [program, texture] : samplers) {
        gl_.UseProgram(program);
        gl_.Uniform1i(texture, 0);
    }
    gl_.UseProgram(0);
    return true;
}

void Renderer::createBuffers() {
    GLuint ids[3] = {};
    gl_.GenBuffers(3, ids);
    quadBuffer_ = ids[0];
    streamVertices_ = ids[1];
    streamIndices_ = ids[2];
    gl_.BindBuffer(GL_ARRAY_BUFFER, quadBuffer_);
    gl_.BufferData(GL_ARRAY_BUFFER, sizeof kUnitQuad, kUnitQuad, GL_STATIC_DRAW);
    gl_.BindBuffer(GL_ARRAY_BUFFER, 0);
}

void Renderer::beginFrame(int pixelWidth, int pixelHeight, Size screenPoints) {
    drawCalls_ = 0;
    unlitDraws_ = 0;
    // Whoever ran GL between our frames may have left any state behind.
    state_ = State::Unknown;
    in3D_ = false;
    drawable_ = ready_ && pixelWidth > 0 && pixelHeight > 0 && screenPoints.width > 0 &&
                screenPoints.height > 0;
    if (!tableComplete_)
        return;
    viewportHeight_ = std::max(pixelHeight, 0);
    gl_.Viewport(0, 0, std::max(pixelWidth, 0), viewportHeight_);
    if (drawable_)
        projection2D_ =
            Mat4::orthographic(0, screenPoints.width, 0, screenPoints.height, -1024, 1024);
}

void Renderer::clear(Color4F color) {
    if (!tableComplete_)
        return;
    gl_.ClearColor(color.r, color.g, color.b, color.a);
    // A depth mask left off would keep last frame's depths.
    gl_.DepthMask(GL_TRUE);
    gl_.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Renderer::enterFlat() {
    gl_.Disable(GL_DEPTH_TEST);
    gl_.Disable(GL_CULL_FACE);
    gl_.Enable(GL_BLEND);
    gl_.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    gl_.UseProgram(sprite_.id);
    gl_.BindBuffer(GL_ARRAY_BUFFER, quadBuffer_);
    gl_.EnableVertexAttribArray(0);
    gl_.VertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    gl_.DisableVertexAttribArray(1);
    gl_.DisableVertexAttribArray(2);
    state_ = State::Flat;
}

void Renderer::enter3D(State state) {
    gl_.Enable(GL_DEPTH_TEST);
    gl_.DepthFunc(GL_LEQUAL);
    gl_.DepthMask(GL_TRUE);
    gl_.Enable(GL_CULL_FACE);
    gl_.CullFace(GL_BACK);
    gl_.FrontFace(GL_CCW);
    gl_.Disable(GL_BLEND);
    gl_.UseProgram(state == State::Lit ? mesh_.id : unlit_.id);
    for (GLuint a = 0; a < 3; ++a)
        gl_.EnableVertexAttribArray(a);
    state_ = state;
}

void Renderer::drawPicture(const Picture& picture, const Mat4& transform, Size size, Color3B color,
                           std::uint8_t opacity, bool flipX, bool flipY) {
    if (!drawable_ || !picture || size.width == 0 || size.height == 0)
        return;
    const unsigned texture = textureOf(picture);
    if (!texture)
        return;
    if (state_ != State::Flat)
        enterFlat();

    const Mat4 mvp = projection2D_ * transform;
    gl_.UniformMatrix4fv(sprite_.mvp, 1, GL_FALSE, mvp.data());
    gl_.Uniform2f(sprite_.size, size.width, size.height);
    // Image rows run top to bottom, so the quad's bottom edge takes v = 1.
    const float uLeft = flipX ? 1.0f : 0.0f, vBottom = flipY ? 0.0f : 1.0f;
    const float uv[4] = {uLeft, vBottom, 1.0f - uLeft, 1.0f - vBottom};
    gl_.Uniform4fv(sprite_.uv, 1, uv);
    const float a = opacity / 255.0f;
    setColor(gl_, sprite_.tint,
             {color.r / 255.0f * a, color.g / 255.0f * a, color.b / 255.0f * a, a});
    gl_.ActiveTexture(GL_TEXTURE0);
    gl_.BindTexture(GL_TEXTURE_2D, texture);
    gl_.DrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    ++drawCalls_;
}

void Renderer::begin3D(const Mat4& projection, const Mat4& view, const SceneLighting& lighting) {
    view3D_ = view;
    projection3D_ = projection;
    lighting_ = lighting;
    in3D_ = drawable_;
    if (!in3D_)
        return;
    gl_.UseProgram(unlit_.id);
    gl_.UniformMatrix4fv(unlit_.projection, 1, GL_FALSE, projection.data());
    enter3D(State::Lit);
    MeshProgram& m = mesh_;
    gl_.UniformMatrix4fv(m.projection, 1, GL_FALSE, projection.data());
    setColor(gl_, m.worldAmbient, lighting.worldAmbient);
    const auto count = std::min<std::size_t>(lighting.lights.size(), shaders::kMaxLights);
    std::array<float, 4 * shaders::kMaxLights> position{}, ambient{}, diffuse{}, specular{};
    auto put = [](std::array<float, 4 * shaders::kMaxLights>& to, std::size_t i, Color4F c) {
        to[4 * i] = c.r, to[4 * i + 1] = c.g, to[4 * i + 2] = c.b, to[4 * i + 3] = c.a;
    };
    for (std::size_t i = 0; i < count; ++i) {
        const LightState& l = lighting.lights[i];
        const Vec4& p = l.eyePosition;
        put(position, i, {p.x, p.y, p.z, p.w});
        put(ambient, i, l.ambient);
        put(diffuse, i, l.diffuse);
        put(specular, i, l.specular);
    }
    gl_.Uniform1i(m.lightCount, static_cast<GLint>(count));
    if (count > 0) {
        const auto n = static_cast<GLsizei>(count);
        gl_.Uniform4fv(m.lightPosition, n, position.data());
        gl_.Uniform4fv(m.lightAmbient, n, ambient.data());
        gl_.Uniform4fv(m.lightDiffuse, n, diffuse.data());
        gl_.Uniform4fv(m.lightSpecular, n, specular.data());
    }
}

bool Renderer::indicesInRange(const Mesh& mesh) {
    const std::size_t vertexCount = mesh.vertices.size();
    const bool inRange = std::all_of(mesh.indices.begin(), mesh.indices.end(),
                                     [vertexCount](std::uint16_t i) { return i < vertexCount; });
    if (!inRange && !loggedBadMesh_) {
        logLine("a mesh of %zu vertices has indices past its end; not drawn", vertexCount);
        loggedBadMesh_ = true;
    }
    return inRange;
}

void Renderer::uploadMesh(Mesh& mesh) {
    GLuint buffers[2] = {};
    gl_.GenBuffers(2, buffers);
    gl_.BindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    gl_.BufferData(GL_ARRAY_BUFFER,
                   static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
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
    mesh.vertices = {};
    mesh.indices = {};
}

void Renderer::pointMeshAttributes() {
    // Offsets into the bound buffer, passed as GL wants them; adding them to a
    // null pointer would be undefined.
    const auto at = [](std::size_t offset) {
        return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(offset));
    };
    const auto stride = static_cast<GLsizei>(sizeof(MeshVertex));
    gl_.VertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(MeshVertex, position)));
    gl_.VertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, at(offsetof(MeshVertex, normal)));
    gl_.VertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride, at(offsetof(MeshVertex, uv)));
}

void Renderer::drawMesh(Mesh& mesh, const Mat4& model, const MeshMaterial* material) {
    if (!in3D_)
        return;
    if (!mesh.inGpu() && !indicesInRange(mesh)) {
        // Damaged beyond drawing; dropping the indices spares the check every frame.
        mesh.indices = {};
        return;
    }
    if (mesh.wantGpuBuffers && !mesh.inGpu() && !mesh.indices.empty())
        uploadMesh(mesh);
    const int indexCount = mesh.inGpu() ? mesh.indexCount : static_cast<int>(mesh.indices.size());
    if (indexCount == 0)
        return;

    static const MeshMaterial plain{
        {0.6f, 0.6f, 0.6f, 1}, {0.6f, 0.6f, 0.6f, 1}, {0, 0, 0, 1}, 0, {}};
    const MeshMaterial& m = material ? *material : plain;
    const unsigned texture = m.texture ? textureOf(m.texture) : 0;
    const Mat4 modelView = view3D_ * model;
    // Only meshes still in client memory can be checked; the backdrop is one.
    const bool unlit = lightingShortcut_ && !mesh.inGpu() &&
                       lightingSaturates(mesh, modelView, projection3D_, m, lighting_);
    if (unlit) {
        if (state_ != State::Unlit)
            enter3D(State::Unlit);
        gl_.UniformMatrix4fv(unlit_.modelView, 1, GL_FALSE, modelView.data());
        gl_.Uniform1f(unlit_.alpha, m.diffuse.a);
        gl_.Uniform1i(unlit_.textured, texture ? 1 : 0);
        ++unlitDraws_;
    } else {
        if (state_ != State::Lit)
            enter3D(State::Lit);
        setLitUniforms(modelView, m, texture != 0);
    }
    if (texture) {
        gl_.ActiveTexture(GL_TEXTURE0);
        gl_.BindTexture(GL_TEXTURE_2D, texture);
    }

    if (mesh.inGpu()) {
        gl_.BindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
        gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
    } else {
        // Streamed rather than drawn from client arrays, which WebGL 2 lacks.
        gl_.BindBuffer(GL_ARRAY_BUFFER, streamVertices_);
        gl_.BufferData(GL_ARRAY_BUFFER,
                       static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
                       mesh.vertices.data(), GL_STREAM_DRAW);
        gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, streamIndices_);
        gl_.BufferData(GL_ELEMENT_ARRAY_BUFFER,
                       static_cast<GLsizeiptr>(mesh.indices.size() * sizeof(std::uint16_t)),
                       mesh.indices.data(), GL_STREAM_DRAW);
    }
    pointMeshAttributes();
    gl_.DrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, nullptr);
    ++drawCalls_;
}

void Renderer::setLitUniforms(const Mat4& modelView, const MeshMaterial& m, bool textured) {
    gl_.UniformMatrix4fv(mesh_.modelView, 1, GL_FALSE, modelView.data());
    const auto normal = modelView.normalMatrix();
    gl_.UniformMatrix3fv(mesh_.normalMatrix, 1, GL_FALSE, normal.data());
    setColor(gl_, mesh_.ambient, m.ambient);
    setColor(gl_, mesh_.diffuse, m.diffuse);
    setColor(gl_, mesh_.specular, m.specular);
    gl_.Uniform1f(mesh_.shininess, m.shininess);
    gl_.Uniform1i(mesh_.textured, textured ? 1 : 0);
}

void Renderer::end3D() {
    if (in3D_ && (state_ == State::Lit || state_ == State::Unlit)) {
        gl_.Disable(GL_DEPTH_TEST);
        gl_.Disable(GL_CULL_FACE);
        gl_.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        state_ = State::Unknown;
    }
    in3D_ = false;
}

unsigned Renderer::textureOf(const Picture& picture) {
    // Trilinear filtering magnifies a level a tenth too small invisibly, and
    // that often saves the next level up, four times the memory.
    constexpr float kSlack = 0.9f;
    const int needed = picture.screenSpan > 0
                           ? static_cast<int>(std::ceil(picture.screenSpan * viewportHeight_ * kSlack))
                           : 0;
    return textures_.texture(picture, needed);
}

void Renderer::purgeTextureCache() {
    textures_.sweep();
}

} // namespace terrabo
