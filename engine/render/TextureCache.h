#pragma once

#include "platform/Image.h"

#include <memory>
#include <unordered_map>

namespace terrabo {

struct GlApi;

// GPU copies of decoded images, made at first use. An entry lives as long as
// someone else still holds its image: an image nobody holds can never be drawn
// again, so its texture is freed at the next upload or sweep.
class TextureCache {
  public:
    explicit TextureCache(const GlApi& gl) : gl_(gl) {}
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // The texture of `image`, uploading it if needed; 0 when its pixels do not
    // fill its size, which is logged once.
    unsigned texture(const std::shared_ptr<const Image>& image);
    // Frees the textures whose images are gone.
    void sweep();
    std::size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        unsigned id = 0;
        std::weak_ptr<const Image> source;
    };
    unsigned upload(const Image& image);

    const GlApi& gl_;
    // Keyed by identity: two images under one file name (one kept past a
    // purge, one decoded afresh) are two textures, not one redone each draw.
    std::unordered_map<const Image*, Entry> entries_;
};

} // namespace terrabo
