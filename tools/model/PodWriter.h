#pragma once

#include "engine3d/pod/PodScene.h"

namespace terrabo::pod {

enum class VertexLayout {
    Interleaved, // one array of whole vertices, as the generated model uses
    Separate,    // one array per attribute; float positions, normals and uvs only
};

// The file as the reader expects it: version first, counts before their
// blocks, vertex data before the attribute groups, 16-bit indices.
std::vector<std::uint8_t> write(const Scene& scene,
                                VertexLayout layout = VertexLayout::Interleaved);

} // namespace terrabo::pod
