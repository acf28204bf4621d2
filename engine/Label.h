#pragma once

#include "engine/Sprite.h"

namespace terrabo {

// One line of TrueType text, sized to the text. White glyphs tinted by the colour.
class Label : public Sprite {
public:
    // outline: points of dark rim around the glyphs, none when 0.
    Label(std::string text, std::string fontName, float fontSize, float outline = 0.0f);
    const std::string& text() const { return text_; }
    const std::string& fontName() const { return fontName_; }
    float fontSize() const { return fontSize_; }

private:
    std::string text_;
    std::string fontName_;
    float fontSize_;
};

} // namespace terrabo
