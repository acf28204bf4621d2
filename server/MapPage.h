#pragma once

#include "server/PlaceQuery.h"

#include <optional>
#include <string>
#include <string_view>

namespace terrabo::server {

// The web map: a self-contained page with an SVG map centred on the place,
// a pin, the name and the coordinates, for a screen 320 points wide.
class MapPage {
  public:
    // `worldPath` is the index's world map: SVG path data in tenths of a
    // degree, x = longitude, y = -Mercator(latitude).
    explicit MapPage(std::string_view worldPath);

    std::string render(std::string_view query, const std::optional<FoundPlace>& place) const;

    // The map's square in degrees of longitude shown around a place.
    static double viewWidth(const FoundPlace& place);

  private:
    // Centred on lon, lat; the pin, if any, at pinLon, pinLat.
    std::string mapSvg(double lon, double lat, double width, bool pin, std::string_view label,
                       double pinLon, double pinLat) const;

    std::string worldDefs_;
};

// Mercator in degrees: 0 at the equator, about 179.3 at 85 degrees north.
double mercatorDegrees(double lat);

} // namespace terrabo::server
