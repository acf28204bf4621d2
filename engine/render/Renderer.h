#pragma once

#include "engine/math/Mat4.h"
#include "engine/math/Vec.h"
#include "platform/Image.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace terrabo {

struct GlApi;

// A GPU texture. Owned through shared pointers: the cache holds one, users hold others,
// so purging the cache never pulls a texture from under a node that draws it.
class Texture {
public:
    Texture(const GlApi* gl, unsigned id, int width, int height);
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    unsigned id() const { return id_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    const GlApi* gl_;
    unsigned id_;
    int width_;
    int height_;
};
using TexturePtr = std::shared_ptr<Texture>;

// Interleaved mesh vertex: position, normal, texture coordinate.
struct MeshVertex {
    float position[3];
    float normal[3];
    float uv[2];
};

// A mesh ready to draw: either in GPU buffers or still in client memory.
class GpuMesh {
public:
    std::vector<MeshVertex> vertices;      // emptied once uploaded
    std::vector<std::uint16_t> indices;     // triangle list; emptied once uploaded
    unsigned vertexBuffer = 0;
    unsigned indexBuffer = 0;
    unsigned vertexArray = 0;
    int indexCount = 0;
    bool inGpu() const { return vertexBuffer != 0; }
};

struct Material {
    Color4F ambient{1, 1, 1, 1};
    Color4F diffuse{1, 1, 1, 1};
    Color4F specular{0, 0, 0, 1};
    float shininess = 0.0f;
    TexturePtr texture; // may be null
};

// One light of the world, already in eye space.
struct LightState {
    Vec4 eyePosition;        // w = 1 positional, w = 0 directional
    Color4F diffuse{1, 1, 1, 1};
    Color4F specular{1, 1, 1, 1};
    Color4F ambient{0, 0, 0, 1};
};

struct SceneLighting {
    Color4F worldAmbient{0.2f, 0.2f, 0.2f, 1.0f};
    std::vector<LightState> lights;
};

// Draws sprites and meshes through the GL function table. One per GL context.
class Renderer {
public:
    explicit Renderer(const GlApi* gl);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    const GlApi* gl() const { return gl_; }

    // Frame setup: viewport in device pixels, screen in points (2D projection).
    void beginFrame(int pixelWidth, int pixelHeight, Size screenPoints, Color4F clear);

    // Textures. Images are uploaded as RGBA8888.
    TexturePtr createTexture(const Image& image);
    // Cached by file name through the loader; null when the image cannot be loaded.
    TexturePtr textureNamed(const std::string& fileName);
    void setImageLoader(ImageLoader* loader) { loader_ = loader; }
    void purgeTextureCache() { textureCache_.clear(); }
    std::size_t cachedTextureCount() const { return textureCache_.size(); }

    // 2D: a textured quad of the texture's size (in points, scaled by pointScale),
    // centred on the origin of `transform` (points, engine convention).
    void drawSprite(const Texture& texture, const Mat4& transform, Color3B color,
                    std::uint8_t opacity, bool flipX, bool flipY, float pointScale = 1.0f);

    // 3D.
    void uploadMesh(GpuMesh& mesh);
    void begin3D(const Mat4& projection, const Mat4& view, const SceneLighting& lighting);
    void drawMesh(const GpuMesh& mesh, const Mat4& model, const Material& material);
    void end3D();

private:
    struct Programs;
    const GlApi* gl_;
    ImageLoader* loader_ = nullptr;
    std::unique_ptr<Programs> programs_;
    std::unordered_map<std::string, TexturePtr> textureCache_;
    Size screen_;
    Mat4 projection2D_;
    Mat4 projection3D_;
    Mat4 view3D_;
    SceneLighting lighting_;
};

} // namespace terrabo
