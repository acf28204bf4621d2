#include "GlContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace terrabo::test {
namespace {

// 80 x 120 points at two pixels per point: positions in points must land on
// the right device pixels.
constexpr int kPixelWidth = 160, kPixelHeight = 240;
constexpr Size kScreen{80, 120};
constexpr float kScale = 2.0f;
const Color4F kBackground{0, 0, 0.25f, 1};

struct Rgb {
    int r, g, b;
};

std::ostream& operator<<(std::ostream& out, Rgb c) {
    return out << '(' << c.r << ", " << c.g << ", " << c.b << ')';
}

std::shared_ptr<const Image> filledImage(int width, int height, auto colourOf) {
    auto image = std::make_shared<Image>();
    image->width = width;
    image->height = height;
    image->rgba.resize(static_cast<std::size_t>(width * height * 4));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::array<std::uint8_t, 4> c = colourOf(x, y);
            std::copy(c.begin(), c.end(), image->rgba.begin() + (y * width + x) * 4);
        }
    return image;
}

std::shared_ptr<const Image> plainImage(std::array<std::uint8_t, 4> c) {
    return filledImage(4, 4, [c](int, int) { return c; });
}

// A unit sphere, counter-clockwise seen from outside.
std::shared_ptr<Mesh> sphereMesh() {
    auto mesh = std::make_shared<Mesh>();
    constexpr int stacks = 24, slices = 48;
    const float pi = std::acos(-1.0f);
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            const float theta = pi * i / stacks, phi = 2 * pi * j / slices;
            const float x = std::sin(theta) * std::cos(phi), y = std::cos(theta),
                        z = std::sin(theta) * std::sin(phi);
            mesh->vertices.push_back(
                {{x, y, z}, {x, y, z}, {float(j) / slices, float(i) / stacks}});
        }
    auto at = [&](int i, int j) { return static_cast<std::uint16_t>(i * (slices + 1) + j); };
    auto pos = [&](std::uint16_t v) {
        const float* p = mesh->vertices[v].position;
        return Vec3{p[0], p[1], p[2]};
    };
    auto triangle = [&](std::uint16_t a, std::uint16_t b, std::uint16_t c) {
        const Vec3 pa = pos(a), pb = pos(b), pc = pos(c);
        const Vec3 u{pb.x - pa.x, pb.y - pa.y, pb.z - pa.z},
            v{pc.x - pa.x, pc.y - pa.y, pc.z - pa.z};
        const Vec3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        const bool outward =
            n.x * (pa.x + pb.x + pc.x) + n.y * (pa.y + pb.y + pc.y) + n.z * (pa.z + pb.z + pc.z) >
            0;
        mesh->indices.insert(mesh->indices.end(), {a, outward ? b : c, outward ? c : b});
    };
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            if (i > 0)
                triangle(at(i, j), at(i + 1, j), at(i, j + 1));
            if (i < stacks - 1)
                triangle(at(i, j + 1), at(i + 1, j), at(i + 1, j + 1));
        }
    return mesh;
}

// A 2 x 2 square in its X-Y plane, facing +Z.
std::shared_ptr<Mesh> squareMesh() {
    auto mesh = std::make_shared<Mesh>();
    mesh->vertices = {{{-1, -1, 0}, {0, 0, 1}, {0, 1}},
                      {{1, -1, 0}, {0, 0, 1}, {1, 1}},
                      {{1, 1, 0}, {0, 0, 1}, {1, 0}},
                      {{-1, 1, 0}, {0, 0, 1}, {0, 0}}};
    mesh->indices = {0, 1, 2, 0, 2, 3};
    return mesh;
}

MeshMaterial coloured(Color4F c) {
    MeshMaterial m;
    m.ambient = m.diffuse = c;
    return m;
}

class RenderTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        gl_ = GlContext::create(kPixelWidth, kPixelHeight, why);
        if (!gl_ && why.rfind("no display", 0) == 0)
            GTEST_SKIP() << why;
        ASSERT_TRUE(gl_) << why;
        ASSERT_TRUE(renderer().ready());
        renderer().beginFrame(kPixelWidth, kPixelHeight, kScreen);
        renderer().clear(kBackground);
    }
    void TearDown() override {
        if (gl_) {
            EXPECT_EQ(gl_->errors(), "") << "GL errors";
        }
    }

    Renderer& renderer() { return gl_->renderer(); }

    void drawPicture(const std::shared_ptr<const Image>& image, Vec2 at, Size size,
                     Color3B tint = {}, std::uint8_t opacity = 255, bool flipX = false,
                     bool flipY = false) {
        renderer().drawPicture(Picture{"p", image}, Mat4::translation({at.x, at.y, 0}), size, tint,
                               opacity, flipX, flipY);
    }

    // Camera at the origin looking down -Z, as the world's camera sees.
    void begin3D(std::vector<LightState> lights) {
        SceneLighting lighting;
        lighting.lights = std::move(lights);
        renderer().begin3D(Mat4::perspective(60, kScreen.width / kScreen.height, 0.5f, 1000),
                           Mat4::identity(), lighting);
    }

    // The colour at a point in the engine's convention (origin bottom left, y up).
    Rgb colourAt(Vec2 point) {
        if (frame_.isNull())
            frame_ = gl_->frame();
        const int x = static_cast<int>(point.x * kScale);
        const int y = kPixelHeight - 1 - static_cast<int>(point.y * kScale);
        const QColor c = frame_.pixelColor(x, y);
        return {c.red(), c.green(), c.blue()};
    }

    void expectColour(Vec2 point, Rgb expected, int tolerance = 3) {
        const Rgb c = colourAt(point);
        EXPECT_TRUE(std::abs(c.r - expected.r) <= tolerance &&
                    std::abs(c.g - expected.g) <= tolerance &&
                    std::abs(c.b - expected.b) <= tolerance)
            << "at (" << point.x << ", " << point.y << "): " << c << ", expected " << expected;
    }

    const Rgb background{0, 0, 64};
    std::unique_ptr<GlContext> gl_;
    QImage frame_;
};

TEST_F(RenderTest, APictureCoversExactlyItsRectangleInPoints) {
    drawPicture(plainImage({255, 0, 0, 255}), {30, 40}, {20, 10});
    const Rgb red{255, 0, 0};
    for (Vec2 inside : {Vec2{40, 45}, Vec2{30.5f, 40.5f}, Vec2{49.5f, 49.5f}})
        expectColour(inside, red);
    for (Vec2 outside :
         {Vec2{29.5f, 45}, Vec2{50.5f, 45}, Vec2{40, 39.5f}, Vec2{40, 50.5f}, Vec2{2, 2}})
        expectColour(outside, background);
}

TEST_F(RenderTest, FlipsMirrorThePictureAboutItsCentre) {
    // Quadrants of the image: red top left, green top right, blue bottom left, white bottom right.
    const auto image = filledImage(8, 8, [](int x, int y) -> std::array<std::uint8_t, 4> {
        if (y < 4)
            return x < 4 ? std::array<std::uint8_t, 4>{255, 0, 0, 255}
                         : std::array<std::uint8_t, 4>{0, 255, 0, 255};
        return x < 4 ? std::array<std::uint8_t, 4>{0, 0, 255, 255}
                     : std::array<std::uint8_t, 4>{255, 255, 255, 255};
    });
    const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
    struct Case {
        bool flipX, flipY;
        Rgb topLeft, topRight, bottomLeft, bottomRight;
    };
    const Case cases[] = {
        {false, false, red, green, blue, white},
        {true, false, green, red, white, blue},
        {false, true, blue, white, red, green},
        {true, true, white, blue, green, red},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flipX " << c.flipX << ", flipY " << c.flipY);
        renderer().clear(kBackground);
        drawPicture(image, {20, 20}, {40, 40}, {}, 255, c.flipX, c.flipY);
        frame_ = {};
        expectColour({30, 50}, c.topLeft);
        expectColour({50, 50}, c.topRight);
        expectColour({30, 30}, c.bottomLeft);
        expectColour({50, 30}, c.bottomRight);
    }
}

TEST_F(RenderTest, TintOpacityAndAlphaBlendOverWhatIsBehind) {
    struct Case {
        const char* name;
        std::array<std::uint8_t, 4> texel;
        Color3B tint;
        std::uint8_t opacity;
        Rgb expected; // over the dark blue background
    };
    const Case cases[] = {
        {"opaque, tinted red", {255, 255, 255, 255}, {255, 0, 0}, 255, {255, 0, 0}},
        {"opaque, half opacity", {255, 255, 255, 255}, {255, 255, 255}, 128, {128, 128, 160}},
        {"half-transparent texels", {255, 255, 255, 128}, {255, 255, 255}, 255, {128, 128, 160}},
        {"half-transparent texels, half opacity",
         {255, 0, 0, 128},
         {255, 255, 255},
         128,
         {64, 0, 48}},
        {"transparent texels", {255, 255, 255, 0}, {255, 255, 255}, 255, {0, 0, 64}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renderer().clear(kBackground);
        drawPicture(plainImage(c.texel), {20, 20}, {40, 40}, c.tint, c.opacity);
        frame_ = {};
        expectColour({40, 40}, c.expected);
    }
}

TEST_F(RenderTest, TransparentEdgesLeaveNoDarkFringe) {
    // Opaque white beside fully transparent black, magnified five times over
    // white: filtering across the edge must not bring the black in.
    renderer().clear({1, 1, 1, 1});
    drawPicture(filledImage(8, 8,
                            [](int x, int) -> std::array<std::uint8_t, 4> {
                                return x < 4 ? std::array<std::uint8_t, 4>{255, 255, 255, 255}
                                             : std::array<std::uint8_t, 4>{0, 0, 0, 0};
                            }),
                {20, 20}, {40, 40});
    for (float x = 20; x < 60; x += 0.5f) {
        const Rgb c = colourAt({x, 40});
        EXPECT_GE(std::min({c.r, c.g, c.b}), 250) << "at x = " << x << ": " << c;
    }
}

TEST_F(RenderTest, ALitMeshIsBrightTowardTheLightAndAmbientAway) {
    // Directional light from +X; texture red. The dark side keeps the world's
    // ambient 0.2 times the material's ambient 1, modulated by the texture.
    auto sphere = sphereMesh();
    sphere->wantGpuBuffers = true;
    MeshMaterial material;
    material.texture = Picture{"red", plainImage({255, 0, 0, 255})};
    begin3D({LightState{{1, 0, 0, 0}}});
    renderer().drawMesh(*sphere, Mat4::translation({0, 0, -5}), &material);
    renderer().end3D();

    const Rgb lit = colourAt({54, 60}), dark = colourAt({26, 60});
    EXPECT_GT(lit.r, 180) << lit;
    EXPECT_NEAR(dark.r, 51, 6) << dark;
    EXPECT_LE(std::max({lit.g, lit.b, dark.g}), 2) << lit << dark;
    expectColour({4, 60}, background);
    expectColour({76, 60}, background);
}

TEST_F(RenderTest, ALampAtTheCameraLightsTheNearSideMost) {
    // The world's lamp rides on the camera: positional, at the eye.
    auto sphere = sphereMesh();
    const MeshMaterial green = coloured({0, 1, 0, 1});
    begin3D({LightState{{0, 0, 0, 1}}});
    renderer().drawMesh(*sphere, Mat4::translation({0, 0, -5}), &green);
    renderer().end3D();

    const Rgb centre = colourAt({40, 60}), limb = colourAt({40 + 19, 60});
    EXPECT_GE(centre.g, 250) << centre;
    EXPECT_LT(limb.g, centre.g - 60) << limb;
    EXPECT_GT(limb.g, 51) << limb;
}

TEST_F(RenderTest, ASpecularHighlightShowsOnlyWithSpecularMaterial) {
    auto sphere = sphereMesh();
    LightState lamp{{0, 0, 0, 1}};
    lamp.diffuse = {0, 0, 0, 1}; // only the highlight and the world's ambient remain
    MeshMaterial shiny = coloured({0.5f, 0.5f, 0.5f, 1});
    shiny.specular = {1, 1, 1, 1};
    shiny.shininess = 20;
    const MeshMaterial matte = coloured({0.5f, 0.5f, 0.5f, 1});

    begin3D({lamp});
    renderer().drawMesh(*sphere, Mat4::translation({-1.2f, 0, -5}), &shiny);
    renderer().drawMesh(*sphere, Mat4::translation({1.2f, 0, -5}), &matte);
    renderer().end3D();

    // Each ball's point facing the lamp, 25 points either side of the centre.
    const Rgb shinyPeak = colourAt({40 - 25, 60}), mattePeak = colourAt({40 + 25, 60});
    EXPECT_GT(shinyPeak.r, 200) << shinyPeak;
    EXPECT_NEAR(mattePeak.r, 26, 4) << mattePeak; // 0.2 x 0.5
}

TEST_F(RenderTest, NearerSurfacesHideFartherOnesAndBackFacesAreCulled) {
    auto square = squareMesh(); // drawn from client memory
    const MeshMaterial red = coloured({1, 0, 0, 1}), green = coloured({0, 1, 0, 1}),
                       white = coloured({1, 1, 1, 1});
    begin3D({LightState{{0, 0, 0, 1}}});
    // Near first, far second: only the depth test keeps the near one in front.
    renderer().drawMesh(*square, Mat4::translation({0, 0, -4}), &red);
    renderer().drawMesh(*square, Mat4::translation({0, 0, -6}) * Mat4::scaling({3, 3, 1}), &green);
    // Turned away from the camera, in front of both.
    renderer().drawMesh(*square, Mat4::translation({0, 0, -3}) * Mat4::rotationY(180), &white);
    renderer().end3D();

    const Rgb centre = colourAt({40, 60}), ring = colourAt({40, 60 + 35});
    EXPECT_GT(centre.r, 200) << centre;
    EXPECT_LT(centre.g, 10) << centre;
    EXPECT_GT(ring.g, 200) << ring;
    EXPECT_LT(ring.r, 10) << ring;
}

TEST_F(RenderTest, TheWorldDrawsBetweenThePicturesBelowAndAbove) {
    auto sphere = sphereMesh();
    sphere->wantGpuBuffers = true;
    const MeshMaterial green = coloured({0, 1, 0, 1});
    drawPicture(plainImage({255, 0, 0, 255}), {0, 0}, kScreen); // a backdrop over the whole screen
    begin3D({LightState{{0, 0, 0, 1}}});
    renderer().drawMesh(*sphere, Mat4::translation({0, 0, -5}), &green);
    renderer().end3D();
    drawPicture(plainImage({0, 0, 255, 255}), {36, 56}, {8, 8}); // a button over the globe

    expectColour({40, 60}, {0, 0, 255});
    const Rgb globe = colourAt({40, 70});
    EXPECT_GT(globe.g, 200) << globe;
    EXPECT_LT(globe.r, 10) << globe;
    expectColour({4, 4}, {255, 0, 0});
    EXPECT_EQ(renderer().drawCallCount(), 3);
}

} // namespace
} // namespace terrabo::test
