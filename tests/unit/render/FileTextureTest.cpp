// Pictures of resource files: one texture per file name, decoded only for the
// upload, mipmaps made on the CPU, sized to the screen, and made again from
// the file by a new renderer after the old one's context is gone.
#include "RendererFixture.h"
#include "engine/ImageCache.h"
#include "engine/render/Mipmaps.h"

#include <map>

namespace terrabo::test {
namespace {

// Files of a given size, each texel the same colour; counts every decode.
class FakeFiles : public ImageLoader {
  public:
    std::map<std::string, std::pair<int, int>> sizes{
        {"bg1.jpg", {2048, 2048}}, {"earth.jpg", {64, 32}}, {"b1.png", {40, 20}}};
    std::map<std::string, int> decoded;
    std::optional<Image> load(const std::string& fileName) override {
        const auto it = sizes.find(fileName);
        if (it == sizes.end())
            return std::nullopt;
        ++decoded[fileName];
        Image image;
        image.width = it->second.first;
        image.height = it->second.second;
        image.rgba.assign(static_cast<std::size_t>(image.width) * image.height * 4, 90);
        return image;
    }
    std::optional<Image> size(const std::string& fileName) override {
        const auto it = sizes.find(fileName);
        if (it == sizes.end())
            return std::nullopt;
        Image image;
        image.width = it->second.first;
        image.height = it->second.second;
        return image;
    }
};

class FileTextureTest : public RendererTest {
  protected:
    void SetUp() override {
        RendererTest::SetUp();
        images.setLoader(&files);
        renderer->setPixelSource(
            [this](const std::string& name, int halvings) { return images.pixels(name, halvings); });
    }
    void draw(const Picture& picture) {
        renderer->drawPicture(picture, Mat4::identity(), {10, 10}, {}, 255, false, false);
    }
    std::vector<FakeGl::LevelUpload> levelsOf(GLuint texture) const {
        std::vector<FakeGl::LevelUpload> out;
        for (const auto& l : gl.levelUploads)
            if (l.texture == texture)
                out.push_back(l);
        return out;
    }

    FakeFiles files;
    ImageCache images;
};

TEST_F(FileTextureTest, OneTexturePerFileAndNoPixelsKeptAfterTheUpload) {
    const Picture a = images.picture("b1.png"), b = images.picture("b1.png");
    ASSERT_TRUE(a);
    EXPECT_TRUE(a.image->rgba.empty()) << "a picture of a file holds its size only";
    for (int frame = 0; frame < 3; ++frame) {
        draw(a);
        draw(b);
    }
    EXPECT_EQ(gl.textureUploads, 1);
    EXPECT_EQ(files.decoded["b1.png"], 1);
    ASSERT_EQ(gl.draws.size(), 6u);
    EXPECT_EQ(gl.draws[0].texture, gl.draws[1].texture);
    EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
}

TEST_F(FileTextureTest, TheWholeMipChainIsUploadedWithoutTheDriversBuilder) {
    draw(images.picture("earth.jpg"));
    ASSERT_EQ(gl.draws.size(), 1u);
    const auto levels = levelsOf(gl.draws[0].texture);
    const std::pair<int, int> expected[] = {{64, 32}, {32, 16}, {16, 8}, {8, 4},
                                            {4, 2},   {2, 1},   {1, 1}};
    ASSERT_EQ(levels.size(), std::size(expected));
    for (std::size_t i = 0; i < levels.size(); ++i) {
        EXPECT_EQ(levels[i].level, static_cast<GLint>(i));
        EXPECT_EQ(std::pair(levels[i].width, levels[i].height), expected[i]) << "level " << i;
    }
    EXPECT_EQ(gl.generatedMipmaps, 0);
}

TEST_F(FileTextureTest, APictureOfKnownSpanIsKeptNoLargerThanTheScreenShows) {
    Picture backdrop = images.picture("bg1.jpg");
    backdrop.screenSpan = 1.04f;
    struct Case {
        int viewportHeight;
        std::optional<int> uploadedSide; // none: the copy on the GPU is kept
    };
    // 0.9 x 1.04 x height texels are enough; a bigger screen brings a finer copy.
    const Case cases[] = {{480, 512}, {960, 1024}, {480, std::nullopt}, {2048, 2048}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.viewportHeight);
        gl.levelUploads.clear();
        renderer->beginFrame(c.viewportHeight, c.viewportHeight, {320, 480});
        draw(backdrop);
        if (c.uploadedSide) {
            ASSERT_FALSE(gl.levelUploads.empty());
            EXPECT_EQ(gl.levelUploads.front().width, *c.uploadedSide);
        } else {
            EXPECT_TRUE(gl.levelUploads.empty());
        }
    }
    EXPECT_EQ(gl.textures.size(), 1u) << "coarse copies are freed";
}

TEST_F(FileTextureTest, ANewRendererMakesItsTexturesAgainFromTheFile) {
    const Picture picture = images.picture("b1.png");
    draw(picture);
    // The context went away with its objects; the next one starts empty.
    renderer.emplace(gl.api);
    renderer->setPixelSource(
        [this](const std::string& name, int halvings) { return images.pixels(name, halvings); });
    renderer->beginFrame(640, 960, {320, 480});
    draw(picture);
    EXPECT_EQ(files.decoded["b1.png"], 2);
    EXPECT_EQ(gl.textureUploads, 2);
    EXPECT_EQ(gl.drawsOf(false), 2);
}

TEST_F(FileTextureTest, AFileGoneBeforeItsUploadIsLoggedOnceAndNotDrawn) {
    const Picture picture = images.picture("b1.png");
    files.sizes.erase("b1.png");
    for (int frame = 0; frame < 3; ++frame)
        draw(picture);
    EXPECT_TRUE(gl.draws.empty());
    EXPECT_EQ(log.size(), 1u);
}

TEST(Mipmaps, HalvingAveragesEachBlockWithRounding) {
    struct Case {
        const char* name;
        int width, height;
        std::vector<std::uint8_t> red; // one channel per texel, row by row
        int halfWidth, halfHeight;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        {"2 x 2 to one", 2, 2, {0, 1, 1, 1}, 1, 1, {1}},
        {"rounds halves up", 2, 2, {0, 0, 1, 1}, 1, 1, {1}},
        {"4 x 2", 4, 2, {10, 20, 30, 40, 50, 60, 70, 80}, 2, 1, {35, 55}},
        {"odd width drops the last column", 3, 2, {10, 20, 99, 30, 40, 99}, 1, 1, {25}},
        {"one column halves along its length", 1, 4, {0, 100, 200, 255}, 1, 2, {50, 228}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Image image;
        image.width = c.width;
        image.height = c.height;
        for (std::uint8_t r : c.red)
            image.rgba.insert(image.rgba.end(), {r, 0, 0, 255});
        const Image half = halved(image);
        ASSERT_EQ(half.width, c.halfWidth);
        ASSERT_EQ(half.height, c.halfHeight);
        std::vector<std::uint8_t> red;
        for (std::size_t i = 0; i < half.rgba.size(); i += 4)
            red.push_back(half.rgba[i]);
        EXPECT_EQ(red, c.expected);
    }
}

TEST(Mipmaps, HalvingsKeepAtLeastWhatIsNeeded) {
    struct Case {
        int side, needed, halvings;
    };
    const Case cases[] = {{2048, 0, 0},   {2048, 4000, 0}, {2048, 2048, 0}, {2048, 1025, 0},
                          {2048, 1024, 1}, {2048, 480, 2},  {2048, 1, 11},   {1, 1, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(halvingsToFit(c.side, c.needed), c.halvings) << c.side << " for " << c.needed;
}

TEST(Mipmaps, PremultipliedTexelsKeepOpaqueOnesAsTheyAre) {
    Image image;
    image.width = 3;
    image.height = 1;
    image.rgba = {200, 100, 50, 255, 200, 100, 50, 128, 200, 100, 50, 0};
    premultiplyAlpha(image);
    EXPECT_EQ(image.rgba, (std::vector<std::uint8_t>{200, 100, 50, 255, 100, 50, 25, 128, 0, 0, 0, 0}));
}

} // namespace
} // namespace terrabo::test
