#include "engine3d/PodModel.h"

#include "engine/Director.h"
#include "engine3d/MeshNode.h"
#include "engine3d/pod/NodeTransform.h"
#include "engine3d/pod/VertexData.h"

#include <algorithm>

namespace terrabo {
namespace {

// 16-bit indices reach no further.
constexpr std::uint32_t kMaxVertices = 65536;
// Deeper chains are cut and hung from the resource node: the engine walks its
// tree recursively.
constexpr int kMaxDepth = 64;

void appendTriangle(const pod::Mesh& source, std::vector<std::uint16_t>& out, std::uint16_t a,
                    std::uint16_t b, std::uint16_t c) {
    const std::uint32_t n = std::min(source.numVertices, kMaxVertices);
    if (a < n && b < n && c < n)
        out.insert(out.end(), {a, b, c});
}

std::vector<std::uint16_t> triangleList(const pod::Mesh& source) {
    std::vector<std::uint16_t> out;
    const auto& in = source.indices;
    if (in.empty() && source.stripLengths.empty()) {
        // No index data: the vertices taken three by three.
        const std::uint32_t n = std::min(source.numVertices, kMaxVertices);
        for (std::uint32_t i = 0; i + 2 < n; i += 3)
            appendTriangle(source, out, static_cast<std::uint16_t>(i),
                           static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 2));
        return out;
    }
    if (source.stripLengths.empty()) {
        for (std::size_t i = 0; i + 2 < in.size(); i += 3)
            appendTriangle(source, out, in[i], in[i + 1], in[i + 2]);
        return out;
    }
    // Each strip of n triangles uses n + 2 indices; every other triangle is
    // turned back to keep the winding.
    std::size_t start = 0;
    for (const std::uint32_t length : source.stripLengths) {
        for (std::size_t t = 0; t < length && start + t + 2 < in.size(); ++t) {
            const std::uint16_t a = in[start + t], b = in[start + t + 1], c = in[start + t + 2];
            if (t % 2)
                appendTriangle(source, out, b, a, c);
            else
                appendTriangle(source, out, a, b, c);
        }
        start += std::size_t{length} + 2;
        if (start >= in.size())
            break;
    }
    return out;
}

std::shared_ptr<Mesh> convertMesh(const pod::Mesh& source) {
    // A count the vertex data cannot hold is damage, not a reason to allocate.
    const std::uint64_t stride = source.positions.stride;
    if (!source.positions.present() || stride == 0 ||
        source.numVertices > source.interleaved.size() / stride)
        return nullptr;
    auto mesh = std::make_shared<Mesh>();
    mesh->vertices.resize(std::min(source.numVertices, kMaxVertices));
    for (std::uint32_t v = 0; v < mesh->vertices.size(); ++v) {
        MeshVertex& out = mesh->vertices[v];
        if (!pod::readVertex(source, source.positions, v, 3, out.position))
            return nullptr;
        if (!pod::readVertex(source, source.normals, v, 3, out.normal))
            out.normal[0] = out.normal[1] = 0, out.normal[2] = 1;
        if (!pod::readVertex(source, source.uvs, v, 2, out.uv))
            out.uv[0] = out.uv[1] = 0;
    }
    mesh->indices = triangleList(source);
    return mesh;
}

std::shared_ptr<MeshMaterial> convertMaterial(const pod::Scene& scene, const pod::Material& m,
                                              const TextureSource& textures) {
    auto material = std::make_shared<MeshMaterial>();
    material->ambient = {m.ambient[0], m.ambient[1], m.ambient[2], 1};
    material->diffuse = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.opacity};
    material->specular = {m.specular[0], m.specular[1], m.specular[2], 1};
    material->shininess = m.shininess;
    if (m.texture >= 0 && static_cast<std::size_t>(m.texture) < scene.textures.size())
        material->texture = textures(scene.textures[static_cast<std::size_t>(m.texture)]);
    return material;
}

template <class T> const T* element(const std::vector<T>& v, std::int32_t i) {
    return i >= 0 && static_cast<std::size_t>(i) < v.size() ? &v[static_cast<std::size_t>(i)]
                                                            : nullptr;
}

// The parent each node hangs from (-1: the resource node). A node whose
// ancestry loops instead of reaching a root hangs from the resource node, and
// so does every kMaxDepth-th node of a long chain. Linear in the node count.
std::vector<std::int32_t> effectiveParents(const std::vector<pod::Node>& nodes) {
    const auto count = static_cast<std::int32_t>(nodes.size());
    auto parentOf = [&](std::int32_t i) {
        const std::int32_t p = nodes[static_cast<std::size_t>(i)].parent;
        return p >= 0 && p < count && p != i ? p : -1;
    };
    enum State : std::uint8_t { kUnseen, kOnPath, kDone };
    std::vector<State> state(nodes.size(), kUnseen);
    std::vector<bool> rooted(nodes.size(), false);
    std::vector<int> depth(nodes.size(), 0);
    std::vector<std::int32_t> parent(nodes.size(), -1);
    std::vector<std::int32_t> path;
    for (std::int32_t i = 0; i < count; ++i) {
        path.clear();
        std::int32_t j = i;
        while (j >= 0 && state[static_cast<std::size_t>(j)] == kUnseen) {
            state[static_cast<std::size_t>(j)] = kOnPath;
            path.push_back(j);
            j = parentOf(j);
        }
        // j is -1 (a root), a finished node, or a node of this path (a loop).
        bool reachesRoot = j < 0 || (state[static_cast<std::size_t>(j)] == kDone &&
                                     rooted[static_cast<std::size_t>(j)]);
        for (auto k = path.rbegin(); k != path.rend(); ++k) {
            const auto n = static_cast<std::size_t>(*k);
            const std::int32_t p = parentOf(*k);
            state[n] = kDone;
            rooted[n] = reachesRoot;
            if (!reachesRoot || p < 0)
                continue;
            depth[n] = depth[static_cast<std::size_t>(p)] + 1;
            if (depth[n] >= kMaxDepth)
                depth[n] = 0;
            else
                parent[n] = p;
        }
    }
    return parent;
}

} // namespace

std::shared_ptr<Node3D> buildPodResource(const pod::Scene& scene, const std::string& name,
                                         TextureSource textures) {
    if (!textures)
        textures = [](const std::string& file) {
            return Director::shared().imageCache().picture(file);
        };
    auto resource = std::make_shared<Node3D>(name);
    std::vector<std::shared_ptr<Mesh>> meshes;
    for (const pod::Mesh& m : scene.meshes)
        meshes.push_back(convertMesh(m));
    std::vector<std::shared_ptr<MeshMaterial>> materials(scene.materials.size());

    std::vector<std::shared_ptr<Node3D>> nodes;
    for (std::size_t i = 0; i < scene.nodes.size(); ++i) {
        const pod::Node& source = scene.nodes[i];
        const auto* mesh = i < scene.numMeshNodes ? element(meshes, source.index) : nullptr;
        std::shared_ptr<Node3D> node;
        if (mesh && *mesh) {
            auto meshNode = std::make_shared<MeshNode>(source.name);
            meshNode->mesh = *mesh;
            if (const auto* m = element(scene.materials, source.material)) {
                auto& shared = materials[static_cast<std::size_t>(source.material)];
                if (!shared)
                    shared = convertMaterial(scene, *m, textures);
                meshNode->material = shared;
            }
            node = meshNode;
        } else {
            node = std::make_shared<Node3D>(source.name);
        }
        const pod::NodeTransform t = pod::restTransform(source);
        node->setLocation(t.location);
        node->setRotation3D(t.rotation);
        node->setScale3D(t.scale);
        nodes.push_back(std::move(node));
    }
    const std::vector<std::int32_t> parents = effectiveParents(scene.nodes);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        Node3D& parent = parents[i] >= 0 ? *nodes[static_cast<std::size_t>(parents[i])] : *resource;
        parent.addChild(nodes[i]);
    }
    return resource;
}

std::shared_ptr<Node3D> loadPodResource(const std::string& path, TextureSource textures) {
    const std::optional<pod::Scene> scene = pod::loadFile(path);
    if (!scene || scene->nodes.empty())
        return nullptr;
    return buildPodResource(*scene, path, std::move(textures));
}

} // namespace terrabo
