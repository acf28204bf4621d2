#pragma once

#include "server/BoundingBox.h"
#include "server/Gazetteer.h"

#include <optional>
#include <string>
#include <string_view>

namespace terrabo::server {

inline constexpr size_t kMaxQueryBytes = 256;

struct FoundPlace {
    enum class Kind { Place, Country, Coordinates };
    Kind kind = Kind::Place;
    // What the place is: a settlement, a region, a sea, a peak... (Country
    // for countries; Settlement for coordinates, which have no box).
    PlaceKind placeKind = PlaceKind::Settlement;
    double lat = 0; // degrees, north positive: the label point for an area
    double lon = 0; // degrees, east positive
    std::string name;
    std::string region;
    std::string country;
    double areaKm2 = 0; // countries only, to frame them on the map
    // The extent of an area or a line (a desert, a lake, a river, a region,
    // a country), for the map to frame; none for a point such as a town.
    std::optional<BoundingBox> bbox;
};

// "sea", "peak", "airport"; empty for settlements and countries, which say
// what they are by their name.
std::string_view placeKindName(PlaceKind kind);

// At most kMaxQueryBytes of UTF-8 without control characters (blanks aside).
bool isQueryText(std::string_view text);

// "12.972,77.595", "-33.25 151.5", "48.85; 2.35": latitude then longitude.
std::optional<std::pair<double, double>> parseCoordinates(std::string_view text);

// What a person typed, already percent-decoded: a coordinate text, a country,
// or a place name with optional qualifiers after commas ("Paris, Texas").
// Nothing when the text is blank, too long, not UTF-8, holds control
// characters, or matches nothing.
std::optional<FoundPlace> findPlace(const Gazetteer& gazetteer, std::string_view text);

} // namespace terrabo::server
