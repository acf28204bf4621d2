#include "PodFixtures.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace terrabo::podtest {

pod::Mesh squareMesh(bool strips) {
    pod::Mesh mesh;
    const float v[4][8] = {{-1, -1, 0, 0, 0, 1, 0, 1},
                           {1, -1, 0, 0, 0, 1, 1, 1},
                           {-1, 1, 0, 0, 0, 1, 0, 0},
                           {1, 1, 0, 0, 0, 1, 1, 0}};
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

void putU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t getU32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::size_t findTag(const Bytes& b, std::uint32_t id, int n) {
    for (std::size_t at = 0; at + 8 <= b.size();) {
        const std::uint32_t tag = getU32(b, at);
        if (tag == id && n-- == 0)
            return at;
        at += 8 + (tag & pod::kEndBit ? 0 : getU32(b, at + 4));
    }
    ADD_FAILURE() << "tag " << id << " not found";
    return 0;
}

LogCapture::LogCapture() {
    setLogSink([this](const std::string& line) { lines.push_back(line); });
    setLogToStderr(false);
}

LogCapture::~LogCapture() {
    setLogSink({});
    setLogToStderr(true);
}

} // namespace terrabo::podtest
