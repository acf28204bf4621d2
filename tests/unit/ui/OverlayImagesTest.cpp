#include "QtApp.h"

#include "Drawings.h"

#include <QImage>
#include <QRectF>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace terrabo {
namespace {

using namespace images;

constexpr double kScreenWidth = 320, kScreenHeight = 480, kRowHeight = 50;
constexpr double kTopRow = 455, kBottomRow = 25;

// The overlay's layout on a 480-point screen: image, scale and centre, bottom-left origin.
struct Placed {
    const char* name;
    std::function<QImage()> normal;
    std::function<QImage()> pressed; // empty when the item has no pressed image
    double scaleX, scaleY;
    double x, y;
    bool button;
};

const std::vector<Placed>& layout() {
    static const std::vector<Placed> items = {
        {"top bar", rowBar, {}, 0.7, 0.5, 160, kTopRow, false},
        {"bottom bar", rowBar, {}, 0.7, 0.5, 160, kBottomRow, false},
        {"zoom in", [] { return zoomButton(true, false); }, [] { return zoomButton(true, true); },
         0.25, 0.25, 30, kBottomRow, true},
        {"zoom out", [] { return zoomButton(false, false); },
         [] { return zoomButton(false, true); }, 0.25, 0.25, 290, kBottomRow, true},
        {"more", [] { return moreButton(false); }, [] { return moreButton(true); }, 0.5, 0.5, 160,
         kBottomRow, true},
        {"search", searchField, {}, 0.55, 0.5, 175, kTopRow, true},
        {"home", [] { return locateButton(false); }, [] { return locateButton(true); }, 0.3, 0.3,
         30, kTopRow, true},
    };
    return items;
}

// Where an image lands on screen, in points with y upward.
QRectF onScreen(const Placed& item, const QImage& image) {
    const double w = image.width() * item.scaleX, h = image.height() * item.scaleY;
    return {item.x - w / 2, item.y - h / 2, w, h};
}

double meanLuminance(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    double sum = 0, weight = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = argb.pixel(x, y);
            const double a = qAlpha(p) / 255.0;
            sum += a * (0.2126 * qRed(p) + 0.7152 * qGreen(p) + 0.0722 * qBlue(p));
            weight += a;
        }
    return weight > 0 ? sum / weight : 0;
}

TEST(OverlayImages, EachStaysInsideItsRowOnScreen) {
    test::qtApp();
    for (const Placed& item : layout()) {
        SCOPED_TRACE(item.name);
        const QRectF r = onScreen(item, item.normal());
        const double rowBottom = item.y - kRowHeight / 2, rowTop = item.y + kRowHeight / 2;
        EXPECT_GE(r.top(), rowBottom - 0.01);
        EXPECT_LE(r.bottom(), rowTop + 0.01);
        EXPECT_GE(r.left(), -0.01 - (item.button ? 0 : 1));
        EXPECT_LE(r.right(), kScreenWidth + 0.01 + (item.button ? 0 : 1));
    }
}

TEST(OverlayImages, BarsSpanTheScreenWithoutGaps) {
    test::qtApp();
    for (const Placed& item : layout()) {
        if (item.button)
            continue;
        SCOPED_TRACE(item.name);
        const QRectF r = onScreen(item, item.normal());
        EXPECT_LE(r.left(), 0);
        EXPECT_GE(r.right(), kScreenWidth);
        EXPECT_NEAR(r.height(), kRowHeight, 0.01);
    }
}

TEST(OverlayImages, RoundButtonsAreFiftyPointsAndClearAtTheCorners) {
    test::qtApp();
    for (const Placed& item : layout()) {
        if (!item.button || !item.pressed)
            continue;
        SCOPED_TRACE(item.name);
        const QImage image = item.normal();
        const QRectF r = onScreen(item, image);
        EXPECT_NEAR(r.width(), 50, 0.5);
        EXPECT_NEAR(r.height(), 50, 0.5);
        // The bar must show around the disc.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
    }
}

TEST(OverlayImages, ButtonsOfARowDoNotOverlap) {
    // Overlapping images would make one button take the other's touches.
    test::qtApp();
    for (const double row : {kTopRow, kBottomRow}) {
        std::vector<std::pair<const char*, QRectF>> buttons;
        for (const Placed& item : layout())
            if (item.button && item.y == row)
                buttons.emplace_back(item.name, onScreen(item, item.normal()));
        ASSERT_GE(buttons.size(), 2u);
        for (size_t i = 0; i < buttons.size(); ++i)
            for (size_t j = i + 1; j < buttons.size(); ++j) {
                const QRectF both = buttons[i].second.intersected(buttons[j].second);
                EXPECT_TRUE(both.isEmpty() || both.width() < 0.01)
                    << buttons[i].first << " and " << buttons[j].first;
            }
    }
}

TEST(OverlayImages, PressedStatesMatchInSizeAndReadDarker) {
    test::qtApp();
    struct Pair {
        const char* name;
        std::function<QImage()> normal, pressed;
    };
    std::vector<Pair> pairs = {
        {"flag", [] { return flagButton(false); }, [] { return flagButton(true); }}};
    for (const Placed& item : layout())
        if (item.pressed)
            pairs.push_back({item.name, item.normal, item.pressed});
    for (const Pair& pair : pairs) {
        SCOPED_TRACE(pair.name);
        const QImage normal = pair.normal(), pressed = pair.pressed();
        // A menu item shows its pressed image in the normal image's frame.
        EXPECT_EQ(pressed.size(), normal.size());
        EXPECT_LT(meanLuminance(pressed), meanLuminance(normal) - 3);
    }
}

TEST(OverlayImages, FlagPinTipLandsOnTheViewCentre) {
    // Shown at (190, 275) and half size, the pin's lowest opaque, light point
    // (body or rim, not its shadow) must be where the found place is: (160, 240).
    test::qtApp();
    for (const bool pressed : {false, true}) {
        SCOPED_TRACE(pressed ? "pressed" : "normal");
        const QImage image = flagButton(pressed).convertToFormat(QImage::Format_ARGB32);
        int tipRow = -1;
        double tipX = 0;
        for (int y = image.height() - 1; y >= 0 && tipRow < 0; --y) {
            double sum = 0;
            int count = 0;
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) >= 128 && qRed(p) + qGreen(p) + qBlue(p) > 150) {
                    sum += x;
                    ++count;
                }
            }
            if (count > 0) {
                tipRow = y;
                tipX = sum / count;
            }
        }
        ASSERT_GE(tipRow, 0) << "no pin drawn";
        const double scale = 0.5;
        const double x = 190 - image.width() * scale / 2 + (tipX + 0.5) * scale;
        const double y = 275 + image.height() * scale / 2 - (tipRow + 0.5) * scale;
        EXPECT_NEAR(x, 160, 1.0);
        EXPECT_NEAR(y, 240, 1.5);
        // The pin stands up from its tip: its head is straight above it.
        const QRect body = QRect(0, 0, image.width(), tipRow).adjusted(0, 0, 0, -10);
        double headSum = 0;
        int headCount = 0;
        for (int yy = body.top(); yy <= body.bottom(); ++yy)
            for (int xx = 0; xx < image.width(); ++xx)
                if (qAlpha(image.pixel(xx, yy)) >= 128) {
                    headSum += xx;
                    ++headCount;
                }
        ASSERT_GT(headCount, 0);
        EXPECT_NEAR(headSum / headCount, tipX, 2.0);
    }
}

TEST(StarField, SameBytesEveryTime) {
    test::qtApp();
    EXPECT_EQ(starField(256), starField(256));
}

TEST(StarField, StarsSurviveTheShrinkToScreenSize) {
    // The backdrop is shown at about a quarter of its size on a 1x screen;
    // stars must not average away into the sky.
    test::qtApp();
    const QImage shown =
        starField(2048).scaled(496, 496, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int bright = 0, lit = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const int v = qGray(shown.pixel(x, y));
            bright += v > 160;
            lit += v > 40;
        }
    EXPECT_GT(bright, 100);
    // ...while the sky stays dark.
    EXPECT_LT(lit, shown.width() * shown.height() / 10);
}

} // namespace
} // namespace terrabo
