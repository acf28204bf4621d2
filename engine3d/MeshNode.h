#pragma once

#include "engine/ImageCache.h"
#include "engine/render/Mesh.h"
#include "engine3d/Node3D.h"

#include <memory>

namespace terrabo {

// A node that draws a triangle mesh with one material.
class MeshNode : public Node3D {
public:
    using Node3D::Node3D;

    std::shared_ptr<Mesh> mesh;
    // Absent for a mesh drawn without material (plain grey).
    std::shared_ptr<MeshMaterial> material;

    // A width x height rectangle centred on the origin in the X-Y plane, facing +Z,
    // texture coordinates spanning the whole picture. No picture: no material.
    void populateAsCenteredRectangle(float width, float height, Picture texture);
};

} // namespace terrabo
