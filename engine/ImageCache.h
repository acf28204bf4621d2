#pragma once

#include "engine/math/Vec.h"
#include "platform/Image.h"

#include <map>
#include <memory>
#include <string>

namespace terrabo {

// Decoded images by file name. Nodes keep what they use, so purging only drops
// the cache's own references.
class ImageCache {
public:
    void setLoader(ImageLoader* loader) { loader_ = loader; }
    // Null when there is no loader or the file cannot be decoded.
    std::shared_ptr<const Image> image(const std::string& fileName);
    void purge() { images_.clear(); }
    std::size_t size() const { return images_.size(); }

private:
    ImageLoader* loader_ = nullptr;
    std::map<std::string, std::shared_ptr<const Image>> images_;
};

// A picture a node draws: decoded pixels plus a key the renderer keeps its GPU copy under.
struct Picture {
    std::string key;
    std::shared_ptr<const Image> image;
    float pixelsPerPoint = 1.0f;
    explicit operator bool() const { return image && !image->empty(); }
    Size pointSize() const {
        return image ? Size{image->width / pixelsPerPoint, image->height / pixelsPerPoint} : Size{};
    }
};

} // namespace terrabo
