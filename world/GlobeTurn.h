#pragma once

#include "engine/math/Vec.h"

namespace terrabo {

// The globe's Euler angles (degrees, Ry * Rx * Rz) at which the place at
// latitude/longitude faces the camera with its meridian vertical and north up.
// The Y angle lies in (-180, 180].
Vec3 facingRotation(double latitude, double longitude);

} // namespace terrabo
