#pragma once

#include "engine/ImageCache.h"
#include "platform/Image.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace terrabo {

struct GlApi;

// GPU copies of pictures, made at first use with their mipmaps built on the
// CPU. Pictures of files are kept by file name and decoded for the upload
// only; pictures made at run time by their pixels' identity. An entry lives
// as long as someone still holds a picture of it: a picture nobody holds can
// never be drawn again, so its texture is freed at the next upload or sweep.
class TextureCache {
  public:
    // Decodes a resource file at a size halved `halvings` times.
    using PixelSource = std::function<std::optional<Image>(const std::string& fileName, int halvings)>;

    explicit TextureCache(const GlApi& gl) : gl_(gl) {}
    ~TextureCache();
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    void setPixelSource(PixelSource source) { source_ = std::move(source); }

    // The texture of `picture`, uploading it if needed; `neededHeight` texels
    // tall are enough (0: all of them). 0 when its pixels cannot be had or do
    // not fill its size, which is logged once.
    unsigned texture(const Picture& picture, int neededHeight = 0);
    // Frees the textures whose pictures are gone.
    void sweep();
    std::size_t size() const { return made_.size() + files_.size(); }

  private:
    struct Entry {
        unsigned id = 0;
        std::vector<std::weak_ptr<const Image>> holders;
        int halvings = 0;
        bool held() const;
    };
    unsigned fileTexture(const Picture& picture, int neededHeight);
    unsigned upload(Image image);
    void release(const Entry& entry);

    const GlApi& gl_;
    PixelSource source_;
    std::unordered_map<const Image*, Entry> made_;
    std::unordered_map<std::string, Entry> files_;
};

} // namespace terrabo
