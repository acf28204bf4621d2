#include "engine3d/MeshNode.h"
#include "engine3d/PodModel.h"
#include "platform/Log.h"
#include "tools/model/PodWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace terrabo {
namespace {

// Interleaved position, normal, uv: 32 bytes a vertex.
pod::Mesh squareMesh(bool strips) {
    pod::Mesh mesh;
    const float v[4][8] = {{-1, -1, 0, 0, 0, 1, 0, 1}, {1, -1, 0, 0, 0, 1, 1, 1},
                           {-1, 1, 0, 0, 0, 1, 0, 0}, {1, 1, 0, 0, 0, 1, 1, 0}};
    mesh.interleaved.resize(sizeof v);
    std::memcpy(mesh.interleaved.data(), v, sizeof v);
    mesh.numVertices = 4;
    mesh.numFaces = 2;
    mesh.positions = {pod::kFloat, 3, 32, 0};
    mesh.normals = {pod::kFloat, 3, 32, 12};
    mesh.uvs = {pod::kFloat, 2, 32, 24};
    if (strips) {
        mesh.stripLengths = {2};
        mesh.indices = {0, 1, 2, 3};
    } else {
        mesh.indices = {0, 1, 2, 2, 1, 3};
    }
    return mesh;
}

pod::Node node(const char* name, std::int32_t index, std::int32_t parent) {
    pod::Node n;
    n.name = name;
    n.index = index;
    n.parent = parent;
    return n;
}

// Two mesh nodes (a list and a strip), a plain child of the first, one textured material.
pod::Scene sampleScene() {
    pod::Scene scene;
    scene.meshes = {squareMesh(false), squareMesh(true)};
    scene.numMeshNodes = 2;
    pod::Node globe = node("Globe", 0, -1);
    globe.material = 0;
    globe.position = {1, 2, 3};
    globe.rotation = {0, std::sin(0.25f), 0, std::cos(0.25f)};
    globe.scale = {2, 2, 2};
    scene.nodes = {globe, node("BeachBall", 1, -1), node("Pin", -1, 0)};
    pod::Material m;
    m.name = "earth";
    m.texture = 0;
    m.opacity = 0.75f;
    m.ambient = {0.1f, 0.2f, 0.3f};
    m.diffuse = {0.4f, 0.5f, 0.6f};
    m.specular = {0.7f, 0.8f, 0.9f};
    m.shininess = 12.0f;
    scene.materials = {m};
    scene.textures = {"earth.jpg"};
    return scene;
}

void expectSameAttribute(const pod::Attribute& a, const pod::Attribute& b) {
    EXPECT_EQ(a.type, b.type);
    EXPECT_EQ(a.components, b.components);
    EXPECT_EQ(a.stride, b.stride);
    EXPECT_EQ(a.offset, b.offset);
}

TEST(PodFile, WrittenSceneReadsBackUnchanged) {
    const pod::Scene written = sampleScene();
    std::string error;
    const pod::Scene read = pod::read(pod::write(written), error);
    EXPECT_EQ(error, "");

    EXPECT_EQ(read.numMeshNodes, written.numMeshNodes);
    ASSERT_EQ(read.meshes.size(), written.meshes.size());
    for (std::size_t i = 0; i < read.meshes.size(); ++i) {
        const pod::Mesh &a = read.meshes[i], &b = written.meshes[i];
        EXPECT_EQ(a.numVertices, b.numVertices);
        EXPECT_EQ(a.numFaces, b.numFaces);
        EXPECT_EQ(a.stripLengths, b.stripLengths);
        EXPECT_EQ(a.interleaved, b.interleaved);
        EXPECT_EQ(a.indices, b.indices);
        expectSameAttribute(a.positions, b.positions);
        expectSameAttribute(a.normals, b.normals);
        expectSameAttribute(a.uvs, b.uvs);
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

TEST(PodFile, NodesKeepTheirTreeTransformsAndMeshes) {
    std::string error;
    auto resource = buildPodResource(pod::read(pod::write(sampleScene()), error), "Balls.pod");
    ASSERT_TRUE(resource);
    auto* globe = dynamic_cast<MeshNode*>(resource->getNodeNamed("Globe"));
    ASSERT_NE(globe, nullptr);
    EXPECT_EQ(globe->parent(), resource.get());
    EXPECT_EQ(globe->location(), (Vec3{1, 2, 3}));
    EXPECT_EQ(globe->scale3D(), (Vec3{2, 2, 2}));
    ASSERT_TRUE(globe->mesh);
    EXPECT_EQ(globe->mesh->indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}));
    ASSERT_TRUE(globe->material);
    EXPECT_EQ(globe->material->diffuse, (Color4F{0.4f, 0.5f, 0.6f, 0.75f}));
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

// Rotating a vector by the unit quaternion (x, y, z, w).
Vec3 rotateByQuaternion(const float q[4], Vec3 v) {
    const Vec3 u{q[0], q[1], q[2]};
    auto cross = [](Vec3 a, Vec3 b) {
        return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    };
    const Vec3 t = cross(u, v) * 2.0f;
    return v + t * q[3] + cross(u, t);
}

TEST(PodFile, StoredQuaternionIsTheConjugateOfTheNodesRotation) {
    std::mt19937 random(7);
    std::normal_distribution<float> gauss;
    std::vector<std::array<float, 4>> rotations = {
        {0, 0, 0, 1}, {0, std::sin(0.785398f), 0, std::cos(0.785398f)}, {std::sin(0.785398f), 0, 0, std::cos(0.785398f)}};
    for (int i = 0; i < 20; ++i) {
        std::array<float, 4> q{gauss(random), gauss(random), gauss(random), gauss(random)};
        const float n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
        for (float& c : q)
            c /= n;
        rotations.push_back(q);
    }
    for (const auto& q : rotations) {
        pod::Scene scene;
        pod::Node n = node("n", -1, -1);
        n.rotation = {-q[0], -q[1], -q[2], q[3]};
        scene.nodes = {n};
        auto resource = buildPodResource(scene, "r");
        const Mat4 m = Mat4::rotationEuler(resource->getNodeNamed("n")->rotation3D());
        for (Vec3 v : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}}) {
            const Vec3 expected = rotateByQuaternion(q.data(), v);
            const Vec3 actual = m.transformDirection(v);
            EXPECT_NEAR(actual.x, expected.x, 2e-3f);
            EXPECT_NEAR(actual.y, expected.y, 2e-3f);
            EXPECT_NEAR(actual.z, expected.z, 2e-3f);
        }
    }
}

TEST(PodFile, BadIndicesAndParentsAreDroppedOrHungFromTheRoot) {
    pod::Scene scene;
    pod::Mesh mesh = squareMesh(false);
    mesh.indices = {0, 1, 2, 0, 1, 9, 2, 1, 3, 4};
    scene.meshes = {mesh};
    scene.numMeshNodes = 3;
    scene.nodes = {node("Square", 0, -1),  node("BadMesh", 7, -1), node("NoMesh", -1, -1),
                   node("LoopA", -1, 4),   node("LoopB", -1, 3),   node("Self", -1, 5),
                   node("Outside", -1, 99), node("Negative", -1, -7), node("UnderLoop", -1, 3)};
    scene.nodes[0].material = 5; // no such material
    std::string error;
    auto resource = buildPodResource(pod::read(pod::write(scene), error), "r");
    EXPECT_EQ(error, "");
    ASSERT_TRUE(resource);

    auto* square = dynamic_cast<MeshNode*>(resource->getNodeNamed("Square"));
    ASSERT_NE(square, nullptr);
    EXPECT_EQ(square->mesh->indices, (std::vector<std::uint16_t>{0, 1, 2, 2, 1, 3}))
        << "a triangle with a vertex out of range is dropped, a partial one too";
    EXPECT_EQ(square->material, nullptr);
    EXPECT_EQ(dynamic_cast<MeshNode*>(resource->getNodeNamed("BadMesh")), nullptr);
    EXPECT_NE(resource->getNodeNamed("BadMesh"), nullptr);

    for (const char* name : {"LoopA", "LoopB", "Self", "Outside", "Negative", "UnderLoop"}) {
        Node3D* n = resource->getNodeNamed(name);
        ASSERT_NE(n, nullptr) << name;
        EXPECT_EQ(n->parent(), resource.get()) << name;
    }
}

TEST(PodFile, MissingModelLogsOneLineAndGivesNothing) {
    std::vector<std::string> lines;
    setLogSink([&](const std::string& l) { lines.push_back(l); });
    setLogToStderr(false);
    auto resource = loadPodResource("/nonexistent/Balls.pod");
    setLogSink({});
    setLogToStderr(true);
    EXPECT_EQ(resource, nullptr);
    EXPECT_EQ(lines.size(), 1u);
}

TEST(PodFile, DamagedModelFileKeepsWhatCameBeforeTheDamageAndLogs) {
    std::vector<std::uint8_t> bytes = pod::write(sampleScene());
    bytes.resize(bytes.size() - 40); // into the texture block
    const auto path = std::filesystem::temp_directory_path() / "terrabo-damaged.pod";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    std::vector<std::string> lines;
    setLogSink([&](const std::string& l) { lines.push_back(l); });
    setLogToStderr(false);
    auto resource = loadPodResource(path.string());
    setLogSink({});
    setLogToStderr(true);
    std::filesystem::remove(path);
    ASSERT_TRUE(resource);
    EXPECT_NE(resource->getNodeNamed("Globe"), nullptr);
    EXPECT_NE(resource->getNodeNamed("Pin"), nullptr);
    EXPECT_EQ(lines.size(), 1u);
}

// --- Damaged files: the reader must neither crash nor read outside the buffer
// (run under the address sanitizer to be sure), and must say what went wrong.

using Bytes = std::vector<std::uint8_t>;

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t getU32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
// Offset of the first start tag with this id, walking tag by tag (blocks are unaligned).
std::size_t findTag(const Bytes& b, std::uint32_t id) {
    for (std::size_t at = 0; at + 8 <= b.size();) {
        const std::uint32_t tag = getU32(b, at);
        if (tag == id)
            return at;
        at += 8 + (tag & pod::kEndBit ? 0 : getU32(b, at + 4));
    }
    ADD_FAILURE() << "tag " << id << " not found";
    return 0;
}

// Reads and builds; what matters is surviving it.
pod::Scene survive(const Bytes& bytes, std::string& error) {
    pod::Scene scene = pod::read(bytes, error);
    buildPodResource(scene, "damaged");
    return scene;
}

TEST(PodDamagedFile, TruncatedAnywhereReportsAnError) {
    const Bytes whole = pod::write(sampleScene());
    for (std::size_t size = 0; size < whole.size(); ++size) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        std::string error;
        survive(cut, error);
        EXPECT_NE(error, "") << "cut at " << size << " of " << whole.size();
    }
}

TEST(PodDamagedFile, BrokenStructureReportsAnError) {
    const Bytes whole = pod::write(sampleScene());
    struct Case {
        const char* what;
        void (*damage)(Bytes&);
    };
    const Case cases[] = {
        {"empty file", [](Bytes& b) { b.clear(); }},
        {"version only", [](Bytes& b) { b.resize(27); }},
        {"wrong version", [](Bytes& b) { b[11] = '1'; }},
        {"version length", [](Bytes& b) { putU32(b, 4, 10); }},
        {"no version block", [](Bytes& b) { b.erase(b.begin(), b.begin() + 27); }},
        {"bytes swapped",
         [](Bytes& b) {
             for (std::size_t i = 0; i + 4 <= b.size(); i += 4) {
                 std::swap(b[i], b[i + 3]);
                 std::swap(b[i + 1], b[i + 2]);
             }
         }},
        {"block longer than the file", [](Bytes& b) { putU32(b, findTag(b, pod::kMeshInterleaved) + 4, 0xFFFFFFF0u); }},
        {"block one byte longer", [](Bytes& b) {
             const std::size_t at = findTag(b, pod::kNodeName);
             putU32(b, at + 4, getU32(b, at + 4) + 1);
         }},
        {"block one byte shorter", [](Bytes& b) {
             const std::size_t at = findTag(b, pod::kMeshInterleaved);
             putU32(b, at + 4, getU32(b, at + 4) - 1);
         }},
        {"container end tag missing", [](Bytes& b) { b.resize(b.size() - 8); }},
        {"stray end tag", [](Bytes& b) { putU32(b, findTag(b, pod::kNode), pod::kMaterial | pod::kEndBit); }},
        {"32-bit indices", [](Bytes& b) {
             const std::size_t at = findTag(b, pod::kMeshFaces);
             putU32(b, at + 16, 17); // the data type leaf right inside
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = whole;
        c.damage(bytes);
        std::string error;
        survive(bytes, error);
        EXPECT_NE(error, "");
    }
}

TEST(PodDamagedFile, WrongVersionOrByteOrderYieldsNothing) {
    Bytes swapped = pod::write(sampleScene());
    for (std::size_t i = 0; i + 4 <= swapped.size(); i += 4)
        std::reverse(swapped.begin() + static_cast<std::ptrdiff_t>(i), swapped.begin() + static_cast<std::ptrdiff_t>(i + 4));
    Bytes otherVersion = pod::write(sampleScene());
    otherVersion[11] = '3';
    for (const Bytes& bytes : {swapped, otherVersion}) {
        std::string error;
        EXPECT_TRUE(pod::read(bytes, error).nodes.empty());
        EXPECT_NE(error, "");
    }
}

TEST(PodDamagedFile, HugeCountsAndIndicesAreSurvived) {
    struct Case {
        const char* what;
        void (*damage)(pod::Scene&);
    };
    const Case cases[] = {
        {"mesh node count", [](pod::Scene& s) { s.numMeshNodes = 0xFFFFFFFFu; }},
        {"strip length", [](pod::Scene& s) { s.meshes[1].stripLengths = {0xFFFFFFFFu, 0xFFFFFFFEu}; }},
        {"many strips", [](pod::Scene& s) { s.meshes[1].stripLengths.assign(5000, 1); }},
        {"face count", [](pod::Scene& s) { s.meshes[0].numFaces = 0xFFFFFFFFu; }},
        {"mesh index", [](pod::Scene& s) { s.nodes[0].index = 0x7FFFFFFF; }},
        {"material index", [](pod::Scene& s) { s.nodes[0].material = 0x7FFFFFFF; }},
        {"texture index", [](pod::Scene& s) { s.materials[0].texture = 0x7FFFFFFF; }},
        {"parent index", [](pod::Scene& s) { s.nodes[2].parent = 0x7FFFFFFF; }},
        {"attribute stride", [](pod::Scene& s) { s.meshes[0].positions.stride = 0xFFFFFFFFu; }},
        {"attribute offset", [](pod::Scene& s) { s.meshes[0].normals.offset = 0xFFFFFFFFu; }},
        {"attribute components", [](pod::Scene& s) { s.meshes[0].uvs.components = 0xFFFFFFFFu; }},
        {"zero stride", [](pod::Scene& s) { s.meshes[0].positions.stride = 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        pod::Scene scene = sampleScene();
        c.damage(scene);
        std::string error;
        const pod::Scene read = survive(pod::write(scene), error);
        EXPECT_EQ(read.nodes.size(), 3u) << "the nodes themselves are intact";
    }
}

TEST(PodDamagedFile, RandomBytesAndFlippedBytesAreSurvived) {
    std::mt19937 random(2024);
    const Bytes whole = pod::write(sampleScene());
    const Bytes version(whole.begin(), whole.begin() + 27);
    for (int i = 0; i < 300; ++i) {
        Bytes bytes = i % 2 ? version : Bytes{};
        const std::size_t n = random() % 600;
        for (std::size_t k = 0; k < n; ++k)
            bytes.push_back(static_cast<std::uint8_t>(random()));
        std::string error;
        survive(bytes, error);
        if (i % 2 == 0 && n > 0) {
            EXPECT_NE(error, "");
        }
    }
    // Every byte of a good file in turn set to values that upset lengths, tags and counts.
    for (std::size_t at = 0; at < whole.size(); ++at)
        for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
            Bytes bytes = whole;
            bytes[at] = value;
            std::string error;
            survive(bytes, error);
        }
}

} // namespace
} // namespace terrabo
