#include "tools/model/UvSphere.h"

#include <cmath>
#include <cstring>

namespace terrabo::pod {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vertex {
    float position[3];
    float normal[3];
    float uv[2];
};
static_assert(sizeof(Vertex) == 32);

} // namespace

Mesh uvSphere(float radius, int segments, int rings) {
    std::vector<Vertex> vertices;
    for (int j = 0; j <= rings; ++j) {
        const double lat = (90.0 - 180.0 * j / rings) * kPi / 180;
        const bool pole = j == 0 || j == rings;
        for (int i = 0; i <= segments; ++i) {
            // The date line's second column repeats the first one's positions exactly.
            const double lon = (-180.0 + 360.0 * (i % segments) / segments) * kPi / 180;
            const double n[3] = {-std::sin(lon) * std::cos(lat), std::sin(lat),
                                 -std::cos(lon) * std::cos(lat)};
            Vertex v{};
            for (int k = 0; k < 3; ++k) {
                v.normal[k] = static_cast<float>(n[k]);
                v.position[k] = static_cast<float>(n[k] * radius);
            }
            v.uv[0] = static_cast<float>((pole ? i + 0.5 : i) / segments);
            v.uv[1] = static_cast<float>(static_cast<double>(j) / rings);
            vertices.push_back(v);
        }
    }
    // Quad (i, j): a top-west, b bottom-west, c bottom-east, d top-east. At a
    // pole two of its corners meet, and the triangle kept there is the one
    // holding pole vertex i, whose u is the column's middle.
    Mesh mesh;
    const int row = segments + 1;
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const auto a = static_cast<std::uint16_t>(j * row + i);
            const auto b = static_cast<std::uint16_t>((j + 1) * row + i);
            const auto c = static_cast<std::uint16_t>((j + 1) * row + i + 1);
            const auto d = static_cast<std::uint16_t>(j * row + i + 1);
            if (j == 0)
                mesh.indices.insert(mesh.indices.end(), {a, b, c});
            else if (j == rings - 1)
                mesh.indices.insert(mesh.indices.end(), {a, b, d});
            else
                mesh.indices.insert(mesh.indices.end(), {a, b, d, b, c, d});
        }
    mesh.numVertices = static_cast<std::uint32_t>(vertices.size());
    mesh.numFaces = static_cast<std::uint32_t>(mesh.indices.size() / 3);
    mesh.interleaved.resize(vertices.size() * sizeof(Vertex));
    std::memcpy(mesh.interleaved.data(), vertices.data(), mesh.interleaved.size());
    constexpr auto stride = static_cast<std::uint32_t>(sizeof(Vertex));
    mesh.positions = {kFloat, 3, stride, 0};
    mesh.normals = {kFloat, 3, stride, 12};
    mesh.uvs = {kFloat, 2, stride, 24};
    return mesh;
}

} // namespace terrabo::pod
