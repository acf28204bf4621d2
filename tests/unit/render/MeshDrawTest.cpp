#include "RendererFixture.h"

namespace terrabo::test {
namespace {

using MeshDraw = RendererTest;

constexpr GLsizeiptr kSquareVertexBytes = 4 * sizeof(MeshVertex);
constexpr GLsizeiptr kSquareIndexBytes = 6 * sizeof(std::uint16_t);

TEST_F(MeshDraw, GpuMeshIsUploadedOnceAndItsClientCopyDropped) {
    auto mesh = squareMesh();
    mesh->wantGpuBuffers = true;
    for (int frame = 0; frame < 3; ++frame)
        draw3D(*mesh);

    ASSERT_EQ(gl.bufferUploads.size(), 3u); // the picture quad, then the mesh's two
    EXPECT_EQ(gl.bufferUploads[1].bytes, kSquareVertexBytes);
    EXPECT_EQ(gl.bufferUploads[2].bytes, kSquareIndexBytes);
    EXPECT_EQ(gl.bufferUploads[2].usage, GLenum(GL_STATIC_DRAW));
    EXPECT_TRUE(mesh->vertices.empty());
    EXPECT_TRUE(mesh->indices.empty());
    EXPECT_EQ(mesh->indexCount, 6);

    ASSERT_EQ(gl.drawsOf(true), 3);
    for (const auto& draw : gl.draws) {
        EXPECT_EQ(draw.count, 6);
        EXPECT_EQ(draw.arrayBuffer, mesh->vertexBuffer);
        EXPECT_EQ(draw.elementBuffer, mesh->indexBuffer);
    }
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(MeshDraw, ClientMeshIsStreamedEveryDrawAndKeepsItsData) {
    auto mesh = squareMesh();
    for (int frame = 0; frame < 2; ++frame)
        draw3D(*mesh);

    const std::vector<FakeGl::BufferUpload> streamed(gl.bufferUploads.begin() + 1,
                                                     gl.bufferUploads.end());
    ASSERT_EQ(streamed.size(), 4u);
    for (std::size_t i = 0; i < streamed.size(); ++i) {
        EXPECT_EQ(streamed[i].usage, GLenum(GL_STREAM_DRAW));
        EXPECT_EQ(streamed[i].bytes, i % 2 ? kSquareIndexBytes : kSquareVertexBytes);
    }
    EXPECT_EQ(mesh->vertices.size(), 4u);
    EXPECT_EQ(mesh->indices.size(), 6u);
    EXPECT_FALSE(mesh->inGpu());
    EXPECT_EQ(gl.drawsOf(true), 2);
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(MeshDraw, AttributesPointAtTheirPlaceInTheVertex) {
    for (const bool gpu : {false, true}) {
        SCOPED_TRACE(gpu ? "for the GPU" : "in client memory");
        gl.attributeOffsets.clear();
        auto mesh = squareMesh();
        mesh->wantGpuBuffers = gpu;
        draw3D(*mesh);
        const std::map<GLuint, std::uintptr_t> expected = {
            {0, offsetof(MeshVertex, position)},
            {1, offsetof(MeshVertex, normal)},
            {2, offsetof(MeshVertex, uv)}};
        EXPECT_EQ(gl.attributeOffsets, expected);
    }
}

TEST_F(MeshDraw, MeshesThatCannotBeDrawnDrawNothing) {
    struct Case {
        const char* name;
        void (*damage)(Mesh&);
        bool logged;
    };
    const Case cases[] = {
        {"no indices", [](Mesh& m) { m.indices.clear(); }, false},
        {"no vertices", [](Mesh& m) { m.vertices.clear(); }, true},
        {"an index past the last vertex", [](Mesh& m) { m.indices[4] = 4; }, true},
    };
    for (const bool gpu : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (gpu ? ", for the GPU" : ", in client memory"));
            log.clear();
            gl.draws.clear();
            Renderer fresh(gl.api);
            fresh.beginFrame(640, 960, {320, 480});
            auto mesh = squareMesh();
            mesh->wantGpuBuffers = gpu;
            c.damage(*mesh);
            for (int frame = 0; frame < 2; ++frame) {
                fresh.begin3D(Mat4::identity(), Mat4::identity(), {});
                fresh.drawMesh(*mesh, Mat4::identity(), nullptr);
                fresh.end3D();
            }
            EXPECT_TRUE(gl.draws.empty());
            EXPECT_FALSE(mesh->inGpu());
            EXPECT_EQ(log.size(), c.logged ? 1u : 0u);
        }
    }
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(MeshDraw, MeshOutsideA3DPassIsNotDrawn) {
    auto mesh = squareMesh();
    renderer->drawMesh(*mesh, Mat4::identity(), nullptr);
    draw3D(*mesh);
    renderer->drawMesh(*mesh, Mat4::identity(), nullptr);
    EXPECT_EQ(gl.drawsOf(true), 1);
}

TEST_F(MeshDraw, EachDrawSeesTheStateOfItsKind) {
    // Pictures: no depth test, blending. Meshes: depth test, culling, no
    // blending - also when a picture is drawn in the middle of a 3D pass.
    const auto image = solidImage(4, 4);
    auto mesh = squareMesh();
    MeshMaterial textured;
    textured.texture = Picture{"t", solidImage(4, 4)};
    drawPicture(image);
    renderer->begin3D(Mat4::identity(), Mat4::identity(), {});
    renderer->drawMesh(*mesh, Mat4::identity(), &textured);
    drawPicture(image);
    renderer->drawMesh(*mesh, Mat4::identity(), nullptr);
    renderer->end3D();
    drawPicture(image);
    renderer->beginFrame(640, 960, {320, 480});
    draw3D(*mesh);

    ASSERT_EQ(gl.draws.size(), 6u);
    for (const auto& draw : gl.draws) {
        SCOPED_TRACE(draw.indexed ? "mesh" : "picture");
        EXPECT_EQ(draw.depthTest, draw.indexed);
        EXPECT_EQ(draw.cullFace, draw.indexed);
        EXPECT_EQ(draw.blend, !draw.indexed);
        EXPECT_EQ(draw.mode, GLenum(draw.indexed ? GL_TRIANGLES : GL_TRIANGLE_STRIP));
    }
    EXPECT_NE(gl.draws[0].program, gl.draws[1].program);
    EXPECT_EQ(gl.draws[0].program, gl.draws[2].program);
    EXPECT_EQ(renderer->drawCallCount(), 1) << "counted from the frame's start";
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(MeshDraw, NothingIsDrawnIntoAnEmptyScreen) {
    const auto image = solidImage(4, 4);
    auto mesh = squareMesh();
    for (const Size screen : {Size{0, 480}, Size{320, 0}}) {
        renderer->beginFrame(640, 960, screen);
        drawPicture(image);
        draw3D(*mesh);
    }
    renderer->beginFrame(0, 0, {320, 480});
    drawPicture(image);
    EXPECT_TRUE(gl.draws.empty());
}

} // namespace
} // namespace terrabo::test
