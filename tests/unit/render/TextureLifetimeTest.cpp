#include "RendererFixture.h"

namespace terrabo::test {
namespace {

using TextureLifetime = RendererTest;

TEST_F(TextureLifetime, APictureIsUploadedOnceAndReusedEveryFrame) {
    const auto image = solidImage(8, 8);
    for (int frame = 0; frame < 3; ++frame) {
        renderer->beginFrame(640, 960, {320, 480});
        drawPicture(image);
        drawPicture(image);
    }
    EXPECT_EQ(gl.textureUploads, 1);
    EXPECT_EQ(gl.drawsOf(false), 6);
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(TextureLifetime, TwoImagesUnderOneKeyAreTwoTexturesNotOneRedone) {
    // An image kept by a sprite past a purge, and the same file decoded afresh.
    const auto kept = solidImage(8, 8), fresh = solidImage(8, 8);
    for (int frame = 0; frame < 3; ++frame) {
        drawPicture(kept, "b1.png");
        drawPicture(fresh, "b1.png");
    }
    EXPECT_EQ(gl.textureUploads, 2);
    EXPECT_EQ(gl.textures.size(), 2u);
    EXPECT_NE(gl.draws[0].texture, gl.draws[1].texture);
}

TEST_F(TextureLifetime, PurgeFreesTexturesOfDroppedImagesOnly) {
    const auto held = solidImage(8, 8);
    auto dropped = solidImage(4, 4);
    drawPicture(held, "held");
    drawPicture(dropped, "dropped");
    dropped.reset();

    renderer->purgeTextureCache();
    EXPECT_EQ(gl.textures.size(), 1u);
    EXPECT_EQ(renderer->cachedTextureCount(), 1u);

    drawPicture(held, "held");
    EXPECT_EQ(gl.textureUploads, 2) << "a held picture keeps its texture through a purge";
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(TextureLifetime, TexturesOfReplacedImagesDoNotPileUp) {
    // A label whose text keeps changing makes a new image each time.
    for (int text = 0; text < 50; ++text)
        drawPicture(solidImage(16, 4), "label:" + std::to_string(text));
    EXPECT_LE(gl.textures.size(), 1u);
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(TextureLifetime, ImageWithTooFewPixelsIsNotUploadedAndLoggedOnce) {
    auto image = std::make_shared<Image>();
    image->width = 64;
    image->height = 64;
    image->rgba.assign(100, 255);
    for (int frame = 0; frame < 3; ++frame)
        drawPicture(image);
    EXPECT_EQ(gl.textureUploads, 0);
    EXPECT_TRUE(gl.draws.empty());
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(TextureLifetime, TheRendererLeavesNoGlObjectsBehind) {
    auto mesh = squareMesh();
    mesh->wantGpuBuffers = true;
    const auto image = solidImage(8, 8);
    MeshMaterial material;
    material.texture = Picture{"t", solidImage(4, 4)};
    drawPicture(image);
    draw3D(*mesh, &material);
    draw3D(*squareMesh());

    renderer.reset();
    EXPECT_TRUE(gl.textures.empty());
    EXPECT_TRUE(gl.buffers.empty());
    EXPECT_TRUE(gl.programs.empty());
    EXPECT_TRUE(gl.shaders.empty());
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

} // namespace
} // namespace terrabo::test
