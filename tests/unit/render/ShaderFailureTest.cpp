#include "RendererFixture.h"

namespace terrabo::test {
namespace {

using ShaderFailure = RendererTest;

TEST_F(ShaderFailure, ABrokenShaderIsLoggedOnceAndNothingIsDrawn) {
    struct Case {
        const char* name;
        GLenum failCompileOf;
        bool failLink;
        const char* logged;
    };
    const Case cases[] = {
        {"vertex stage", GL_VERTEX_SHADER, false, "vertex shader does not compile: syntax error"},
        {"fragment stage", GL_FRAGMENT_SHADER, false,
         "fragment shader does not compile: syntax error"},
        {"link", 0, true, "does not link: link failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeGl broken;
        broken.failCompileOf = c.failCompileOf;
        broken.failLink = c.failLink;
        log.clear();
        {
            Renderer r(broken.api);
            EXPECT_FALSE(r.ready());
            ASSERT_FALSE(log.empty());
            EXPECT_NE(log.front().find(c.logged), std::string::npos) << log.front();

            r.beginFrame(640, 960, {320, 480});
            r.clear({0, 0, 0, 1});
            r.drawPicture(Picture{"p", solidImage(4, 4)}, Mat4::identity(), {10, 10}, {}, 255,
                          false, false);
            auto mesh = squareMesh();
            r.begin3D(Mat4::identity(), Mat4::identity(), {});
            r.drawMesh(*mesh, Mat4::identity(), nullptr);
            r.end3D();
            EXPECT_TRUE(broken.draws.empty());
            EXPECT_EQ(broken.textureUploads, 0);
        }
        // One line per broken program, however many frames follow.
        EXPECT_LE(log.size(), 2u);
        EXPECT_TRUE(broken.shaders.empty()) << "shaders left behind";
        EXPECT_TRUE(broken.programs.empty()) << "programs left behind";
        EXPECT_TRUE(broken.misuse.empty()) << broken.misuse.front();
    }
}

TEST_F(ShaderFailure, AnIncompleteTableIsNeverCalled) {
    FakeGl partial;
    partial.api.DrawArrays = nullptr;
    partial.api.Clear = nullptr;
    log.clear();
    Renderer r(partial.api); // a null entry reached would crash here or below
    EXPECT_FALSE(r.ready());
    EXPECT_EQ(log.size(), 1u);
    r.beginFrame(640, 960, {320, 480});
    r.clear({0, 0, 0, 1});
    r.drawPicture(Picture{"p", solidImage(4, 4)}, Mat4::identity(), {10, 10}, {}, 255, false,
                  false);
    EXPECT_TRUE(partial.programs.empty());
}

} // namespace
} // namespace terrabo::test
