#include "tools/model/PodWriter.h"

#include <cstring>

namespace terrabo::pod {
namespace {

class Writer {
  public:
    std::vector<std::uint8_t> bytes;

    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void f32(float f) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        u32(bits);
    }
    void begin(std::uint32_t id) {
        u32(id);
        u32(0);
    }
    void end(std::uint32_t id) {
        u32(id | kEndBit);
        u32(0);
    }
    void raw(std::uint32_t id, const void* data, std::size_t n) {
        u32(id);
        u32(static_cast<std::uint32_t>(n));
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + n);
        end(id);
    }
    void leafU32(std::uint32_t id, std::uint32_t v) {
        u32(id);
        u32(4);
        u32(v);
        end(id);
    }
    void leafI32(std::uint32_t id, std::int32_t v) { leafU32(id, static_cast<std::uint32_t>(v)); }
    void leafFloats(std::uint32_t id, const float* v, std::size_t n) {
        u32(id);
        u32(static_cast<std::uint32_t>(4 * n));
        for (std::size_t i = 0; i < n; ++i)
            f32(v[i]);
        end(id);
    }
    void string(std::uint32_t id, const std::string& s) { raw(id, s.c_str(), s.size() + 1); }

    void attribute(std::uint32_t id, const Attribute& a) {
        begin(id);
        leafU32(kDataType, a.type);
        leafU32(kDataComponents, a.components);
        leafU32(kDataStride, a.stride);
        if (a.present())
            leafU32(kData, a.offset);
        end(id);
    }

    // The attribute's elements pulled out of the interleaved array into one
    // tightly packed array of its own.
    void separateAttribute(std::uint32_t id, const Mesh& mesh, const Attribute& a,
                           std::uint32_t elementSize) {
        begin(id);
        leafU32(kDataType, a.type);
        leafU32(kDataComponents, a.components);
        leafU32(kDataStride, a.present() ? elementSize : 0);
        if (a.present()) {
            std::vector<std::uint8_t> data;
            for (std::uint32_t v = 0; v < mesh.numVertices; ++v) {
                const std::size_t at = std::size_t{v} * a.stride + a.offset;
                for (std::uint32_t k = 0; k < elementSize; ++k)
                    data.push_back(at + k < mesh.interleaved.size() ? mesh.interleaved[at + k] : 0);
            }
            raw(kData, data.data(), data.size());
        }
        end(id);
    }
};

} // namespace

std::vector<std::uint8_t> write(const Scene& scene, VertexLayout layout) {
    const bool interleaved = layout == VertexLayout::Interleaved;
    Writer w;
    w.string(kVersion, kVersionString);
    w.begin(kScene);
    w.leafU32(kNumCameras, 0);
    w.leafU32(kNumLights, 0);
    w.leafU32(kNumMeshes, static_cast<std::uint32_t>(scene.meshes.size()));
    w.leafU32(kNumNodes, static_cast<std::uint32_t>(scene.nodes.size()));
    w.leafU32(kNumMeshNodes, scene.numMeshNodes);
    w.leafU32(kNumTextures, static_cast<std::uint32_t>(scene.textures.size()));
    w.leafU32(kNumMaterials, static_cast<std::uint32_t>(scene.materials.size()));
    w.leafU32(kNumFrames, 0);
    w.leafU32(kFlags, 0);
    for (const Material& m : scene.materials) {
        w.begin(kMaterial);
        w.string(kMaterialName, m.name);
        w.leafI32(kMaterialTexture, m.texture);
        w.leafFloats(kMaterialOpacity, &m.opacity, 1);
        w.leafFloats(kMaterialAmbient, m.ambient.data(), 3);
        w.leafFloats(kMaterialDiffuse, m.diffuse.data(), 3);
        w.leafFloats(kMaterialSpecular, m.specular.data(), 3);
        w.leafFloats(kMaterialShininess, &m.shininess, 1);
        w.end(kMaterial);
    }
    for (const Mesh& mesh : scene.meshes) {
        w.begin(kMesh);
        w.leafU32(kMeshNumVertices, mesh.numVertices);
        w.leafU32(kMeshNumFaces, mesh.numFaces);
        w.leafU32(kMeshNumUvw, mesh.uvs.present() ? 1 : 0);
        if (!mesh.stripLengths.empty())
            w.raw(kMeshStripLengths, mesh.stripLengths.data(), mesh.stripLengths.size() * 4);
        w.leafU32(kMeshNumStrips, static_cast<std::uint32_t>(mesh.stripLengths.size()));
        if (interleaved)
            w.raw(kMeshInterleaved, mesh.interleaved.data(), mesh.interleaved.size());
        w.begin(kMeshFaces);
        w.leafU32(kDataType, kUnsignedShort);
        w.leafU32(kDataComponents, 1);
        w.leafU32(kDataStride, 2);
        std::vector<std::uint8_t> indices;
        for (std::uint16_t i : mesh.indices) {
            indices.push_back(static_cast<std::uint8_t>(i));
            indices.push_back(static_cast<std::uint8_t>(i >> 8));
        }
        w.raw(kData, indices.data(), indices.size());
        w.end(kMeshFaces);
        if (interleaved) {
            w.attribute(kMeshPositions, mesh.positions);
            w.attribute(kMeshNormals, mesh.normals);
            if (mesh.uvs.present())
                w.attribute(kMeshUvw, mesh.uvs);
        } else {
            w.separateAttribute(kMeshPositions, mesh, mesh.positions, 12);
            w.separateAttribute(kMeshNormals, mesh, mesh.normals, 12);
            if (mesh.uvs.present())
                w.separateAttribute(kMeshUvw, mesh, mesh.uvs, 8);
        }
        w.end(kMesh);
    }
    for (const Node& n : scene.nodes) {
        w.begin(kNode);
        w.leafI32(kNodeIndex, n.index);
        w.string(kNodeName, n.name);
        w.leafI32(kNodeMaterial, n.material);
        w.leafI32(kNodeParent, n.parent);
        w.leafU32(kNodeAnimationFlags, 0);
        w.leafFloats(kNodePosition, n.position.data(), 3);
        w.leafFloats(kNodeRotation, n.rotation.data(), 4);
        const float scale[7] = {n.scale[0], n.scale[1], n.scale[2], 0, 0, 0, 0};
        w.leafFloats(kNodeScale, scale, 7);
        if (n.matrix)
            w.leafFloats(kNodeMatrix, n.matrix->data(), 16);
        w.end(kNode);
    }
    for (const std::string& t : scene.textures) {
        w.begin(kTexture);
        w.string(kTextureFile, t);
        w.end(kTexture);
    }
    w.end(kScene);
    return std::move(w.bytes);
}

} // namespace terrabo::pod
