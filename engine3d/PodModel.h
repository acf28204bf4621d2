#pragma once

#include "engine/ImageCache.h"
#include "engine3d/Node3D.h"
#include "engine3d/pod/PodScene.h"

#include <functional>
#include <memory>
#include <string>

namespace terrabo {

// The picture for a texture file name of the model.
using TextureSource = std::function<Picture(const std::string& file)>;

// Turns a model file into nodes under one resource node named after the file.
// A missing or damaged file logs one line; whatever could be read is
// returned, null when no node could. Without a texture source, textures come
// from the director's image cache.
std::shared_ptr<Node3D> loadPodResource(const std::string& path, TextureSource textures = {});
std::shared_ptr<Node3D> buildPodResource(const pod::Scene& scene, const std::string& name,
                                         TextureSource textures = {});

} // namespace terrabo
