#include "engine3d/PodModel.h"

#include "engine/Director.h"
#include "engine3d/MeshNode.h"
#include "platform/Log.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace terrabo {
namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

bool readFloats(const pod::Mesh& mesh, const pod::Attribute& a, std::uint32_t vertex, int count,
                float* out) {
    if (!a.present() || a.type != pod::kFloat || a.components < static_cast<std::uint32_t>(count))
        return false;
    const std::size_t at = static_cast<std::size_t>(vertex) * a.stride + a.offset;
    if (at + 4u * static_cast<std::size_t>(count) > mesh.interleaved.size())
        return false;
    std::memcpy(out, mesh.interleaved.data() + at, 4u * static_cast<std::size_t>(count));
    return true;
}

std::shared_ptr<Mesh> convertMesh(const pod::Mesh& source) {
    // A count the vertex data cannot hold is a damaged file, not a reason to allocate.
    const std::size_t stride = source.positions.stride;
    if (stride == 0 || source.numVertices > source.interleaved.size() / stride)
        return nullptr;
    auto mesh = std::make_shared<Mesh>();
    mesh->vertices.resize(source.numVertices);
    for (std::uint32_t v = 0; v < source.numVertices; ++v) {
        MeshVertex& out = mesh->vertices[v];
        if (!readFloats(source, source.positions, v, 3, out.position))
            return nullptr;
        if (!readFloats(source, source.normals, v, 3, out.normal))
            out.normal[0] = out.normal[1] = 0, out.normal[2] = 1;
        if (!readFloats(source, source.uvs, v, 2, out.uv))
            out.uv[0] = out.uv[1] = 0;
    }
    auto valid = [&](std::uint16_t i) { return i < source.numVertices; };
    if (source.stripLengths.empty()) {
        for (std::size_t i = 0; i + 2 < source.indices.size(); i += 3) {
            const auto a = source.indices[i], b = source.indices[i + 1], c = source.indices[i + 2];
            if (valid(a) && valid(b) && valid(c))
                mesh->indices.insert(mesh->indices.end(), {a, b, c});
        }
    } else {
        // Strips into a list, flipping every other triangle to keep the winding.
        std::size_t start = 0;
        for (std::uint32_t length : source.stripLengths) {
            for (std::uint32_t t = 0; t < length && start + t + 2 < source.indices.size(); ++t) {
                auto a = source.indices[start + t], b = source.indices[start + t + 1],
                     c = source.indices[start + t + 2];
                if (t % 2)
                    std::swap(a, b);
                if (valid(a) && valid(b) && valid(c))
                    mesh->indices.insert(mesh->indices.end(), {a, b, c});
            }
            start += length + 2;
        }
    }
    return mesh;
}

} // namespace

Vec3 eulerFromQuaternion(float x, float y, float z, float w) {
    // Rotation matrix of the quaternion, then the angles of R = Ry * Rx * Rz.
    const double m12 = 2.0 * (y * z - w * x);
    const double m02 = 2.0 * (x * z + w * y), m22 = 1.0 - 2.0 * (x * x + y * y);
    const double m10 = 2.0 * (x * y + w * z), m11 = 1.0 - 2.0 * (x * x + z * z);
    const double sx = std::clamp(-m12, -1.0, 1.0);
    return {static_cast<float>(std::asin(sx) * kDegrees),
            static_cast<float>(std::atan2(m02, m22) * kDegrees),
            static_cast<float>(std::atan2(m10, m11) * kDegrees)};
}

std::shared_ptr<Node3D> buildPodResource(const pod::Scene& scene, const std::string& name) {
    auto resource = std::make_shared<Node3D>(name);
    std::vector<std::shared_ptr<Node3D>> nodes;
    std::vector<std::shared_ptr<Mesh>> meshes;
    for (const auto& m : scene.meshes)
        meshes.push_back(convertMesh(m));
    for (std::size_t i = 0; i < scene.nodes.size(); ++i) {
        const pod::Node& source = scene.nodes[i];
        std::shared_ptr<Node3D> node;
        const bool isMesh = i < scene.numMeshNodes && source.index >= 0 &&
                            static_cast<std::size_t>(source.index) < meshes.size() &&
                            meshes[static_cast<std::size_t>(source.index)];
        if (isMesh) {
            auto meshNode = std::make_shared<MeshNode>(source.name);
            meshNode->mesh = meshes[static_cast<std::size_t>(source.index)];
            if (source.material >= 0 && static_cast<std::size_t>(source.material) < scene.materials.size()) {
                const pod::Material& m = scene.materials[static_cast<std::size_t>(source.material)];
                auto material = std::make_shared<MeshMaterial>();
                material->ambient = {m.ambient[0], m.ambient[1], m.ambient[2], 1};
                material->diffuse = {m.diffuse[0], m.diffuse[1], m.diffuse[2], m.opacity};
                material->specular = {m.specular[0], m.specular[1], m.specular[2], 1};
                material->shininess = m.shininess;
                if (m.texture >= 0 && static_cast<std::size_t>(m.texture) < scene.textures.size()) {
                    const std::string& file = scene.textures[static_cast<std::size_t>(m.texture)];
                    material->texture = Picture{file, Director::shared().imageCache().image(file)};
                }
                meshNode->material = std::move(material);
            }
            node = meshNode;
        } else {
            node = std::make_shared<Node3D>(source.name);
        }
        node->setLocation({source.position[0], source.position[1], source.position[2]});
        // The file stores the conjugate of the rotation it means.
        node->setRotation3D(eulerFromQuaternion(source.rotation[0], source.rotation[1],
                                                source.rotation[2], -source.rotation[3]));
        node->setScale3D({source.scale[0], source.scale[1], source.scale[2]});
        nodes.push_back(node);
    }
    const auto count = static_cast<std::int32_t>(nodes.size());
    auto parentOf = [&](std::int32_t i) {
        const std::int32_t p = scene.nodes[static_cast<std::size_t>(i)].parent;
        return p >= 0 && p < count && p != i ? p : -1;
    };
    // A parent chain that comes back to the node would be a loop: such nodes hang from the root.
    auto loops = [&](std::int32_t i) {
        std::int32_t p = parentOf(i);
        for (std::int32_t steps = 0; p >= 0 && steps <= count; ++steps, p = parentOf(p))
            if (p == i)
                return true;
        return p >= 0;
    };
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t parent = parentOf(i);
        if (parent >= 0 && !loops(i))
            nodes[static_cast<std::size_t>(parent)]->addChild(nodes[static_cast<std::size_t>(i)]);
        else
            resource->addChild(nodes[static_cast<std::size_t>(i)]);
    }
    return resource;
}

std::shared_ptr<Node3D> loadPodResource(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        logLine("model %s is missing", path.c_str());
        return nullptr;
    }
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    std::string error;
    const pod::Scene scene = pod::read(bytes, error);
    if (!error.empty())
        logLine("model %s: %s", path.c_str(), error.c_str());
    if (scene.nodes.empty())
        return nullptr;
    return buildPodResource(scene, path);
}

} // namespace terrabo
