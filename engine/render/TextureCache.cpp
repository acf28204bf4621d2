#include "engine/render/TextureCache.h"

#include "engine/render/Mipmaps.h"
#include "platform/GlApi.h"
#include "platform/Log.h"

#include <algorithm>

namespace terrabo {
namespace {

bool pixelsFillSize(const Image& image) {
    if (image.empty())
        return false;
    const auto needed =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
    return image.rgba.size() >= needed;
}

} // namespace

bool TextureCache::Entry::held() const {
    return std::any_of(holders.begin(), holders.end(), [](const auto& h) { return !h.expired(); });
}

TextureCache::~TextureCache() {
    for (auto& [image, entry] : made_)
        release(entry);
    for (auto& [name, entry] : files_)
        release(entry);
}

void TextureCache::release(const Entry& entry) {
    if (entry.id)
        gl_.DeleteTextures(1, &entry.id);
}

unsigned TextureCache::texture(const Picture& picture, int neededHeight) {
    const auto& image = picture.image;
    if (!image)
        return 0;
    if (picture.fromFile)
        return fileTexture(picture, neededHeight);
    auto it = made_.find(image.get());
    if (it != made_.end() && !it->second.holders.empty() && it->second.holders.front().lock() == image)
        return it->second.id;
    // A new image, or a new one at the address of one that is gone.
    sweep();
    unsigned id = 0;
    if (pixelsFillSize(*image))
        id = upload(*image);
    else
        logLine("an image of %dx%d has %zu bytes of pixels; not drawn", image->width, image->height,
                image->rgba.size());
    made_[image.get()] = Entry{id, {image}, 0};
    return id;
}

unsigned TextureCache::fileTexture(const Picture& picture, int neededHeight) {
    const int halvings = halvingsToFit(picture.image->height, neededHeight);
    auto it = files_.find(picture.key);
    if (it != files_.end() && it->second.halvings <= halvings) {
        // Another picture of the same file (one kept past a purge, one read
        // afresh) shares the texture and keeps it alive too.
        auto& holders = it->second.holders;
        if (std::none_of(holders.begin(), holders.end(),
                         [&](const auto& h) { return h.lock() == picture.image; }))
            holders.push_back(picture.image);
        return it->second.id;
    }
    sweep();
    Entry entry;
    entry.halvings = halvings;
    if (auto old = files_.find(picture.key); old != files_.end()) {
        // The screen grew: a finer copy replaces the coarse one.
        entry.holders = std::move(old->second.holders);
        release(old->second);
    }
    entry.holders.push_back(picture.image);
    std::optional<Image> pixels = source_ ? source_(picture.key, halvings) : std::nullopt;
    if (pixels && pixelsFillSize(*pixels))
        entry.id = upload(std::move(*pixels));
    else
        logLine("image %s could not be decoded; not drawn", picture.key.c_str());
    const unsigned id = entry.id;
    files_[picture.key] = std::move(entry);
    return id;
}

unsigned TextureCache::upload(Image image) {
    GLuint id = 0;
    gl_.GenTextures(1, &id);
    gl_.BindTexture(GL_TEXTURE_2D, id);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    premultiplyAlpha(image);
    // The whole chain down to one texel, made here: the driver's own mipmap
    // builder costs more at start-up than the averaging does.
    for (GLint level = 0;; ++level) {
        gl_.TexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, image.width, image.height, 0, GL_RGBA,
                       GL_UNSIGNED_BYTE, image.rgba.data());
        if (image.width == 1 && image.height == 1)
            break;
        image = halved(image);
    }
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return id;
}

void TextureCache::sweep() {
    auto sweepOut = [this](auto& entries) {
        std::erase_if(entries, [this](auto& item) {
            if (item.second.held())
                return false;
            release(item.second);
            return true;
        });
    };
    sweepOut(made_);
    sweepOut(files_);
}

} // namespace terrabo
