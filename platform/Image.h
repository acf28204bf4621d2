#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace terrabo {

// Decoded pixels, RGBA8888, rows top to bottom, alpha not premultiplied.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    bool empty() const { return width <= 0 || height <= 0; }
};

// Decodes an image file of the application's resources by its file name.
class ImageLoader {
public:
    virtual ~ImageLoader() = default;
    virtual std::optional<Image> load(const std::string& fileName) = 0;
    // Width and height, pixels left empty. Decodes the whole file unless a
    // loader can read the size alone.
    virtual std::optional<Image> size(const std::string& fileName) {
        auto image = load(fileName);
        if (image)
            image->rgba = {};
        return image;
    }
    // Decoded straight at a size halved `halvings` times, for loaders whose
    // format can (JPEG); nothing otherwise, and the caller halves a full decode.
    virtual std::optional<Image> loadReduced(const std::string&, int) { return std::nullopt; }
};

// Renders one line of text in a TrueType font, white on transparent, sized to the text.
class TextRasterizer {
public:
    virtual ~TextRasterizer() = default;
    // pointSize in points; scale is device pixels per point.
    virtual Image render(const std::string& utf8Text, const std::string& fontName,
                         float pointSize, float scale) = 0;
    // The same with a black outline of `outline` points around the glyphs, so
    // that tinted text stays readable on any background; the image grows by
    // the outline on every side.
    virtual Image renderOutlined(const std::string& utf8Text, const std::string& fontName,
                                 float pointSize, float scale, float outline) {
        static_cast<void>(outline);
        return render(utf8Text, fontName, pointSize, scale);
    }
};

} // namespace terrabo
