// When the lamp model is sure to clamp to white over what is on screen, and
// when that cannot be shown and the mesh must be lit.
#include "RendererFixture.h"
#include "engine/render/LightingBound.h"

namespace terrabo::test {
namespace {

// The world's backdrop seen from the camera's start: 960 units wide, 805 away.
std::shared_ptr<Mesh> backdrop() {
    auto mesh = squareMesh();
    for (MeshVertex& v : mesh->vertices)
        for (float& p : v.position)
            p *= 480;
    return mesh;
}

SceneLighting lampOnCamera(Color4F worldAmbient = {0.2f, 0.2f, 0.2f, 1}) {
    SceneLighting lighting;
    lighting.worldAmbient = worldAmbient;
    lighting.lights = {LightState{{0, 0, 0, 1}}};
    return lighting;
}

TEST(LightingBound, OnlyWhatCanBeShownToClampIsDrawnUnlit) {
    const Mat4 projection = Mat4::perspective(60, 320.0f / 480, 0.5f, 1000);
    const Mat4 atStart = Mat4::translation({0, 0, -805});
    struct Case {
        const char* name;
        void (*change)(Mesh&, MeshMaterial&, SceneLighting&, Mat4& modelView);
        bool saturates;
    };
    const Case cases[] = {
        {"the backdrop at the start", [](Mesh&, MeshMaterial&, SceneLighting&, Mat4&) {}, true},
        {"a darker material", [](Mesh&, MeshMaterial& m, SceneLighting&, Mat4&) { m.diffuse = {0.5f, 1, 1, 1}; },
         false},
        {"no world ambient",
         [](Mesh&, MeshMaterial&, SceneLighting& l, Mat4&) { l.worldAmbient = {0, 0, 0, 1}; }, false},
        {"a negative light",
         [](Mesh&, MeshMaterial&, SceneLighting& l, Mat4&) { l.lights[0].ambient = {-1, 0, 0, 1}; }, false},
        {"normals that differ", [](Mesh& m, MeshMaterial&, SceneLighting&, Mat4&) { m.vertices[2].normal[0] = 0.1f; },
         false},
        {"a corner off the plane",
         [](Mesh& m, MeshMaterial&, SceneLighting&, Mat4&) { m.vertices[2].position[2] = 40; }, false},
        {"turned edge-on to the lamp",
         [](Mesh&, MeshMaterial&, SceneLighting&, Mat4& mv) { mv = mv * Mat4::rotationY(80); }, false},
        {"entirely behind the camera",
         [](Mesh&, MeshMaterial&, SceneLighting&, Mat4& mv) { mv = Mat4::translation({0, 0, 805}); }, true},
        {"too many vertices to check each frame",
         [](Mesh& m, MeshMaterial&, SceneLighting&, Mat4&) { m.vertices.resize(65, m.vertices[0]); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto mesh = backdrop();
        MeshMaterial material;
        SceneLighting lighting = lampOnCamera();
        Mat4 modelView = atStart;
        c.change(*mesh, material, lighting, modelView);
        EXPECT_EQ(lightingSaturates(*mesh, modelView, projection, material, lighting), c.saturates);
    }
}

TEST_F(RendererTest, TheUnlitProgramDrawsOnlyWhatItMayAndCanBeSwitchedOff) {
    auto mesh = backdrop();
    MeshMaterial material;
    const Mat4 projection = Mat4::perspective(60, 320.0f / 480, 0.5f, 1000);
    for (bool shortcut : {true, false}) {
        renderer->setLightingShortcut(shortcut);
        renderer->beginFrame(640, 960, {320, 480});
        renderer->begin3D(projection, Mat4::identity(), lampOnCamera());
        renderer->drawMesh(*mesh, Mat4::translation({0, 0, -805}), &material);
        mesh->wantGpuBuffers = true; // from the GPU copy nothing is checked: lit
        renderer->drawMesh(*mesh, Mat4::translation({0, 0, -805}), &material);
        mesh->wantGpuBuffers = false;
        mesh = backdrop();
        renderer->end3D();
        EXPECT_EQ(renderer->unlitDrawCount(), shortcut ? 1 : 0);
    }
    ASSERT_EQ(gl.draws.size(), 4u);
    EXPECT_NE(gl.draws[0].program, gl.draws[1].program);
    EXPECT_TRUE(gl.draws[0].depthTest && gl.draws[0].cullFace) << "the same depth and culling as lit";
    EXPECT_EQ(gl.draws[2].program, gl.draws[1].program);
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

} // namespace
} // namespace terrabo::test
