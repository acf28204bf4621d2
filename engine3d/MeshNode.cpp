#include "engine3d/MeshNode.h"

namespace terrabo {

void MeshNode::populateAsCenteredRectangle(float width, float height, Picture texture) {
    const float w = width / 2, h = height / 2;
    mesh = std::make_shared<Mesh>();
    // Image rows run top to bottom, so v = 0 is the top edge.
    mesh->vertices = {{{-w, -h, 0}, {0, 0, 1}, {0, 1}},
                      {{w, -h, 0}, {0, 0, 1}, {1, 1}},
                      {{w, h, 0}, {0, 0, 1}, {1, 0}},
                      {{-w, h, 0}, {0, 0, 1}, {0, 0}}};
    mesh->indices = {0, 1, 2, 0, 2, 3};
    if (texture) {
        material = std::make_shared<MeshMaterial>();
        material->texture = std::move(texture);
    } else {
        material.reset();
    }
}

} // namespace terrabo
