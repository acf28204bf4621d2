#include "engine/ImageCache.h"

namespace terrabo {

std::shared_ptr<const Image> ImageCache::image(const std::string& fileName) {
    if (auto it = images_.find(fileName); it != images_.end())
        return it->second;
    if (!loader_)
        return nullptr;
    auto decoded = loader_->load(fileName);
    if (!decoded)
        return nullptr;
    auto shared = std::make_shared<const Image>(std::move(*decoded));
    images_.emplace(fileName, shared);
    return shared;
}

} // namespace terrabo
