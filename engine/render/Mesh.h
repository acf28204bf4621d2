#pragma once

#include "engine/ImageCache.h"
#include "engine/math/Vec.h"

#include <cstdint>
#include <vector>

namespace terrabo {

// Interleaved vertex: position, normal, texture coordinate.
struct MeshVertex {
    float position[3];
    float normal[3];
    float uv[2];
};

// Triangle-list mesh. When `wantGpuBuffers` is set the renderer copies it into
// GPU buffers at first draw and keeps it there; otherwise it is drawn from
// client memory each frame.
struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint16_t> indices;
    bool wantGpuBuffers = false;
    // Filled by the renderer.
    unsigned vertexBuffer = 0;
    unsigned indexBuffer = 0;
    int indexCount = 0;
    bool inGpu() const { return vertexBuffer != 0; }
};

struct MeshMaterial {
    Color4F ambient{1, 1, 1, 1};
    Color4F diffuse{1, 1, 1, 1};
    Color4F specular{0, 0, 0, 1};
    float shininess = 0.0f;
    Picture texture; // may be empty
};

} // namespace terrabo
