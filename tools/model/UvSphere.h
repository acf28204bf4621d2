#pragma once

#include "engine3d/pod/PodScene.h"

namespace terrabo::pod {

// A UV sphere with interleaved float position, normal and uv (32 bytes a
// vertex), mapped equirectangularly: longitude 0 on -Z, east toward -X, north
// toward +Y, so (lat, lon) lies at
//   radius * (-sin(lon) cos(lat), sin(lat), -cos(lon) cos(lat))
// with u = (lon + 180) / 360 and v = (90 - lat) / 180 from the picture's top.
// The date-line column is doubled (u 0 and 1) so the picture wraps without a
// seam; each pole is a ring of vertices whose u sits in the middle of its
// own triangle. Triangles wind counter-clockwise seen from outside.
Mesh uvSphere(float radius, int segments, int rings);

} // namespace terrabo::pod
