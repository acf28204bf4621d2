#include "engine/Director.h"
#include "engine/Label.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <map>

namespace terrabo {
namespace {

// Decodes only the files it knows, and counts how often it is asked.
class CountingLoader : public ImageLoader {
public:
    std::optional<Image> load(const std::string& fileName) override {
        ++asked[fileName];
        if (fileName != "b1.png")
            return std::nullopt;
        Image image;
        image.width = 40;
        image.height = 20;
        image.rgba.assign(40 * 20 * 4, 9);
        return image;
    }
    std::map<std::string, int> asked;
};

class FixedRasterizer : public TextRasterizer {
public:
    Image render(const std::string&, const std::string&, float, float scale) override {
        Image image;
        image.width = static_cast<int>(30 * scale);
        image.height = static_cast<int>(10 * scale);
        image.rgba.assign(static_cast<std::size_t>(image.width * image.height * 4), 255);
        return image;
    }
};

class PicturesTest : public testing::Test {
protected:
    void SetUp() override {
        Director::reset();
        Director::shared().imageCache().setLoader(&loader);
        setLogToStderr(false);
        setLogSink([this](const std::string& l) { log.push_back(l); });
    }
    void TearDown() override {
        setLogSink({});
        setLogToStderr(true);
        Director::reset();
    }
    CountingLoader loader;
    std::vector<std::string> log;
};

TEST_F(PicturesTest, ImagesAreDecodedOnceAndOutliveAPurge) {
    auto first = Sprite::create("b1.png");
    auto second = Sprite::create("b1.png");
    EXPECT_EQ(loader.asked["b1.png"], 1);
    EXPECT_EQ(first->picture().image, second->picture().image);
    EXPECT_EQ(first->contentSize(), (Size{40, 20}));

    Director::shared().purgeCachedData();
    EXPECT_EQ(Director::shared().imageCache().size(), 0u);
    ASSERT_TRUE(first->picture());
    EXPECT_EQ(first->picture().image->width, 40) << "the sprite keeps what it uses";
    Sprite::create("b1.png");
    EXPECT_EQ(loader.asked["b1.png"], 2);
}

TEST_F(PicturesTest, MissingImageGivesASpriteWithoutPictureAndOneLogLine) {
    auto sprite = Sprite::create("absent.png");
    ASSERT_TRUE(sprite);
    EXPECT_FALSE(sprite->picture());
    EXPECT_EQ(sprite->contentSize(), (Size{0, 0}));
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(PicturesTest, LabelIsSizedToItsTextInPoints) {
    FixedRasterizer rasterizer;
    for (float scale : {1.0f, 2.0f, 3.0f}) {
        Director::shared().setTextRasterizer(&rasterizer);
        Director::shared().setContentScale(scale);
        Label label("Paris", "Arial", 14);
        EXPECT_EQ(label.contentSize(), (Size{30, 10})) << "scale " << scale;
    }
    Director::shared().setTextRasterizer(nullptr);
    Label blank("Paris", "Arial", 14);
    EXPECT_EQ(blank.text(), "Paris");
    EXPECT_FALSE(blank.picture()) << "without a rasterizer the label draws nothing";
}

} // namespace
} // namespace terrabo
