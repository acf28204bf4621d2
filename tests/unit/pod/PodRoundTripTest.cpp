// What the writer puts in a file the reader gets back.
#include "PodFixtures.h"

#include "engine3d/pod/VertexData.h"
#include "tools/model/PodWriter.h"

#include <gtest/gtest.h>

namespace terrabo {
namespace {

using namespace podtest;

// Vertex by vertex, since the two layouts place the same values differently.
void expectSameVertices(const pod::Mesh& a, const pod::Mesh& b) {
    ASSERT_EQ(a.numVertices, b.numVertices);
    for (std::uint32_t v = 0; v < a.numVertices; ++v) {
        float pa[3], pb[3], na[3], nb[3], ua[2], ub[2];
        ASSERT_TRUE(pod::readVertex(a, a.positions, v, 3, pa) &&
                    pod::readVertex(b, b.positions, v, 3, pb));
        ASSERT_TRUE(pod::readVertex(a, a.normals, v, 3, na) &&
                    pod::readVertex(b, b.normals, v, 3, nb));
        ASSERT_TRUE(pod::readVertex(a, a.uvs, v, 2, ua) && pod::readVertex(b, b.uvs, v, 2, ub));
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(pa[k], pb[k]) << "vertex " << v;
            EXPECT_EQ(na[k], nb[k]) << "vertex " << v;
        }
        EXPECT_EQ(ua[0], ub[0]) << "vertex " << v;
        EXPECT_EQ(ua[1], ub[1]) << "vertex " << v;
    }
}

TEST(PodRoundTrip, WrittenSceneReadsBackUnchangedInEitherLayout) {
    pod::Scene written = sampleScene();
    written.nodes[2].matrix =
        std::array<float, 16>{2, 0, 0, 0, 0, 0, 3, 0, 0, -4, 0, 0, 5, 6, 7, 1};
    for (const auto layout : {pod::VertexLayout::Interleaved, pod::VertexLayout::Separate}) {
        SCOPED_TRACE(layout == pod::VertexLayout::Interleaved ? "interleaved" : "separate");
        std::string error;
        const pod::Scene read = pod::read(pod::write(written, layout), error);
        EXPECT_EQ(error, "");

        EXPECT_EQ(read.numMeshNodes, written.numMeshNodes);
        ASSERT_EQ(read.meshes.size(), written.meshes.size());
        for (std::size_t i = 0; i < read.meshes.size(); ++i) {
            const pod::Mesh &a = read.meshes[i], &b = written.meshes[i];
            EXPECT_EQ(a.numFaces, b.numFaces);
            EXPECT_EQ(a.stripLengths, b.stripLengths);
            EXPECT_EQ(a.indices, b.indices);
            expectSameVertices(a, b);
        }
        ASSERT_EQ(read.nodes.size(), written.nodes.size());
        for (std::size_t i = 0; i < read.nodes.size(); ++i) {
            const pod::Node &a = read.nodes[i], &b = written.nodes[i];
            EXPECT_EQ(a.name, b.name);
            EXPECT_EQ(a.index, b.index);
            EXPECT_EQ(a.material, b.material);
            EXPECT_EQ(a.parent, b.parent);
            EXPECT_EQ(a.position, b.position);
            EXPECT_EQ(a.rotation, b.rotation);
            EXPECT_EQ(a.scale, b.scale);
            EXPECT_EQ(a.matrix, b.matrix);
        }
        ASSERT_EQ(read.materials.size(), 1u);
        const pod::Material &m = read.materials[0], &w = written.materials[0];
        EXPECT_EQ(m.name, w.name);
        EXPECT_EQ(m.texture, w.texture);
        EXPECT_EQ(m.opacity, w.opacity);
        EXPECT_EQ(m.ambient, w.ambient);
        EXPECT_EQ(m.diffuse, w.diffuse);
        EXPECT_EQ(m.specular, w.specular);
        EXPECT_EQ(m.shininess, w.shininess);
        EXPECT_EQ(read.textures, written.textures);
    }
}

TEST(PodRoundTrip, FixedPointFlagTurnsValuesInto16_16) {
    Bytes bytes = pod::write(sampleScene());
    putU32(bytes, findTag(bytes, pod::kFlags) + 8, pod::kFixedPointFlag);
    const std::size_t position = findTag(bytes, pod::kNodePosition) + 8;
    putU32(bytes, position, 0x00018000u);     // 1.5
    putU32(bytes, position + 4, 0xFFFF0000u); // -1
    putU32(bytes, position + 8, 0);
    const std::size_t shininess = findTag(bytes, pod::kMaterialShininess) + 8;
    putU32(bytes, shininess, 20u << 16);
    std::string error;
    const pod::Scene read = pod::read(bytes, error);
    EXPECT_EQ(error, "");
    ASSERT_FALSE(read.nodes.empty());
    EXPECT_EQ(read.nodes[0].position, (std::array<float, 3>{1.5f, -1.0f, 0.0f}));
    ASSERT_FALSE(read.materials.empty());
    EXPECT_EQ(read.materials[0].shininess, 20.0f);
}

TEST(PodRoundTrip, VertexValuesOfEveryNumericType) {
    struct Case {
        std::uint32_t type;
        Bytes stored; // one component
        float expected;
    };
    const Case cases[] = {
        {pod::kFloat, {0x00, 0x00, 0xC0, 0x3F}, 1.5f},
        {pod::kFixed16_16, {0x00, 0x80, 0xFF, 0xFF}, -0.5f},
        {pod::kInt, {0xFE, 0xFF, 0xFF, 0xFF}, -2.0f},
        {pod::kUnsignedInt, {0x00, 0x00, 0x01, 0x00}, 65536.0f},
        {pod::kShort, {0x00, 0x80}, -32768.0f},
        {pod::kShortNorm, {0xFF, 0x7F}, 1.0f},
        {pod::kUnsignedShort, {0xFF, 0xFF}, 65535.0f},
        {pod::kUnsignedShortNorm, {0xFF, 0xFF}, 1.0f},
        {pod::kByte, {0x80}, -128.0f},
        {pod::kByteNorm, {0x81}, -1.0f},
        {pod::kUnsignedByte, {0xC8}, 200.0f},
        {pod::kUnsignedByteNorm, {0xFF}, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        pod::Mesh mesh;
        mesh.numVertices = 2;
        // Vertex 1 holds the value; vertex 0 is padding that must not be read.
        const auto size = static_cast<std::uint32_t>(c.stored.size());
        mesh.interleaved.assign(size, 0xAA);
        mesh.interleaved.insert(mesh.interleaved.end(), c.stored.begin(), c.stored.end());
        const pod::Attribute attr{c.type, 1, size, 0};
        float value = 0;
        ASSERT_TRUE(pod::readVertex(mesh, attr, 1, 1, &value));
        EXPECT_EQ(value, c.expected);
        EXPECT_FALSE(pod::readVertex(mesh, attr, 2, 1, &value)) << "past the data";
        EXPECT_FALSE(pod::readVertex(mesh, attr, 1, 2, &value)) << "more components than stored";
    }
    pod::Mesh mesh;
    mesh.interleaved.assign(8, 0);
    float value;
    EXPECT_FALSE(pod::readVertex(mesh, {4 /* packed RGBA */, 1, 4, 0}, 0, 1, &value));
    EXPECT_FALSE(
        pod::readVertex(mesh, {pod::kFloat, 1, 0xFFFFFFFFu, 0xFFFFFFFFu}, 0xFFFFFFFFu, 1, &value));
}

} // namespace
} // namespace terrabo
