#include "engine/Label.h"

#include "engine/Director.h"

namespace terrabo {
namespace {
Picture rasterise(const std::string& text, const std::string& font, float size, float outline) {
    Director& director = Director::shared();
    TextRasterizer* rasterizer = director.textRasterizer();
    if (!rasterizer)
        return {};
    const float scale = director.contentScale();
    static long long serial = 0;
    auto image = std::make_shared<const Image>(
        outline > 0.0f ? rasterizer->renderOutlined(text, font, size, scale, outline)
                       : rasterizer->render(text, font, size, scale));
    // Each label is its own texture; the key only has to be unique.
    return Picture{"label:" + std::to_string(++serial), std::move(image), scale};
}
} // namespace

Label::Label(std::string text, std::string fontName, float fontSize, float outline)
    : Sprite(rasterise(text, fontName, fontSize, outline)), text_(std::move(text)),
      fontName_(std::move(fontName)), fontSize_(fontSize) {}

} // namespace terrabo
