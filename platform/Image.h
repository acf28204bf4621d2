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
};

// Renders one line of text in a TrueType font, white on transparent, sized to the text.
class TextRasterizer {
public:
    virtual ~TextRasterizer() = default;
    // pointSize in points; scale is device pixels per point.
    virtual Image render(const std::string& utf8Text, const std::string& fontName,
                         float pointSize, float scale) = 0;
};

} // namespace terrabo
