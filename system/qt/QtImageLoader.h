#pragma once

#include "platform/Image.h"

#include <string>

namespace terrabo {

// Decodes resource images with QImage, into RGBA8888.
class QtImageLoader final : public ImageLoader {
public:
    explicit QtImageLoader(std::string resourceDir) : resourceDir_(std::move(resourceDir)) {}
    std::optional<Image> load(const std::string& fileName) override;
    std::optional<Image> size(const std::string& fileName) override;
    std::optional<Image> loadReduced(const std::string& fileName, int halvings) override;
    const std::string& resourceDir() const { return resourceDir_; }

private:
    std::string resourceDir_;
};

// Lays out one line of text with QPainter; "Arial" resolves through fontconfig.
class QtTextRasterizer final : public TextRasterizer {
public:
    Image render(const std::string& utf8Text, const std::string& fontName, float pointSize,
                 float scale) override;
    Image renderOutlined(const std::string& utf8Text, const std::string& fontName,
                         float pointSize, float scale, float outline) override;
};

} // namespace terrabo
