#include "engine/render/LightingBound.h"

#include "engine/render/Renderer.h"
#include "engine/render/Shaders.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace terrabo {
namespace {

// Checking costs a few operations a vertex each frame; big meshes are lit anyway.
constexpr std::size_t kMaxVertices = 64;
// The shader's float arithmetic must not be able to bring a bound back under one.
constexpr double kMargin = 1e-3;

struct D3 {
    double x = 0, y = 0, z = 0;
    D3 operator-(const D3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    D3 operator+(const D3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    D3 operator*(double s) const { return {x * s, y * s, z * s}; }
    double dot(const D3& o) const { return x * o.x + y * o.y + z * o.z; }
    double length() const { return std::sqrt(dot(*this)); }
};

D3 eyePoint(const Mat4& m, const float* p) {
    D3 out;
    double* o[3] = {&out.x, &out.y, &out.z};
    for (int r = 0; r < 3; ++r)
        *o[r] = double(m.at(r, 0)) * p[0] + double(m.at(r, 1)) * p[1] + double(m.at(r, 2)) * p[2] +
                m.at(r, 3);
    return out;
}

// Homogeneous clip coordinate `row` of an eye-space point.
double clipCoordinate(const Mat4& projection, int row, const D3& e) {
    return projection.at(row, 0) * e.x + projection.at(row, 1) * e.y + projection.at(row, 2) * e.z +
           projection.at(row, 3);
}

// The part of a polygon inside the view volume, slightly widened so that
// rounding never leaves a drawn pixel out.
std::vector<D3> clipToView(std::vector<D3> polygon, const Mat4& projection) {
    constexpr double widen = 1.001;
    for (int axis = 0; axis < 3 && !polygon.empty(); ++axis)
        for (double sign : {1.0, -1.0}) {
            auto inside = [&](const D3& e) {
                return clipCoordinate(projection, 3, e) * widen +
                       sign * clipCoordinate(projection, axis, e);
            };
            std::vector<D3> out;
            for (std::size_t i = 0; i < polygon.size(); ++i) {
                const D3& a = polygon[i];
                const D3& b = polygon[(i + 1) % polygon.size()];
                const double da = inside(a), db = inside(b);
                if (da >= 0)
                    out.push_back(a);
                if ((da >= 0) != (db >= 0))
                    out.push_back(a + (b - a) * (da / (da - db)));
            }
            polygon = std::move(out);
            if (polygon.empty())
                break;
        }
    return polygon;
}

bool nonNegative(const Color4F& c) { return c.r >= 0 && c.g >= 0 && c.b >= 0; }

} // namespace

bool lightingSaturates(const Mesh& mesh, const Mat4& modelView, const Mat4& projection,
                       const MeshMaterial& material, const SceneLighting& lighting) {
    const auto& vertices = mesh.vertices;
    if (vertices.empty() || vertices.size() > kMaxVertices || mesh.indices.size() < 3)
        return false;
    const float* n0 = vertices.front().normal;
    for (const MeshVertex& v : vertices)
        if (!std::equal(n0, n0 + 3, v.normal))
            return false;
    if (!nonNegative(lighting.worldAmbient) || !nonNegative(material.ambient) ||
        !nonNegative(material.diffuse))
        return false;

    const auto nm = modelView.normalMatrix();
    D3 normal{nm[0] * n0[0] + nm[3] * n0[1] + nm[6] * n0[2],
              nm[1] * n0[0] + nm[4] * n0[1] + nm[7] * n0[2],
              nm[2] * n0[0] + nm[5] * n0[1] + nm[8] * n0[2]};
    const double length = normal.length();
    if (!(length > 0))
        return false;
    normal = normal * (1.0 / length);

    std::vector<D3> eye;
    for (const MeshVertex& v : vertices)
        eye.push_back(eyePoint(modelView, v.position));
    // The bound below holds on a plane the normal is perpendicular to.
    double reach = 1.0;
    for (const D3& e : eye)
        reach = std::max(reach, e.length());
    const double plane = normal.dot(eye.front());
    for (const D3& e : eye)
        if (std::abs(normal.dot(e) - plane) > 1e-5 * reach)
            return false;

    std::vector<D3> visible;
    for (std::size_t i = 0; i + 2 < mesh.indices.size(); i += 3) {
        std::vector<D3> triangle;
        for (std::size_t k = 0; k < 3; ++k) {
            const std::size_t index = mesh.indices[i + k];
            if (index >= eye.size())
                return false;
            triangle.push_back(eye[index]);
        }
        for (const D3& p : clipToView(std::move(triangle), projection))
            visible.push_back(p);
    }
    if (visible.empty())
        return true; // nothing of it reaches the screen either way

    // On a plane the light's distance along the normal is the same everywhere,
    // so the smallest diffuse factor of a convex piece is at one of its corners.
    std::array<double, 3> bound{};
    const Color4F& wa = lighting.worldAmbient;
    const Color4F& ma = material.ambient;
    const Color4F& md = material.diffuse;
    bound = {double(wa.r) * ma.r, double(wa.g) * ma.g, double(wa.b) * ma.b};
    const std::size_t count = std::min<std::size_t>(lighting.lights.size(), shaders::kMaxLights);
    for (std::size_t i = 0; i < count; ++i) {
        const LightState& light = lighting.lights[i];
        if (!nonNegative(light.ambient) || !nonNegative(light.diffuse) ||
            !nonNegative(light.specular))
            return false;
        bound[0] += double(light.ambient.r) * ma.r;
        bound[1] += double(light.ambient.g) * ma.g;
        bound[2] += double(light.ambient.b) * ma.b;
        const Vec4& p = light.eyePosition;
        double lambert = 1.0;
        for (const D3& x : visible) {
            D3 toLight = p.w != 0 ? D3{p.x / p.w, p.y / p.w, p.z / p.w} - x : D3{p.x, p.y, p.z};
            const double distance = toLight.length();
            if (!(distance > 0))
                return false;
            lambert = std::min(lambert, normal.dot(toLight) / distance);
        }
        if (lambert > 0) {
            bound[0] += double(light.diffuse.r) * md.r * lambert;
            bound[1] += double(light.diffuse.g) * md.g * lambert;
            bound[2] += double(light.diffuse.b) * md.b * lambert;
        }
    }
    return std::all_of(bound.begin(), bound.end(), [](double b) { return b >= 1.0 + kMargin; });
}

} // namespace terrabo
