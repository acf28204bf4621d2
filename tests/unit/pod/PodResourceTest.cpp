// A parsed model turned into engine nodes, and the model file loaded from disk.
#include "PodFixtures.h"

#include "engine3d/MeshNode.h"
#include "engine3d/PodModel.h"
#include "tools/model/PodWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

namespace terrabo {
namespace {

using namespace podtest;

std::shared_ptr<Node3D> build(const pod::Scene& scene) {
    return buildPodResource(scene, "Balls.pod", [](const std::string& file) {
        return Picture{file, nullptr};
    });
}

TEST(PodResource, NodesKeepTheirTreeTransformsMeshesAndMaterials) {
    std::string error;
    auto resource = build(pod::read(pod::write(sampleScene()), error));
    ASSERT_TRUE(resource);
    auto* globe = dynamic_cast<MeshNode*>(resource->getNodeNamed("Globe"));
    ASSERT_NE(globe, nullptr);
    EXPECT_EQ(globe->parent(), resource.get());
    EXPECT_EQ(globe->location(), (Vec3{1, 2, 3}));
    EXPECT_EQ(globe->scale3D(), (Vec3{2, 2, 2}));
    ASSERT_TRUE(globe->mesh);
    EXPECT_EQ(globe->mesh->vertices.size(), 4u);
    EXPECT_EQ(globe->mesh->indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}));
    ASSERT_TRUE(globe->material);
    EXPECT_EQ(globe->material->diffuse, (Color4F{0.4f, 0.5f, 0.6f, 0.75f}));
    EXPECT_EQ(globe->material->specular, (Color4F{0.7f, 0.8f, 0.9f, 1}));
    EXPECT_EQ(globe->material->texture.key, "earth.jpg");

    auto* ball = dynamic_cast<MeshNode*>(resource->getNodeNamed("BeachBall"));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->mesh->indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}))
        << "a strip becomes a list with every other triangle turned back";
    EXPECT_EQ(ball->material, nullptr);

    Node3D* pin = resource->getNodeNamed("Pin");
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(dynamic_cast<MeshNode*>(pin), nullptr);
    EXPECT_EQ(pin->parent(), globe);
}

TEST(PodResource, StripsOfSeveralLengthsKeepTheirWinding) {
    pod::Scene scene;
    pod::Mesh mesh = squareMesh(true);
    // Strips of 2 and 1 triangles, then a strip running past the index data.
    mesh.stripLengths = {2, 1, 5};
    mesh.indices = {0, 1, 2, 3, 3, 2, 1, 0, 1, 2};
    scene.meshes = {mesh};
    scene.numMeshNodes = 1;
    scene.nodes = {node("Strips", 0, -1)};
    auto resource = build(scene);
    auto* strips = dynamic_cast<MeshNode*>(resource->getNodeNamed("Strips"));
    ASSERT_NE(strips, nullptr);
    EXPECT_EQ(strips->mesh->indices,
              (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3, 3, 2, 1, 0, 1, 2}));
}

// Rotating a vector by the unit quaternion (x, y, z, w).
Vec3 rotateByQuaternion(const std::array<float, 4>& q, Vec3 v) {
    const Vec3 u{q[0], q[1], q[2]};
    auto cross = [](Vec3 a, Vec3 b) {
        return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    const Vec3 t = cross(u, v) * 2.0f;
    return v + t * q[3] + cross(u, t);
}

std::array<float, 4> multiply(const std::array<float, 4>& a, const std::array<float, 4>& b) {
    return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1],
            a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
            a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3],
            a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

std::array<float, 4> aboutAxis(int axis, float degrees) {
    std::array<float, 4> q{0, 0, 0, std::cos(degrees * 3.14159265f / 360)};
    q[static_cast<std::size_t>(axis)] = std::sin(degrees * 3.14159265f / 360);
    return q;
}

void expectSameRotation(const Mat4& actual, const std::array<float, 4>& q) {
    for (Vec3 v : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}) {
        const Vec3 expected = rotateByQuaternion(q, v), got = actual.transformDirection(v);
        EXPECT_NEAR(got.x, expected.x, 2e-3f);
        EXPECT_NEAR(got.y, expected.y, 2e-3f);
        EXPECT_NEAR(got.z, expected.z, 2e-3f);
    }
}

TEST(PodResource, StoredQuaternionIsTheConjugateOfTheNodesRotation) {
    std::vector<std::array<float, 4>> rotations = {
        {0, 0, 0, 1},
        aboutAxis(1, 90),
        aboutAxis(0, 90),
        aboutAxis(0, -90),
        // Straight up or down, where the Euler angles lose a degree of freedom.
        multiply(multiply(aboutAxis(1, 30), aboutAxis(0, 90)), aboutAxis(2, 20)),
        multiply(multiply(aboutAxis(1, -120), aboutAxis(0, -90)), aboutAxis(2, 75)),
    };
    std::mt19937 random(7);
    std::normal_distribution<float> gauss;
    for (int i = 0; i < 20; ++i) {
        std::array<float, 4> q{gauss(random), gauss(random), gauss(random), gauss(random)};
        const float n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
        for (float& c : q)
            c /= n;
        rotations.push_back(q);
    }
    for (const auto& q : rotations) {
        SCOPED_TRACE(testing::Message() << q[0] << " " << q[1] << " " << q[2] << " " << q[3]);
        pod::Scene scene;
        pod::Node n = node("n", -1, -1);
        n.rotation = {-q[0], -q[1], -q[2], q[3]};
        scene.nodes = {n};
        auto resource = build(scene);
        expectSameRotation(Mat4::rotationEuler(resource->getNodeNamed("n")->rotation3D()), q);
    }
}

TEST(PodResource, NodeMatrixTakesOverFromPositionRotationAndScale) {
    struct Case {
        const char* what;
        Vec3 location, rotation, scale;
    };
    const Case cases[] = {
        {"turned and moved", {1, -2, 3}, {20, -35, 60}, {1, 1, 1}},
        {"scaled unevenly", {0, 0, -5}, {-10, 170, 5}, {2, 0.5f, 3}},
        {"mirrored", {0, 1, 0}, {0, 45, 0}, {-1, 1, 1}},
        {"looking straight down", {0, 0, 0}, {90, 30, 0}, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Mat4 m = Mat4::translation(c.location) * Mat4::rotationEuler(c.rotation) *
                       Mat4::scaling(c.scale);
        pod::Scene scene;
        pod::Node n = node("n", -1, -1);
        n.position = {9, 9, 9}; // ignored beside a matrix
        n.matrix = m.m;
        scene.nodes = {n};
        auto resource = build(scene);
        const Mat4 local = resource->getNodeNamed("n")->localTransform();
        for (std::size_t k = 0; k < 16; ++k)
            EXPECT_NEAR(local.m[k], m.m[k], 1e-4f) << "element " << k;
    }
}

TEST(PodResource, ValuesThatAreNotNumbersFallBackToTheRestPose) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    pod::Scene scene;
    pod::Node n = node("n", -1, -1);
    n.position = {nan, 0, 0};
    n.rotation = {0, inf, 0, 1};
    n.scale = {1, nan, 1};
    pod::Node zero = node("zero", -1, -1);
    zero.rotation = {0, 0, 0, 0};
    pod::Node badMatrix = node("badMatrix", -1, -1);
    badMatrix.position = {1, 2, 3};
    badMatrix.matrix = std::array<float, 16>{nan};
    scene.nodes = {n, zero, badMatrix};
    auto resource = build(scene);
    for (const char* name : {"n", "zero"}) {
        Node3D* node = resource->getNodeNamed(name);
        EXPECT_EQ(node->location(), Vec3{}) << name;
        EXPECT_EQ(node->rotation3D(), Vec3{}) << name;
        EXPECT_EQ(node->scale3D(), (Vec3{1, 1, 1})) << name;
    }
    EXPECT_EQ(resource->getNodeNamed("badMatrix")->location(), (Vec3{1, 2, 3}));
}

TEST(PodResource, BadIndicesAndParentsAreDroppedOrHungFromTheRoot) {
    pod::Scene scene;
    pod::Mesh mesh = squareMesh(false);
    mesh.indices = {0, 1, 2, 0, 1, 9, 2, 1, 3, 4};
    scene.meshes = {mesh};
    scene.numMeshNodes = 3;
    scene.nodes = {node("Square", 0, -1),    node("BadMesh", 7, -1),
                   node("NoMesh", -1, -1),   node("LoopA", -1, 4),
                   node("LoopB", -1, 3),     node("Self", -1, 5),
                   node("Outside", -1, 99),  node("Negative", -1, -7),
                   node("UnderLoop", -1, 3), node("MeshBeyondMeshNodes", 0, -1)};
    scene.nodes[0].material = 5; // no such material
    std::string error;
    auto resource = build(pod::read(pod::write(scene), error));
    EXPECT_EQ(error, "");
    ASSERT_TRUE(resource);

    auto* square = dynamic_cast<MeshNode*>(resource->getNodeNamed("Square"));
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->mesh->indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}))
        << "a triangle with a vertex out of range is dropped, a partial one too";
    EXPECT_EQ(square->material, nullptr);
    for (const char* plain : {"BadMesh", "NoMesh", "MeshBeyondMeshNodes"}) {
        ASSERT_NE(resource->getNodeNamed(plain), nullptr) << plain;
        EXPECT_EQ(dynamic_cast<MeshNode*>(resource->getNodeNamed(plain)), nullptr) << plain;
    }
    for (const char* name : {"LoopA", "LoopB", "Self", "Outside", "Negative", "UnderLoop"}) {
        Node3D* n = resource->getNodeNamed(name);
        ASSERT_NE(n, nullptr) << name;
        EXPECT_EQ(n->parent(), resource.get()) << name;
    }
}

TEST(PodResource, LongParentChainsAreCutSoTheTreeStaysShallow) {
    pod::Scene scene;
    constexpr int kNodes = 100000;
    for (int i = 0; i < kNodes; ++i)
        scene.nodes.push_back(node(("n" + std::to_string(i)).c_str(), -1, i - 1));
    auto resource = build(scene);
    int deepest = 0;
    std::size_t reached = 0;
    std::vector<std::pair<const Node*, int>> stack = {{resource.get(), 0}};
    while (!stack.empty()) {
        auto [n, depth] = stack.back();
        stack.pop_back();
        deepest = std::max(deepest, depth);
        ++reached;
        for (const auto& child : n->children())
            stack.emplace_back(child.get(), depth + 1);
    }
    EXPECT_EQ(reached, std::size_t{kNodes} + 1);
    EXPECT_LE(deepest, 65);
    EXPECT_GE(deepest, 32) << "chains of reasonable length are kept";
}

TEST(PodResource, MissingOrUnreadableModelLogsOneLineAndGivesNothing) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto empty = dir / "terrabo-empty.pod";
    std::ofstream(empty, std::ios::binary).flush();
    for (const auto& path : {std::filesystem::path("/nonexistent/Balls.pod"), dir, empty}) {
        SCOPED_TRACE(path.string());
        LogCapture log;
        EXPECT_EQ(loadPodResource(path.string()), nullptr);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_NE(log.lines[0].find(path.string()), std::string::npos) << log.lines[0];
    }
    std::filesystem::remove(empty);
}

TEST(PodResource, DamagedModelFileKeepsWhatCameBeforeTheDamageAndSaysWhere) {
    Bytes bytes = pod::write(sampleScene());
    const std::size_t texture = findTag(bytes, pod::kTexture);
    bytes.resize(texture + 12); // into the texture's first child's header
    const auto path = std::filesystem::temp_directory_path() / "terrabo-damaged.pod";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    LogCapture log;
    auto resource = loadPodResource(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(resource);
    EXPECT_NE(resource->getNodeNamed("Globe"), nullptr);
    EXPECT_NE(resource->getNodeNamed("Pin"), nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0],
              "model " + path.string() + ": truncated at byte " + std::to_string(texture + 8));
}

} // namespace
} // namespace terrabo
