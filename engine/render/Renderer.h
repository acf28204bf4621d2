#pragma once

#include "engine/ImageCache.h"
#include "engine/math/Mat4.h"
#include "engine/render/Mesh.h"

#include <memory>
#include <string>
#include <unordered_map>
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
    std::vector<LightState> lights;
};

// Draws pictures and meshes through the GL function table; one per GL context.
// GPU copies of pictures are made at first use and cached by the picture's key.
class Renderer {
public:
    explicit Renderer(const GlApi& gl);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // False when the shaders could not be built; drawing then does nothing.
    bool ready() const { return ready_; }

    // Viewport in device pixels, 2D projection over the screen in points.
    void beginFrame(int pixelWidth, int pixelHeight, Size screenPoints);
    void clear(Color4F color);

    // A picture filling the content rectangle (0,0)-(size) mapped by `transform`.
    void drawPicture(const Picture& picture, const Mat4& transform, Size size, Color3B color,
                     std::uint8_t opacity, bool flipX, bool flipY);

    void begin3D(const Mat4& projection, const Mat4& view, const SceneLighting& lighting);
    void drawMesh(Mesh& mesh, const Mat4& model, const MeshMaterial* material);
    void end3D();

    // Drops the renderer's references; textures still drawn come back at next use.
    void purgeTextureCache();
    std::size_t cachedTextureCount() const { return textures_.size(); }
    int drawCallCount() const { return drawCalls_; }

private:
    struct Program {
        unsigned id = 0;
        std::unordered_map<std::string, int> uniforms;
        int uniform(const GlApi& gl, const char* name);
    };
    unsigned textureFor(const Picture& picture);
    bool buildPrograms();
    void uploadMesh(Mesh& mesh);

    const GlApi& gl_;
    bool ready_ = false;
    Program sprite_;
    Program mesh_;
    struct Texture {
        unsigned id;
        std::weak_ptr<const Image> source;
    };
    std::unordered_map<std::string, Texture> textures_;
    std::vector<unsigned> meshBuffers_;
    Size screen_;
    Mat4 projection2D_;
    Mat4 projection3D_;
    Mat4 view3D_;
    int drawCalls_ = 0;
};

} // namespace terrabo
