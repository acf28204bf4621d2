// The backdrop drawn through the unlit program must give the very pixels the
// lit program gives, wherever the camera goes; where it would not, it is lit.
#include "GlContext.h"

#include <gtest/gtest.h>

#include <random>

namespace terrabo::test {
namespace {

constexpr int kPixelWidth = 160, kPixelHeight = 240;
constexpr Size kScreen{80, 120};

// Stars: scattered bright texels of every colour on black, so any dimming shows.
std::shared_ptr<const Image> starTexture() {
    auto image = std::make_shared<Image>();
    image->width = image->height = 256;
    image->rgba.assign(256 * 256 * 4, 0);
    std::mt19937 random(7);
    for (std::size_t i = 0; i < image->rgba.size(); i += 4) {
        const bool star = random() % 6 == 0;
        for (std::size_t c = 0; c < 3; ++c)
            image->rgba[i + c] = star ? static_cast<std::uint8_t>(random() % 256) : 0;
        image->rgba[i + 3] = 255;
    }
    return image;
}

// The world's backdrop: 960 x 960 facing +Z, 800 units behind the origin.
std::shared_ptr<Mesh> backdropMesh() {
    auto mesh = std::make_shared<Mesh>();
    mesh->vertices = {{{-480, -480, 0}, {0, 0, 1}, {0, 1}},
                      {{480, -480, 0}, {0, 0, 1}, {1, 1}},
                      {{480, 480, 0}, {0, 0, 1}, {1, 0}},
                      {{-480, 480, 0}, {0, 0, 1}, {0, 0}}};
    mesh->indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

struct Drawn {
    QImage frame;
    int unlitDraws = 0;
};

class UnlitBackdropTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        gl_ = GlContext::create(kPixelWidth, kPixelHeight, why);
        if (!gl_ && why.rfind("no display", 0) == 0)
            GTEST_SKIP() << why;
        ASSERT_TRUE(gl_) << why;
        material_.texture = Picture{"stars", starTexture()};
    }

    // The camera on the Z axis at `cameraZ`, the lamp on the camera, as in the world.
    Drawn draw(float cameraZ, float aspect, Color4F worldAmbient, bool shortcut) {
        Renderer& r = gl_->renderer();
        r.setLightingShortcut(shortcut);
        r.beginFrame(kPixelWidth, kPixelHeight, kScreen);
        r.clear({0, 0, 0, 1});
        SceneLighting lighting;
        lighting.worldAmbient = worldAmbient;
        lighting.lights = {LightState{{0, 0, 0, 1}}};
        r.begin3D(Mat4::perspective(60, aspect, 0.5f, 1000), Mat4::translation({0, 0, -cameraZ}),
                  lighting);
        r.drawMesh(*backdrop_, Mat4::translation({0, 0, -800}), &material_);
        r.end3D();
        return {gl_->frame(), r.unlitDrawCount()};
    }

    std::unique_ptr<GlContext> gl_;
    std::shared_ptr<Mesh> backdrop_ = backdropMesh();
    MeshMaterial material_;
};

TEST_F(UnlitBackdropTest, SamePixelsAsLitWhereverTheCameraIs) {
    const Color4F worldAmbient{0.2f, 0.2f, 0.2f, 1};
    struct Case {
        const char* name;
        float cameraZ, aspect;
        Color4F ambient;
        bool unlit;
    };
    const Case cases[] = {
        {"start view", 5, 2.0f / 3, worldAmbient, true},
        {"nearest zoom", -3, 2.0f / 3, worldAmbient, true},
        {"tablet shape", 5, 0.75f, worldAmbient, true},
        {"zoomed out, still filling the view", 31, 2.0f / 3, worldAmbient, true},
        // The backdrop's corners come into view at a wide angle from the lamp.
        {"square view, zoomed out past the corners", 60, 1.0f, worldAmbient, false},
        {"portrait view, zoomed out past the edges", 60, 2.0f / 3, worldAmbient, true},
        {"far away, the whole backdrop small", 400, 2.0f / 3, worldAmbient, true},
        {"wide landscape view", 5, 16.0f / 9, worldAmbient, false},
        {"without the world's ambient light", 5, 2.0f / 3, {0, 0, 0, 1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Drawn lit = draw(c.cameraZ, c.aspect, c.ambient, false);
        const Drawn fast = draw(c.cameraZ, c.aspect, c.ambient, true);
        EXPECT_EQ(lit.unlitDraws, 0);
        EXPECT_EQ(fast.unlitDraws, c.unlit ? 1 : 0);
        ASSERT_EQ(lit.frame.size(), fast.frame.size());
        int differing = 0;
        for (int y = 0; y < kPixelHeight; ++y)
            for (int x = 0; x < kPixelWidth; ++x)
                differing += lit.frame.pixel(x, y) != fast.frame.pixel(x, y);
        EXPECT_EQ(differing, 0) << "pixels differ from the lit drawing";
    }
    EXPECT_EQ(gl_->errors(), "");
}

TEST_F(UnlitBackdropTest, ADimmedBackdropStaysLitAndShowsIt) {
    // Without the world's ambient part the corners fall under full white: the
    // lit drawing is darker there than the texels, so the check matters.
    const Drawn dim = draw(5, 2.0f / 3, {0, 0, 0, 1}, true);
    const Drawn bright = draw(5, 2.0f / 3, {0.2f, 0.2f, 0.2f, 1}, true);
    EXPECT_EQ(dim.unlitDraws, 0);
    EXPECT_NE(dim.frame, bright.frame);
}

} // namespace
} // namespace terrabo::test
