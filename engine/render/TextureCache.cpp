#include "engine/render/TextureCache.h"

#include "platform/GlApi.h"
#include "platform/Log.h"

#include <vector>

namespace terrabo {
namespace {

bool pixelsFillSize(const Image& image) {
    if (image.empty())
        return false;
    const auto needed =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
    return image.rgba.size() >= needed;
}

// Premultiplied texels filter without dark fringes at transparent edges.
std::vector<std::uint8_t> premultiplied(const Image& image) {
    const std::size_t bytes = static_cast<std::size_t>(image.width) * image.height * 4;
    std::vector<std::uint8_t> out(bytes);
    for (std::size_t i = 0; i < bytes; i += 4) {
        const unsigned a = image.rgba[i + 3];
        for (std::size_t c = 0; c < 3; ++c)
            out[i + c] = static_cast<std::uint8_t>((image.rgba[i + c] * a + 127) / 255);
        out[i + 3] = static_cast<std::uint8_t>(a);
    }
    return out;
}

} // namespace

TextureCache::~TextureCache() {
    for (auto& [image, entry] : entries_)
        if (entry.id)
            gl_.DeleteTextures(1, &entry.id);
}

unsigned TextureCache::texture(const std::shared_ptr<const Image>& image) {
    if (!image)
        return 0;
    auto it = entries_.find(image.get());
    if (it != entries_.end() && it->second.source.lock() == image)
        return it->second.id;
    // A new image, or a new one at the address of one that is gone.
    sweep();
    unsigned id = 0;
    if (pixelsFillSize(*image))
        id = upload(*image);
    else
        logLine("an image of %dx%d has %zu bytes of pixels; not drawn", image->width, image->height,
                image->rgba.size());
    entries_[image.get()] = Entry{id, image};
    return id;
}

unsigned TextureCache::upload(const Image& image) {
    GLuint id = 0;
    gl_.GenTextures(1, &id);
    gl_.BindTexture(GL_TEXTURE_2D, id);
    gl_.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const auto pixels = premultiplied(image);
    gl_.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA,
                   GL_UNSIGNED_BYTE, pixels.data());
    // ES 3.0 builds mipmaps for any size, powers of two or not.
    gl_.GenerateMipmap(GL_TEXTURE_2D);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gl_.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return id;
}

void TextureCache::sweep() {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.source.expired()) {
            if (it->second.id)
                gl_.DeleteTextures(1, &it->second.id);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace terrabo
