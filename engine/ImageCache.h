#pragma once

#include "engine/math/Vec.h"
#include "platform/Image.h"

#include <map>
#include <optional>
#include <memory>
#include <string>

namespace terrabo {

// A picture a node draws, under a key the renderer keeps its GPU copy by.
// Pictures of resource files hold only their size: the renderer decodes the
// file when it makes the GPU copy (again after losing its context), so no
// decoded pixels stay in memory. Pictures made at run time hold their pixels.
struct Picture {
    std::string key;
    std::shared_ptr<const Image> image;
    float pixelsPerPoint = 1.0f;
    // The pixels are in the resource file named by `key`.
    bool fromFile = false;
    // At most this many screen heights tall on screen, 0 when unknown: the
    // renderer then keeps a copy no larger than the screen can show.
    float screenSpan = 0.0f;
    explicit operator bool() const { return image && !image->empty(); }
    Size pointSize() const {
        return image ? Size{image->width / pixelsPerPoint, image->height / pixelsPerPoint} : Size{};
    }
};

// Resource images by file name: their sizes, shared by every picture of a
// file, and their pixels on demand. Nodes keep what they use, so purging only
// drops the cache's own references.
class ImageCache {
public:
    void setLoader(ImageLoader* loader) { loader_ = loader; }
    // The file's size record (no pixels); null when there is no loader or the
    // file cannot be read.
    std::shared_ptr<const Image> image(const std::string& fileName);
    // A picture of the file; empty when it cannot be read.
    Picture picture(const std::string& fileName);
    // The file's pixels, decoded afresh at a size halved `halvings` times.
    std::optional<Image> pixels(const std::string& fileName, int halvings = 0);
    void purge() { images_.clear(); }
    std::size_t size() const { return images_.size(); }

private:
    ImageLoader* loader_ = nullptr;
    std::map<std::string, std::shared_ptr<const Image>> images_;
};

} // namespace terrabo
