#include "engine/ImageCache.h"

#include "engine/render/Mipmaps.h"

namespace terrabo {

std::shared_ptr<const Image> ImageCache::image(const std::string& fileName) {
    if (auto it = images_.find(fileName); it != images_.end())
        return it->second;
    if (!loader_)
        return nullptr;
    auto sized = loader_->size(fileName);
    if (!sized || sized->empty())
        return nullptr;
    sized->rgba = {};
    auto shared = std::make_shared<const Image>(std::move(*sized));
    images_.emplace(fileName, shared);
    return shared;
}

Picture ImageCache::picture(const std::string& fileName) {
    Picture picture{fileName, image(fileName)};
    picture.fromFile = true;
    return picture;
}

std::optional<Image> ImageCache::pixels(const std::string& fileName, int halvings) {
    if (!loader_)
        return std::nullopt;
    if (halvings > 0)
        if (auto reduced = loader_->loadReduced(fileName, halvings))
            return reduced;
    auto image = loader_->load(fileName);
    for (int i = 0; image && i < halvings; ++i)
        image = halved(*image);
    return image;
}

} // namespace terrabo
