#pragma once

#include "server/BoundingBox.h"
#include "tools/gazetteer/Json.h"

#include <map>

#include <optional>
#include <string>

namespace terrabo::gazetteer {

// The countries of a TopoJSON topology as one SVG path, in the server's map
// plane: x = longitude * 10, y = -Mercator(latitude) * 10, latitudes held
// within +-85 degrees. Points closer than `minStep` units to the last one
// kept are dropped. Nothing when the topology is not as expected.
std::optional<std::string> countriesPath(const Json& topology, int minStep);

// Each country's bounding box by its id (ISO 3166 numeric in world-atlas),
// the short way round where it crosses the 180th meridian. Nothing when the
// topology is not as expected.
std::optional<std::map<std::string, server::BoundingBox>> countryBoxes(const Json& topology);

} // namespace terrabo::gazetteer
