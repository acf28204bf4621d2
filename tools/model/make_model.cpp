// Writes Balls.pod: the textured Earth ("Globe") and a small striped ball
// ("BeachBall"), both at the root with identity transforms.
#include "tools/model/PodWriter.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>

using namespace terrabo::pod;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vertex {
    float position[3];
    float normal[3];
    float uv[2];
};

// A UV sphere, longitude 0 on -Z, east toward -X, north toward +Y; the picture
// is equirectangular with north at its top. Seam vertices are doubled so the
// texture wraps without a visible seam.
Mesh sphere(float radius, int segments, int rings) {
    std::vector<Vertex> vertices;
    for (int j = 0; j <= rings; ++j) {
        const double lat = 90.0 - 180.0 * j / rings;
        for (int i = 0; i <= segments; ++i) {
            const double lon = -180.0 + 360.0 * i / segments;
            const double la = lat * kPi / 180, lo = lon * kPi / 180;
            const double n[3] = {-std::sin(lo) * std::cos(la), std::sin(la), -std::cos(lo) * std::cos(la)};
            Vertex v{};
            for (int k = 0; k < 3; ++k) {
                v.normal[k] = static_cast<float>(n[k]);
                v.position[k] = static_cast<float>(n[k] * radius);
            }
            // At the poles every vertex of the ring meets its own triangle's middle.
            double u = static_cast<double>(i) / segments;
            if (j == 0 || j == rings)
                u = (i + 0.5) / segments;
            v.uv[0] = static_cast<float>(u);
            v.uv[1] = static_cast<float>(static_cast<double>(j) / rings);
            vertices.push_back(v);
        }
    }
    Mesh mesh;
    const int row = segments + 1;
    for (int j = 0; j < rings; ++j)
        for (int i = 0; i < segments; ++i) {
            const auto a = static_cast<std::uint16_t>(j * row + i);
            const auto b = static_cast<std::uint16_t>((j + 1) * row + i);
            const auto c = static_cast<std::uint16_t>((j + 1) * row + i + 1);
            const auto d = static_cast<std::uint16_t>(j * row + i + 1);
            if (j != 0)
                mesh.indices.insert(mesh.indices.end(), {a, b, d});
            if (j != rings - 1)
                mesh.indices.insert(mesh.indices.end(), {b, c, d});
        }
    mesh.numVertices = static_cast<std::uint32_t>(vertices.size());
    mesh.numFaces = static_cast<std::uint32_t>(mesh.indices.size() / 3);
    mesh.interleaved.resize(vertices.size() * sizeof(Vertex));
    std::memcpy(mesh.interleaved.data(), vertices.data(), mesh.interleaved.size());
    const auto stride = static_cast<std::uint32_t>(sizeof(Vertex));
    mesh.positions = {kFloat, 3, stride, 0};
    mesh.normals = {kFloat, 3, stride, 12};
    mesh.uvs = {kFloat, 2, stride, 24};
    return mesh;
}

bool writeBeachBallTexture(const std::string& path) {
    QImage image(256, 128, QImage::Format_RGB32);
    const QColor stripes[] = {QColor(230, 57, 70), QColor(250, 250, 245), QColor(29, 120, 220),
                              QColor(250, 250, 245), QColor(255, 196, 0), QColor(250, 250, 245)};
    QPainter painter(&image);
    for (int k = 0; k < 6; ++k)
        painter.fillRect(k * 256 / 6, 0, 256 / 6 + 1, 128, stripes[k]);
    painter.end();
    return image.save(QString::fromStdString(path), "PNG");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_model OUTPUT_DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    Scene scene;
    // Small enough that the nearest zoom (2 units from the centre, near plane 0.5)
    // stays clear of the surface.
    scene.meshes.push_back(sphere(1.45f, 128, 64));
    scene.meshes.push_back(sphere(0.5f, 32, 16));
    scene.textures = {"earth.jpg", "beachball.png"};
    Material earth;
    earth.name = "Earth";
    earth.texture = 0;
    earth.specular = {0.12f, 0.12f, 0.12f};
    earth.shininess = 32.0f;
    Material ball;
    ball.name = "BeachBall";
    ball.texture = 1;
    ball.specular = {0.5f, 0.5f, 0.5f};
    ball.shininess = 40.0f;
    scene.materials = {earth, ball};
    Node globe;
    globe.name = "Globe";
    globe.index = 0;
    globe.material = 0;
    Node beach;
    beach.name = "BeachBall";
    beach.index = 1;
    beach.material = 1;
    scene.nodes = {globe, beach};
    scene.numMeshNodes = 2;

    const auto bytes = write(scene);
    std::ofstream out(dir + "/Balls.pod", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out || !writeBeachBallTexture(dir + "/beachball.png")) {
        std::cerr << "make_model: cannot write into " << dir << "\n";
        return 1;
    }
    return 0;
}
