#pragma once

#include "engine/math/Mat4.h"
#include "engine/render/Mesh.h"

#include <vector>

namespace terrabo {

struct SceneLighting;

// Whether the lamp model lights every visible point of a flat mesh at least to
// full white in each channel, so that the lit colour clamps to exactly the
// texel and the mesh may be drawn without lighting. Only the part of the mesh
// inside the view counts. False whenever that cannot be shown cheaply: normals
// that differ, vertices off their plane, negative colours, large meshes.
bool lightingSaturates(const Mesh& mesh, const Mat4& modelView, const Mat4& projection,
                       const MeshMaterial& material, const SceneLighting& lighting);

} // namespace terrabo
