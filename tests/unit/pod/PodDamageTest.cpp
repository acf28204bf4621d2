// Damaged files: the reader must neither crash nor read outside the buffer
// (the sanitizer builds make sure), must say what went wrong and where, and
// must keep only whole elements.
#include "PodFixtures.h"

#include "engine3d/MeshNode.h"
#include "engine3d/PodModel.h"
#include "tools/model/PodWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace terrabo {
namespace {

using namespace podtest;

pod::Scene survive(const Bytes& bytes, std::string& error) {
    pod::Scene scene = pod::read(bytes, error);
    buildPodResource(scene, "damaged", [](const std::string& f) { return Picture{f, nullptr}; });
    return scene;
}

TEST(PodDamage, TruncatedAnywhereSaysWhereAndKeepsOnlyWholeElements) {
    const pod::Scene original = sampleScene();
    const Bytes whole = pod::write(original);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        SCOPED_TRACE(testing::Message() << "cut at " << size << " of " << whole.size());
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        std::string error;
        const pod::Scene read = survive(cut, error);
        ASSERT_NE(error.find(" at byte "), std::string::npos) << error;
        // Whatever came through is the start of what was written, unchanged.
        ASSERT_LE(read.nodes.size(), original.nodes.size());
        for (std::size_t i = 0; i < read.nodes.size(); ++i) {
            EXPECT_EQ(read.nodes[i].name, original.nodes[i].name);
            EXPECT_EQ(read.nodes[i].parent, original.nodes[i].parent);
            EXPECT_EQ(read.nodes[i].scale, original.nodes[i].scale);
        }
        ASSERT_LE(read.meshes.size(), original.meshes.size());
        for (std::size_t i = 0; i < read.meshes.size(); ++i) {
            EXPECT_EQ(read.meshes[i].indices, original.meshes[i].indices);
            EXPECT_EQ(read.meshes[i].interleaved, original.meshes[i].interleaved);
            EXPECT_EQ(read.meshes[i].uvs.offset, original.meshes[i].uvs.offset);
        }
        ASSERT_LE(read.textures.size(), original.textures.size());
        for (std::size_t i = 0; i < read.textures.size(); ++i)
            EXPECT_EQ(read.textures[i], original.textures[i]);
    }
}

TEST(PodDamage, ACutInsideANodeLeavesThatNodeAndTheRestAbsent) {
    const Bytes whole = pod::write(sampleScene());
    const std::size_t second = findTag(whole, pod::kNode, 1);
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(second + 30));
    std::string error;
    const pod::Scene read = pod::read(cut, error);
    ASSERT_EQ(read.nodes.size(), 1u);
    EXPECT_EQ(read.nodes[0].name, "Globe");
    auto resource = buildPodResource(read, "cut", [](const std::string& f) {
        return Picture{f, nullptr};
    });
    EXPECT_NE(resource->getNodeNamed("Globe"), nullptr);
    EXPECT_EQ(resource->getNodeNamed("BeachBall"), nullptr);
}

TEST(PodDamage, BrokenStructureIsReported) {
    const Bytes whole = pod::write(sampleScene());
    struct Case {
        const char* what;
        void (*damage)(Bytes&);
        const char* says;
    };
    const Case cases[] = {
        {"empty file", [](Bytes& b) { b.clear(); }, "no version block at byte 0"},
        {"version only", [](Bytes& b) { b.resize(27); }, "no scene block at byte 27"},
        {"wrong version", [](Bytes& b) { b[16] = '1'; }, "not version AB.POD.2.0 at byte 0"},
        {"version length", [](Bytes& b) { putU32(b, 4, 10); }, "block 1000 has no end tag"},
        {"no version block", [](Bytes& b) { b.erase(b.begin(), b.begin() + 27); },
         "scene before the version block at byte 0"},
        {"bytes swapped",
         [](Bytes& b) {
             for (std::size_t i = 0; i + 4 <= b.size(); i += 4)
                 std::reverse(b.begin() + static_cast<std::ptrdiff_t>(i),
                              b.begin() + static_cast<std::ptrdiff_t>(i + 4));
         },
         "big-endian"},
        {"block longer than the file",
         [](Bytes& b) { putU32(b, findTag(b, pod::kMeshInterleaved) + 4, 0xFFFFFFF0u); },
         "block 6014 runs past the end of the file"},
        {"block one byte longer",
         [](Bytes& b) {
             const std::size_t at = findTag(b, pod::kNodeName);
             putU32(b, at + 4, getU32(b, at + 4) + 1);
         },
         "block 5001 has no end tag"},
        {"block one byte shorter",
         [](Bytes& b) {
             const std::size_t at = findTag(b, pod::kMeshInterleaved);
             putU32(b, at + 4, getU32(b, at + 4) - 1);
         },
         "block 6014 has no end tag"},
        {"scene end tag missing", [](Bytes& b) { b.resize(b.size() - 8); }, "truncated"},
        {"stray end tag",
         [](Bytes& b) { putU32(b, findTag(b, pod::kNode), pod::kMaterial | pod::kEndBit); },
         "stray end tag of block 2015"},
        {"32-bit indices too large",
         [](Bytes& b) {
             const std::size_t faces = findTag(b, pod::kMeshFaces);
             putU32(b, faces + 16, pod::kUnsignedInt); // the data type leaf right inside
             const std::size_t data = findTag(b, pod::kData);
             putU32(b, data + 8, 0x00020000u);
         },
         "mesh indices beyond 16 bits"},
        {"index type unknown",
         [](Bytes& b) { putU32(b, findTag(b, pod::kMeshFaces) + 16, pod::kFloat); },
         "mesh indices of unknown type 1"},
        {"counts differ", [](Bytes& b) { putU32(b, findTag(b, pod::kNumNodes) + 8, 4); },
         "block counts differ"},
        {"nested without end",
         [](Bytes& b) {
             // Unknown containers, each opening the next.
             Bytes nest;
             for (int i = 0; i < 40; ++i)
                 nest.insert(nest.end(), {0x39, 0x05, 0, 0, 0, 0, 0, 0});
             b.insert(b.begin() + static_cast<std::ptrdiff_t>(findTag(b, pod::kNode)), nest.begin(),
                      nest.end());
         },
         "blocks nested too deep"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes = whole;
        c.damage(bytes);
        std::string error;
        survive(bytes, error);
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

TEST(PodDamage, WrongVersionOrByteOrderYieldsNothing) {
    Bytes swapped = pod::write(sampleScene());
    for (std::size_t i = 0; i + 4 <= swapped.size(); i += 4)
        std::reverse(swapped.begin() + static_cast<std::ptrdiff_t>(i),
                     swapped.begin() + static_cast<std::ptrdiff_t>(i + 4));
    Bytes otherVersion = pod::write(sampleScene());
    otherVersion[15] = '3';
    for (const Bytes& bytes : {swapped, otherVersion}) {
        std::string error;
        EXPECT_TRUE(pod::read(bytes, error).nodes.empty());
        EXPECT_NE(error, "");
    }
}

TEST(PodDamage, HugeCountsAndIndicesAreSurvived) {
    struct Case {
        const char* what;
        void (*damage)(pod::Scene&);
    };
    const Case cases[] = {
        {"mesh node count", [](pod::Scene& s) { s.numMeshNodes = 0xFFFFFFFFu; }},
        {"strip length",
         [](pod::Scene& s) {
             s.meshes[1].stripLengths = {0xFFFFFFFFu, 0xFFFFFFFEu};
         }},
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

TEST(PodDamage, VertexCountsBeyondTheDataLeaveTheMeshAbsent) {
    for (std::uint32_t count : {5u, 1000u, 0x7fffffffu, 0xffffffffu}) {
        SCOPED_TRACE(count);
        pod::Scene scene = sampleScene();
        scene.meshes[0].numVertices = count;
        std::string error;
        const pod::Scene read = pod::read(pod::write(scene), error);
        auto resource = buildPodResource(read, "damaged", [](const std::string& f) {
            return Picture{f, nullptr};
        });
        ASSERT_NE(resource->getNodeNamed("Globe"), nullptr);
        EXPECT_EQ(dynamic_cast<MeshNode*>(resource->getNodeNamed("Globe")), nullptr);
        EXPECT_NE(dynamic_cast<MeshNode*>(resource->getNodeNamed("BeachBall")), nullptr);
    }
}

TEST(PodDamage, RandomAndFlippedBytesAreSurvived) {
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
        EXPECT_NE(error, "");
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
