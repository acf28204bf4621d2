// The place label's text image: red glyphs must read on any ground.
#include "QtApp.h"

#include "system/qt/QtImageLoader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace terrabo {
namespace {

struct Rgb {
    int r, g, b;
};

// Pixels that stand out from `ground` once the white-on-clear text image is
// tinted red, as the label is drawn, and laid over that ground.
int standingOut(const Image& text, Rgb ground) {
    int count = 0;
    for (std::size_t i = 0; i + 3 < text.rgba.size(); i += 4) {
        const double a = text.rgba[i + 3] / 255.0;
        // The tint multiplies: red keeps the red channel only.
        const Rgb seen{static_cast<int>(text.rgba[i] * a + ground.r * (1 - a)),
                       static_cast<int>(ground.g * (1 - a)), static_cast<int>(ground.b * (1 - a))};
        const int diff = std::abs(seen.r - ground.r) + std::abs(seen.g - ground.g) +
                         std::abs(seen.b - ground.b);
        count += diff > 120;
    }
    return count;
}

TEST(LabelText, OutlinedRedTextStandsOutOnLandSeaAndSky) {
    test::qtApp();
    QtTextRasterizer rasterizer;
    const struct {
        const char* name;
        Rgb colour;
    } grounds[] = {
        {"red desert", {200, 40, 30}}, {"pure red", {255, 0, 0}},  {"deep sea", {8, 24, 70}},
        {"black sky", {0, 0, 0}},      {"ice", {235, 240, 245}},   {"forest", {40, 80, 30}},
    };
    for (const float scale : {1.0f, 2.0f}) {
        const Image plain = rasterizer.render("Reykjavik", "Arial", 14, scale);
        const Image outlined = rasterizer.renderOutlined("Reykjavik", "Arial", 14, scale, 1.25f);
        ASSERT_FALSE(plain.empty());
        const int rim = static_cast<int>(std::ceil(1.25f * scale));
        EXPECT_EQ(outlined.width, plain.width + 2 * rim) << "the rim widens the label evenly";
        EXPECT_EQ(outlined.height, plain.height + 2 * rim);
        // Glyph area as a yardstick: the plain text's opaque pixels.
        int glyphs = 0;
        for (std::size_t i = 3; i < plain.rgba.size(); i += 4)
            glyphs += plain.rgba[i] > 128;
        ASSERT_GT(glyphs, 0);
        for (const auto& g : grounds) {
            SCOPED_TRACE(testing::Message() << g.name << " at scale " << scale);
            EXPECT_GT(standingOut(outlined, g.colour), glyphs / 2);
        }
        EXPECT_LT(standingOut(plain, {255, 0, 0}), glyphs / 10) << "red alone vanishes on red";
    }
}

TEST(LabelText, NoOutlineDrawsAsBefore) {
    test::qtApp();
    QtTextRasterizer rasterizer;
    const Image plain = rasterizer.render("Tokyo", "Arial", 14, 1);
    const Image zero = rasterizer.renderOutlined("Tokyo", "Arial", 14, 1, 0);
    EXPECT_EQ(plain.width, zero.width);
    EXPECT_EQ(plain.rgba, zero.rgba);
}

} // namespace
} // namespace terrabo
