#pragma once

#include "engine3d/pod/PodScene.h"

namespace terrabo::pod {

// The file as the reader expects it: version first, counts before their blocks,
// interleaved vertex data before the attribute groups, 16-bit indices.
std::vector<std::uint8_t> write(const Scene& scene);

} // namespace terrabo::pod
