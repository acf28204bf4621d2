#pragma once

namespace terrabo::server {

// Degrees. lonMin > lonMax when the box crosses the 180th meridian (Fiji,
// the Bering Sea), so it spans lonMin..180 and -180..lonMax.
struct BoundingBox {
    double latMin = 0;
    double latMax = 0;
    double lonMin = 0;
    double lonMax = 0;

    bool crossesAntimeridian() const { return lonMin > lonMax; }
    // East-west extent in degrees, through the 180th meridian when it crosses.
    double lonSpan() const { return crossesAntimeridian() ? lonMax + 360 - lonMin : lonMax - lonMin; }
};

} // namespace terrabo::server
