// The generated Balls.pod: what the world needs of it, how it maps the Earth,
// and where the world's turn brings a place.
#include "PodFixtures.h"

#include "engine3d/MeshNode.h"
#include "engine3d/PodModel.h"
#include "engine3d/pod/VertexData.h"
#include "tools/model/BallsModel.h"
#include "tools/model/PodWriter.h"
#include "world/GlobeTurn.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace terrabo {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vertex {
    Vec3 p, n;
    float u, v;
};

double dot(Vec3 a, Vec3 b) {
    return double{a.x} * b.x + double{a.y} * b.y + double{a.z} * b.z;
}
double length(Vec3 a) {
    return std::sqrt(dot(a, a));
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

std::vector<Vertex> vertices(const pod::Mesh& mesh) {
    std::vector<Vertex> out(mesh.numVertices);
    for (std::uint32_t i = 0; i < mesh.numVertices; ++i) {
        float p[3], n[3], uv[2];
        EXPECT_TRUE(pod::readVertex(mesh, mesh.positions, i, 3, p));
        EXPECT_TRUE(pod::readVertex(mesh, mesh.normals, i, 3, n));
        EXPECT_TRUE(pod::readVertex(mesh, mesh.uvs, i, 2, uv));
        out[i] = {{p[0], p[1], p[2]}, {n[0], n[1], n[2]}, uv[0], uv[1]};
    }
    return out;
}

// The scene as the app gets it: written and read back.
const pod::Scene& balls() {
    static const pod::Scene scene = [] {
        std::string error;
        pod::Scene s = pod::read(pod::write(pod::ballsScene()), error);
        EXPECT_EQ(error, "");
        return s;
    }();
    return scene;
}

const pod::Mesh& globeMesh() {
    return balls().meshes.at(0);
}

// Where texture point (u, v) lies on the globe, as a unit direction: found on
// the triangle that holds it in texture space, so it is what is drawn there.
Vec3 whereTextureLies(double u, double v) {
    const pod::Mesh& mesh = globeMesh();
    const std::vector<Vertex> vs = vertices(mesh);
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const Vertex &a = vs[mesh.indices[t]], &b = vs[mesh.indices[t + 1]],
                     &c = vs[mesh.indices[t + 2]];
        const double d = (b.v - c.v) * (a.u - c.u) + (c.u - b.u) * (a.v - c.v);
        if (std::abs(d) < 1e-12)
            continue;
        const double wa = ((b.v - c.v) * (u - c.u) + (c.u - b.u) * (v - c.v)) / d;
        const double wb = ((c.v - a.v) * (u - c.u) + (a.u - c.u) * (v - c.v)) / d;
        const double wc = 1 - wa - wb;
        // Texture coordinates are stored as floats: a point on an edge may
        // fall a rounding outside it.
        if (wa < -1e-6 || wb < -1e-6 || wc < -1e-6)
            continue;
        const Vec3 p = a.p * static_cast<float>(wa) + b.p * static_cast<float>(wb) +
                       c.p * static_cast<float>(wc);
        return p * static_cast<float>(1 / length(p));
    }
    ADD_FAILURE() << "no triangle holds texture point " << u << ", " << v;
    return {};
}

Vec3 wherePlaceLies(double lat, double lon) {
    return whereTextureLies((lon + 180) / 360, (90 - lat) / 180);
}

TEST(BallsModel, HoldsTheTwoMeshNodesTheWorldNeedsAtUntransformedRoots) {
    auto resource = buildPodResource(balls(), "Balls.pod", [](const std::string& f) {
        return Picture{f, nullptr};
    });
    struct Expected {
        const char* node;
        const char* texture;
    };
    for (const Expected e :
         {Expected{"Globe", "earth.jpg"}, Expected{"BeachBall", "beachball.png"}}) {
        SCOPED_TRACE(e.node);
        auto* n = dynamic_cast<MeshNode*>(resource->getNodeNamed(e.node));
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(n->parent(), resource.get());
        EXPECT_EQ(n->location(), Vec3{});
        EXPECT_EQ(n->rotation3D(), Vec3{});
        EXPECT_EQ(n->scale3D(), (Vec3{1, 1, 1}));
        ASSERT_TRUE(n->mesh);
        EXPECT_FALSE(n->mesh->indices.empty());
        ASSERT_TRUE(n->material);
        EXPECT_EQ(n->material->texture.key, e.texture);
        // Lit by the lamp at full strength, the picture's own colours show.
        EXPECT_EQ(n->material->ambient, (Color4F{1, 1, 1, 1}));
        EXPECT_EQ(n->material->diffuse, (Color4F{1, 1, 1, 1}));
    }
    EXPECT_LT(balls().materials[0].specular[0], 0.3f) << "land and sea are not glossy";
}

TEST(BallsModel, GlobeMapsThePictureEquirectangularly) {
    struct Case {
        const char* what;
        double u, v;
        Vec3 direction;
    };
    const float h = static_cast<float>(std::sqrt(0.5));
    // The middle of a pole triangle's column, where its pole vertex sits (as the file stores it).
    auto poleU = [](double u) {
        return double(static_cast<float>((std::floor(u * pod::kGlobeSegments) + 0.5) / pod::kGlobeSegments));
    };
    const Case cases[] = {
        {"0 N 0 E on -Z", 0.5, 0.5, {0, 0, -1}},
        {"0 N 90 E on -X", 0.75, 0.5, {-1, 0, 0}},
        {"0 N 90 W on +X", 0.25, 0.5, {1, 0, 0}},
        {"date line on +Z, left edge", 0.0, 0.5, {0, 0, 1}},
        {"date line on +Z, right edge", 1.0, 0.5, {0, 0, 1}},
        {"45 N 0 E", 0.5, 0.25, {0, h, -h}},
        {"45 S 45 E", 0.625, 0.75, {-0.5f, -h, -0.5f}},
        {"north pole at the top", poleU(0.3), 0.0, {0, 1, 0}},
        {"south pole at the bottom", poleU(0.785), 1.0, {0, -1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Vec3 d = whereTextureLies(c.u, c.v);
        EXPECT_NEAR(d.x, c.direction.x, 2e-3);
        EXPECT_NEAR(d.y, c.direction.y, 2e-3);
        EXPECT_NEAR(d.z, c.direction.z, 2e-3);
    }
    for (const Vertex& v : vertices(globeMesh())) {
        ASSERT_NEAR(length(v.p), pod::kGlobeRadius, 1e-5);
        ASSERT_NEAR(dot(v.n, v.p) / length(v.p), 1.0, 1e-5) << "normals point straight out";
    }
}

TEST(BallsModel, NoSeamAtTheDateLineAndNoTwistAtThePoles) {
    for (const pod::Mesh& mesh : balls().meshes) {
        const std::vector<Vertex> vs = vertices(mesh);
        float columnWidth = 1;
        for (const Vertex& v : vs)
            if (v.u > 0 && v.u < columnWidth && v.v > 0 && v.v < 1)
                columnWidth = v.u;
        for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
            const Vertex* tri[3] = {&vs[mesh.indices[t]], &vs[mesh.indices[t + 1]],
                                    &vs[mesh.indices[t + 2]]};
            const auto [lo, hi] = std::minmax({tri[0]->u, tri[1]->u, tri[2]->u});
            // A triangle wrapping round the date line would smear the whole picture across it.
            ASSERT_LE(hi - lo, columnWidth * 1.001f) << "triangle " << t / 3;
            for (int k = 0; k < 3; ++k) {
                const Vertex &pole = *tri[k], &a = *tri[(k + 1) % 3], &b = *tri[(k + 2) % 3];
                if (pole.v == 0 || pole.v == 1) {
                    ASSERT_NEAR(pole.u, (a.u + b.u) / 2, 1e-6)
                        << "pole vertex of triangle " << t / 3;
                }
            }
        }
        // The date line's two columns lie on one another.
        for (const Vertex& left : vs) {
            if (left.u != 0)
                continue;
            const bool twin = std::any_of(vs.begin(), vs.end(), [&](const Vertex& right) {
                return right.u == 1 && right.v == left.v && right.p == left.p;
            });
            EXPECT_TRUE(twin) << "v " << left.v;
        }
    }
}

TEST(BallsModel, TrianglesFaceOutwardForBackFaceCulling) {
    for (const pod::Mesh& mesh : balls().meshes) {
        const std::vector<Vertex> vs = vertices(mesh);
        for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
            const Vec3 a = vs[mesh.indices[t]].p, b = vs[mesh.indices[t + 1]].p,
                       c = vs[mesh.indices[t + 2]].p;
            const Vec3 normal = cross(b - a, c - a);
            ASSERT_GT(length(normal), 0) << "degenerate triangle " << t / 3;
            ASSERT_GT(dot(normal, a + b + c), 0) << "inward triangle " << t / 3;
        }
    }
}

TEST(BallsModel, GlobeFitsTheStartViewAndClearsTheNearPlaneWhenClosest) {
    double radius = 0;
    for (const Vertex& v : vertices(globeMesh()))
        radius = std::max(radius, length(v.p));
    const double fovY = 60 * kPi / 180, nearPlane = 0.5;
    const double startDistance = 10, closestDistance = 2;
    // The narrowest portrait screen, 320 by 568 points.
    const double halfFovX = std::atan(std::tan(fovY / 2) * 320 / 568);
    EXPECT_LT(std::asin(radius / startDistance), 0.6 * halfFovX) << "room around the globe";
    EXPECT_GT(closestDistance - nearPlane, radius * 1.02) << "surface cut by the near plane";
}

// Where the drawn place ends up once the world's turn is over, and which
// way the drawn north then points on the screen (0 is straight up), both in
// degrees.
struct AfterTurn {
    double offCentre, northLean;
};

AfterTurn afterTurn(double lat, double lon) {
    const Mat4 turn = Mat4::rotationEuler(facingRotation(lat, lon));
    const Vec3 seen = turn.transformDirection(wherePlaceLies(lat, lon));
    // The meridian through the place, as drawn, a few degrees either side: a
    // longer stretch than one of the mesh's facets.
    const Vec3 north = turn.transformDirection(wherePlaceLies(std::min(lat + 4, 85.0), lon));
    const Vec3 south = turn.transformDirection(wherePlaceLies(std::max(lat - 4, -85.0), lon));
    return {std::acos(std::clamp(static_cast<double>(seen.z), -1.0, 1.0)) * 180 / kPi,
            std::atan2(double{north.x} - south.x, double{north.y} - south.y) * 180 / kPi};
}

TEST(BallsModel, WhereTheTurnBringsAPlace) {
    struct Case {
        const char* what;
        double lat, lon;
    };
    const Case cases[] = {
        {"0 N 0 E", 0, 0},
        {"0 N 120 W", 0, -120},
        {"45 N 90 E", 45, 90},
        {"45 S 90 W", -45, -90},
        {"10 N 10 W", 10, -10},
        {"Sydney", -33.87, 151.21},
        {"Cape Town", -33.92, 18.42},
        {"London", 51.5, 0},
        {"New York", 40.7, -74},
        {"Reykjavik", 64.15, -21.94},
        {"Anchorage", 61.22, -149.9},
        {"Tokyo", 35.68, 139.65},
        {"far north", 85, 60},
    };
    // The mesh is a polyhedron: the texture's point lies a little off the
    // sphere's, never by as much as a city's size.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const AfterTurn after = afterTurn(c.lat, c.lon);
        EXPECT_LT(after.offCentre, 0.3);
        EXPECT_LT(std::abs(after.northLean), 1.0);
    }
    for (double lat = -85; lat <= 85; lat += 17)
        for (double lon = -175; lon <= 175; lon += 25)
            EXPECT_LT(afterTurn(lat, lon).offCentre, 0.3) << lat << ", " << lon;
}

TEST(BallsModel, BeachBallPictureIsAStripedPng) {
    const std::vector<std::uint8_t> png = pod::beachBallPng();
    QImage image;
    ASSERT_TRUE(image.loadFromData(png.data(), static_cast<int>(png.size()), "PNG"));
    ASSERT_EQ(image.width(), pod::kBeachBallTextureWidth);
    ASSERT_EQ(image.height(), pod::kBeachBallTextureHeight);
    QRgb previous = 0;
    for (int stripe = 0; stripe < 6; ++stripe) {
        const int x = (2 * stripe + 1) * image.width() / 12;
        const QRgb colour = image.pixel(x, 0);
        EXPECT_EQ(image.pixel(x, image.height() - 1), colour) << "stripes run pole to pole";
        EXPECT_NE(colour, previous) << "stripe " << stripe;
        previous = colour;
    }
}

} // namespace
} // namespace terrabo
