// Damage the fuzzer found: counts that promise more than the file holds.
#include "engine3d/MeshNode.h"
#include "engine3d/PodModel.h"
#include "tools/model/PodWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace terrabo {
namespace {

pod::Scene oneTriangle() {
    pod::Scene scene;
    pod::Mesh mesh;
    const float vertices[3][8] = {{0, 0, 0, 0, 0, 1, 0, 0}, {1, 0, 0, 0, 0, 1, 1, 0}, {0, 1, 0, 0, 0, 1, 0, 1}};
    mesh.interleaved.resize(sizeof vertices);
    std::memcpy(mesh.interleaved.data(), vertices, sizeof vertices);
    mesh.numVertices = 3;
    mesh.numFaces = 1;
    mesh.indices = {0, 1, 2};
    mesh.positions = {pod::kFloat, 3, 32, 0};
    mesh.normals = {pod::kFloat, 3, 32, 12};
    mesh.uvs = {pod::kFloat, 2, 32, 24};
    scene.meshes.push_back(mesh);
    pod::Node node;
    node.name = "Tri";
    node.index = 0;
    scene.nodes.push_back(node);
    scene.numMeshNodes = 1;
    return scene;
}

TEST(PodDamage, VertexCountsBeyondTheDataLeaveTheMeshAbsent) {
    for (std::uint32_t count : {4u, 1000u, 0x7fffffffu, 0xffffffffu}) {
        pod::Scene scene = oneTriangle();
        scene.meshes[0].numVertices = count;
        std::string error;
        const pod::Scene read = pod::read(pod::write(scene), error);
        auto resource = buildPodResource(read, "damaged");
        ASSERT_TRUE(resource) << count;
        Node3D* node = resource->getNodeNamed("Tri");
        ASSERT_NE(node, nullptr) << count;
        EXPECT_EQ(dynamic_cast<MeshNode*>(node), nullptr) << "count " << count;
    }
}

TEST(PodDamage, AnIntactTriangleKeepsItsMesh) {
    std::string error;
    const pod::Scene read = pod::read(pod::write(oneTriangle()), error);
    EXPECT_TRUE(error.empty()) << error;
    auto resource = buildPodResource(read, "intact");
    auto* mesh = dynamic_cast<MeshNode*>(resource->getNodeNamed("Tri"));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->mesh->vertices.size(), 3u);
    EXPECT_EQ(mesh->mesh->indices.size(), 3u);
}

} // namespace
} // namespace terrabo
