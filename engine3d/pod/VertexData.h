#pragma once

#include "engine3d/pod/PodScene.h"

namespace terrabo::pod {

// The first `count` components of vertex `vertex` as floats, whatever
// numeric type the file stores them in. False when the attribute is absent,
// has fewer components, a packed colour type, or lies outside the data.
bool readVertex(const Mesh& mesh, const Attribute& attr, std::uint32_t vertex, int count,
                float* out);

} // namespace terrabo::pod
