#pragma once

#include "engine/ImageCache.h"
#include "engine/Node.h"

namespace terrabo {

// An image on screen, its content size the image's size in points.
class Sprite : public Node {
public:
    // A sprite of a resource image; without the image it exists but draws nothing.
    static std::shared_ptr<Sprite> create(const std::string& fileName);
    explicit Sprite(Picture picture);

    const Picture& picture() const { return picture_; }
    const std::string& fileName() const { return picture_.key; }
    void setPicture(Picture picture);

    void draw(Renderer* renderer, const Mat4& transform) override;

private:
    Picture picture_;
};

} // namespace terrabo
