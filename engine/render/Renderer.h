#pragma once

#include "engine/ImageCache.h"
#include "engine/math/Mat4.h"
#include "engine/render/Mesh.h"
#include "engine/render/TextureCache.h"

#include <memory>
#include <vector>

namespace terrabo {

struct GlApi;

// One light, in eye space.
struct LightState {
    Vec4 eyePosition; // w = 1 positional, w = 0 directional
    Color4F diffuse{1, 1, 1, 1};
    Color4F specular{1, 1, 1, 1};
    Color4F ambient{0, 0, 0, 1};
};

struct SceneLighting {
    Color4F worldAmbient{0.2f, 0.2f, 0.2f, 1.0f};
    std::vector<LightState> lights; // the first four are used
};

// Draws pictures and meshes through the GL function table; one per GL context.
// GPU copies of pictures are made at first use and kept while their images live.
class Renderer {
  public:
    explicit Renderer(const GlApi& gl);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // False when the shaders could not be built; drawing then does nothing.
    bool ready() const { return ready_; }

    // Viewport in device pixels, 2D projection over the screen in points
    // (origin at the bottom left, y up).
    void beginFrame(int pixelWidth, int pixelHeight, Size screenPoints);
    void clear(Color4F color);

    // A picture filling the content rectangle (0,0)-(size) mapped by `transform`.
    void drawPicture(const Picture& picture, const Mat4& transform, Size size, Color3B color,
                     std::uint8_t opacity, bool flipX, bool flipY);

    // Meshes are drawn between begin3D and end3D only.
    void begin3D(const Mat4& projection, const Mat4& view, const SceneLighting& lighting);
    void drawMesh(Mesh& mesh, const Mat4& model, const MeshMaterial* material);
    void end3D();

    // Frees the GPU copies of images nobody holds any more; pictures still
    // held keep theirs.
    void purgeTextureCache();
    // Where pictures of files get their pixels for an upload.
    void setPixelSource(TextureCache::PixelSource source) { textures_.setPixelSource(std::move(source)); }
    std::size_t cachedTextureCount() const { return textures_.size(); }
    int drawCallCount() const { return drawCalls_; }
    // Meshes drawn through the unlit program this frame.
    int unlitDrawCount() const { return unlitDraws_; }
    // Lit meshes whose lighting clamps to white everywhere on screen go
    // through a cheaper program with the same pixels; off draws every mesh lit.
    void setLightingShortcut(bool on) { lightingShortcut_ = on; }

  private:
    enum class State { Unknown, Flat, Lit, Unlit };
    struct SpriteProgram {
        unsigned id = 0;
        int mvp = -1, size = -1, uv = -1, tint = -1, texture = -1;
    };
    struct MeshProgram {
        unsigned id = 0;
        int modelView = -1, projection = -1, normalMatrix = -1;
        int worldAmbient = -1, ambient = -1, diffuse = -1, specular = -1, shininess = -1;
        int lightCount = -1, lightPosition = -1, lightAmbient = -1, lightDiffuse = -1,
            lightSpecular = -1;
        int textured = -1, texture = -1;
    };
    struct UnlitProgram {
        unsigned id = 0;
        int modelView = -1, projection = -1, alpha = -1, textured = -1, texture = -1;
    };
    bool buildPrograms();
    void createBuffers();
    void enterFlat();
    void enter3D(State state);
    void setLitUniforms(const Mat4& modelView, const MeshMaterial& material, bool textured);
    bool indicesInRange(const Mesh& mesh);
    void uploadMesh(Mesh& mesh);
    void pointMeshAttributes();
    unsigned textureOf(const Picture& picture);

    const GlApi& gl_;
    bool tableComplete_ = false;
    bool ready_ = false;
    bool drawable_ = false;
    bool in3D_ = false;
    bool loggedBadMesh_ = false;
    State state_ = State::Unknown;
    SpriteProgram sprite_;
    MeshProgram mesh_;
    UnlitProgram unlit_;
    TextureCache textures_;
    unsigned quadBuffer_ = 0;
    // Meshes kept in client memory pass through these each draw.
    unsigned streamVertices_ = 0;
    unsigned streamIndices_ = 0;
    std::vector<unsigned> meshBuffers_;
    int viewportHeight_ = 0;
    Mat4 projection2D_;
    Mat4 view3D_;
    Mat4 projection3D_;
    SceneLighting lighting_;
    bool lightingShortcut_ = true;
    int drawCalls_ = 0;
    int unlitDraws_ = 0;
};

} // namespace terrabo
